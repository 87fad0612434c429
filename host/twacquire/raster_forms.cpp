#include "host/twacquire/raster_forms.h"

#include <cstddef>
#include <utility>

namespace twacquire {

Raster ExpandedToGrey(const Raster& r) {
    if (r.bitsPerPixel != 1) return r;
    Raster grey = r;
    grey.bitsPerPixel = 8;
    grey.whiteIsZero = false;
    grey.rows.assign(std::size_t{r.width} * r.height, 0);
    const uint32_t rowBytes = r.RowBytes();
    for (uint32_t y = 0; y < r.height; ++y) {
        const uint8_t* in = r.rows.data() + std::size_t{y} * rowBytes;
        uint8_t* out = grey.rows.data() + std::size_t{y} * r.width;
        for (uint32_t x = 0; x < r.width; ++x) {
            const bool one = (in[x / 8] >> (7 - x % 8)) & 1;
            out[x] = one != r.whiteIsZero ? 255 : 0;
        }
    }
    return grey;
}

std::vector<uint8_t> BlackAtZeroBgrRows(const Raster& r) {
    std::vector<uint8_t> rows = r.rows;
    if (r.bitsPerPixel == 24) {
        for (std::size_t i = 0; i + 2 < rows.size(); i += 3) std::swap(rows[i], rows[i + 2]);
    } else if (r.whiteIsZero) {
        for (uint8_t& b : rows) b = static_cast<uint8_t>(~b);
    }
    return rows;
}

}  // namespace twacquire
