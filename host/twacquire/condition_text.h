// What a TWAIN condition code means, in words, for twacquire's messages.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>

namespace twacquire {

// "TWCC_BADVALUE (the value is not allowed)"; the bare name for a code
// without a description.
std::string ConditionText(uint16_t conditionCode);

}  // namespace twacquire
