// TIFF and BMP files of a raster.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/raster.h"

#include <cstdint>
#include <vector>

namespace twacquire {

// A baseline TIFF, little-endian and uncompressed: bilevel (1 bit), grey
// (8 bits) or RGB (24 bits, chunky), in strips of about 64 KB, with the
// resolution in dots per inch when it is known.
std::vector<uint8_t> TiffBytes(const Raster& raster);

// A Windows BMP (BITMAPINFOHEADER): rows from the bottom padded to four
// bytes; 1 and 8 bits with a two-entry or a grey palette, 24 bits as blue,
// green, red. The resolution is in pixels per metre.
std::vector<uint8_t> BmpBytes(const Raster& raster);

}  // namespace twacquire
