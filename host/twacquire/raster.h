// An image as twacquire holds it before writing a file: rows from the top,
// without padding; 1-bit pixels packed from the most significant bit,
// 8-bit grey, or red, green, blue bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace twacquire {

struct Raster {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitsPerPixel = 8;      // 1, 8 or 24
    bool whiteIsZero = false;  // 1 and 8 bits: 0 is white (else 0 is black)
    double xDpi = 0;
    double yDpi = 0;
    std::vector<uint8_t> rows;

    uint32_t RowBytes() const { return (width * static_cast<uint32_t>(bitsPerPixel) + 7) / 8; }
};

}  // namespace twacquire
