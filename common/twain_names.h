// Names of TWAIN codes, for messages of the hosts and for test output.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "TWCC_SEQERROR" for 11; "TWCC_#n" for an unknown code.
std::string TwainConditionName(uint16_t conditionCode);
// "TWRC_SUCCESS" for 0; "TWRC_#n" for an unknown code.
std::string TwainReturnName(uint16_t returnCode);
// "ICAP_XRESOLUTION" for 0x1118; "CAP_0x...." for an unknown capability.
std::string TwainCapabilityName(uint16_t cap);
// The capability named, by TWAIN name (with or without its prefix, any case)
// or by number (decimal or 0x hexadecimal).
std::optional<uint16_t> TwainCapabilityByName(std::string_view name);
// The item type of a capability as the protocol defines it, if known.
std::optional<uint16_t> TwainCapabilityItemType(uint16_t cap);
