// A raster in the other forms the encoders take.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/raster.h"

#include <cstdint>
#include <vector>

namespace twacquire {

// A bilevel raster as 8-bit grey, black 0 and white 255; any other raster
// as it is.
Raster ExpandedToGrey(const Raster& raster);

// The rows with 0 as black for 1 and 8 bits (a raster with 0 as white is
// inverted) and colour as blue, green, red: the pixel formats BlackWhite,
// 8bppGray and 24bppBGR of the imaging component's encoders.
std::vector<uint8_t> BlackAtZeroBgrRows(const Raster& raster);

}  // namespace twacquire
