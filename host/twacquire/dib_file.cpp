#include "host/twacquire/dib_file.h"

#include <cstring>

namespace twacquire {

namespace {

uint32_t Get(const uint8_t* p, size_t size) {
    uint32_t v = 0;
    for (size_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;

}  // namespace

std::optional<DibLayout> ReadDibLayout(std::span<const uint8_t> dib, std::string& error) {
    if (dib.size() < 40 || Get(dib.data(), 4) < 40) {
        error = "the native transfer did not hand over a bitmap";
        return std::nullopt;
    }
    const uint8_t* p = dib.data();
    DibLayout d;
    const uint32_t infoSize = Get(p, 4);
    const int32_t width = static_cast<int32_t>(Get(p + 4, 4));
    const int32_t height = static_cast<int32_t>(Get(p + 8, 4));
    d.bitsPerPixel = static_cast<int>(Get(p + 14, 2));
    d.compression = Get(p + 16, 4);
    const uint32_t sizeImage = Get(p + 20, 4);
    d.xDpi = Get(p + 24, 4) * 0.0254;
    d.yDpi = Get(p + 28, 4) * 0.0254;
    uint32_t colours = Get(p + 32, 4);
    if (width <= 0 || height == 0 || height == INT32_MIN || d.bitsPerPixel == 0 ||
        d.bitsPerPixel > 32) {
        error = "the native bitmap has an impossible header";
        return std::nullopt;
    }
    d.width = static_cast<uint32_t>(width);
    d.bottomUp = height > 0;
    d.height = static_cast<uint32_t>(height > 0 ? height : -height);
    if (colours == 0 && d.bitsPerPixel <= 8) colours = 1u << d.bitsPerPixel;
    uint64_t header = uint64_t{infoSize} + 4ull * colours;
    if (d.compression == kBiBitfields && infoSize == 40) header += 12;
    const uint64_t stride = ((uint64_t{d.width} * static_cast<uint32_t>(d.bitsPerPixel) + 31) / 32) * 4;
    const uint64_t image = d.compression == kBiRgb || d.compression == kBiBitfields
                               ? stride * d.height
                               : sizeImage;
    if (header + image > dib.size()) {
        error = "the native bitmap is " + std::to_string(dib.size()) + " bytes where its header " +
                "declares " + std::to_string(header + image);
        return std::nullopt;
    }
    d.headerBytes = static_cast<uint32_t>(header);
    d.imageBytes = static_cast<uint32_t>(image);
    return d;
}

std::vector<uint8_t> BmpFileOfDib(std::span<const uint8_t> dib, const DibLayout& d) {
    const uint32_t total = 14 + d.headerBytes + d.imageBytes;
    const uint32_t offset = 14 + d.headerBytes;
    std::vector<uint8_t> out = {'B', 'M'};
    for (uint32_t v : {total, 0u, offset})
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    out.insert(out.end(), dib.begin(), dib.begin() + d.headerBytes + d.imageBytes);
    return out;
}

std::optional<Raster> RasterOfDib(std::span<const uint8_t> dib, const DibLayout& d,
                                  std::string& error) {
    if (d.compression != kBiRgb || (d.bitsPerPixel != 1 && d.bitsPerPixel != 8 && d.bitsPerPixel != 24)) {
        error = "only uncompressed 1-, 8- and 24-bit native bitmaps can be written as TIFF";
        return std::nullopt;
    }
    const uint8_t* palette = dib.data() + Get(dib.data(), 4);
    Raster r;
    r.width = d.width;
    r.height = d.height;
    r.bitsPerPixel = d.bitsPerPixel;
    r.xDpi = d.xDpi;
    r.yDpi = d.yDpi;
    if (d.bitsPerPixel == 1) {
        // The first colour decides what a 0 bit is.
        r.whiteIsZero = palette[0] + palette[1] + palette[2] > 3 * 127;
    } else if (d.bitsPerPixel == 8) {
        const uint32_t colours = (d.headerBytes - Get(dib.data(), 4)) / 4;
        bool grey = colours == 256;
        for (uint32_t i = 0; grey && i < colours; ++i) {
            const uint8_t* c = palette + 4 * i;
            grey = c[0] == i && c[1] == i && c[2] == i;
        }
        if (!grey) {
            error = "an 8-bit native bitmap with a colour table other than grey cannot be written as TIFF";
            return std::nullopt;
        }
    }
    const uint32_t rowBytes = r.RowBytes();
    const uint32_t stride = d.imageBytes / d.height;
    r.rows.resize(size_t{rowBytes} * d.height);
    const uint8_t* bits = dib.data() + d.headerBytes;
    for (uint32_t y = 0; y < d.height; ++y) {
        const uint8_t* source = bits + size_t{d.bottomUp ? d.height - 1 - y : y} * stride;
        uint8_t* target = r.rows.data() + size_t{y} * rowBytes;
        if (d.bitsPerPixel == 24) {
            for (uint32_t x = 0; x < d.width; ++x) {
                target[3 * x] = source[3 * x + 2];
                target[3 * x + 1] = source[3 * x + 1];
                target[3 * x + 2] = source[3 * x];
            }
        } else {
            std::memcpy(target, source, rowBytes);
        }
    }
    return r;
}

}  // namespace twacquire
