// A native transfer's device-independent bitmap (BITMAPINFOHEADER, colour
// table, bits, as one block) turned into a BMP file or a raster.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/raster.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace twacquire {

struct DibLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    bool bottomUp = true;
    int bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t headerBytes = 0;   // the info header and the colour table
    uint32_t imageBytes = 0;    // the bits
    double xDpi = 0;
    double yDpi = 0;
};

// Reads the header of a packed bitmap; nothing (and why) when it is not
// one or the block is too small for what the header declares.
std::optional<DibLayout> ReadDibLayout(std::span<const uint8_t> dib, std::string& error);

// The BMP file of a packed bitmap: a file header in front of it.
std::vector<uint8_t> BmpFileOfDib(std::span<const uint8_t> dib, const DibLayout& layout);

// The bitmap as a raster (uncompressed 1, 8 or 24 bits; 8 bits must have a
// grey colour table). Nothing (and why) for anything else.
std::optional<Raster> RasterOfDib(std::span<const uint8_t> dib, const DibLayout& layout,
                                  std::string& error);

}  // namespace twacquire
