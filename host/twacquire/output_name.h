// Output names with a number field: "page%d.tif" names the first image of a
// batch page1.tif, "scan%03d.bmp" names it scan001.bmp.
#pragma once

#include <string>

namespace twacquire {

// Whether the name has a number field (%d, %Nd or %0Nd).
bool HasNumberField(const std::string& pattern);

// Whether every % of the name starts a number field or is a %% (a plain %).
bool ValidPattern(const std::string& pattern);

// The name of image `number` (from 1): every number field replaced by the
// number, %% by %. A name without a field is the name itself.
std::string OutputName(const std::string& pattern, int number);

}  // namespace twacquire
