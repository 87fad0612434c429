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

// A TIFF of several pages is the header and one page after another, each a
// full directory with its own size and resolution, chained through the
// directories' next-directory fields.
inline constexpr uint32_t kTiffFirstPageAt = 8;

// The header: little-endian, the first directory at kTiffFirstPageAt.
std::vector<uint8_t> TiffHeaderBytes();

// One page laid out to be written at file offset `at` (even): its
// directory, the directory's values and the pixels, padded to an even
// length. The directory's next-directory field, 0, is at file offset
// `nextDirectoryField`; a page after it is chained by writing that page's
// offset there. No bytes when the page would end beyond 4 GB.
struct TiffPage {
    std::vector<uint8_t> bytes;
    uint32_t nextDirectoryField = 0;
};
TiffPage TiffPageAt(const Raster& raster, uint32_t at);

// A Windows BMP (BITMAPINFOHEADER): rows from the bottom padded to four
// bytes; 1 and 8 bits with a two-entry or a grey palette, 24 bits as blue,
// green, red. The resolution is in pixels per metre.
std::vector<uint8_t> BmpBytes(const Raster& raster);

}  // namespace twacquire
