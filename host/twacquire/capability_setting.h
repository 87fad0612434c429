// Setting a capability the way the source expects it: its item type is
// the one the source reports for the capability (MSG_GET), so that a
// resolution goes as FIX32 to one source and as an integer to another.
#pragma once

#include "host/twacquire/data_source.h"

#include <string>

namespace twacquire {

// Sets `cap` to the value written as `text` (a number, a value name,
// TRUE/FALSE, a decimal). False with `error` saying why when the text does
// not fit the type or the source refuses (with its condition code).
bool SetCapabilityText(DataSource& source, TW_UINT16 cap, const std::string& text,
                       std::string& error);

// The item type the source uses for `cap`: from its MSG_GET answer, else
// the type TWAIN defines for it; nothing when neither is known.
std::optional<TW_UINT16> ItemTypeOf(DataSource& source, TW_UINT16 cap);

}  // namespace twacquire
