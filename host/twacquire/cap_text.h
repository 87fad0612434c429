// Capability values as text: how --caps prints them and how --set reads
// them. Values of the list capabilities carry their TWAIN constant names
// ("2 (TWPT_RGB)"), and --set takes those names too.
//
// Pure computation: no Windows header.
#pragma once

#include "common/twain.h"
#include "host/twacquire/cap_container.h"

#include <optional>
#include <string>

namespace twacquire {

// "UINT16", "FIX32", "STR255"...; "TYPE_n" for an unknown type.
std::string ItemTypeName(TW_UINT16 itemType);
// "ONEVALUE", "ENUMERATION", "RANGE", "ARRAY".
std::string ContainerTypeName(TW_UINT16 conType);

// One item as text: integers in decimal (signed types with their sign),
// FIX32 as a decimal ("1.5"), BOOL as TRUE/FALSE, a frame as
// "left,top,right,bottom", strings in quotes. A value with a TWAIN name for
// the capability is followed by it: "2 (TWPT_RGB)".
std::string FormatItem(TW_UINT16 cap, TW_UINT16 itemType, const CapItem& item);

// The whole of what --caps prints after the capability's name: type,
// current value, default and the values offered. `current` and `def` are
// the answers to MSG_GETCURRENT and MSG_GETDEFAULT when the source gave
// them; otherwise they are taken from `get` where it holds them.
std::string DescribeCapability(TW_UINT16 cap, const Container& get,
                               const std::optional<Container>& current,
                               const std::optional<Container>& def);

// The values a container offers, for a message about a refused value:
// "72, 150, 300" for an enumeration, "50 to 1200 step 1" for a range;
// empty for a single value or an array.
std::string OfferedValues(TW_UINT16 cap, const Container& c);

// Reads a value for --set as `itemType`: integers (decimal or 0x hex,
// within the type's range), a value name of the capability (TWPT_RGB, or
// RGB), TRUE/FALSE/YES/NO/ON/OFF for BOOL, decimals for FIX32, four
// decimals L,T,R,B for a frame, text for strings (cut to the field).
// Nothing, with the reason in `error`, when the text does not fit the type.
std::optional<CapItem> ParseItem(TW_UINT16 cap, TW_UINT16 itemType, const std::string& text,
                                 std::string& error);

// The number of a value name of a capability ("TWSX_MEMORY" for
// ICAP_XFERMECH is 2), with or without its prefix, in any case.
std::optional<TW_UINT32> ValueByName(TW_UINT16 cap, const std::string& name);

}  // namespace twacquire
