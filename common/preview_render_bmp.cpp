#include "common/preview_render_bmp.h"

#include "common/preview_render.h"

#include <cstring>

namespace preview {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t value) {
    v[at] = static_cast<uint8_t>(value);
    v[at + 1] = static_cast<uint8_t>(value >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint8_t Luminance(uint8_t blue, uint8_t green, uint8_t red) {
    return static_cast<uint8_t>((77u * red + 150u * green + 29u * blue) / 256u);
}

}  // namespace

uint32_t PreviewStride(uint16_t width, bool colour) {
    return PaddedRow(colour ? 3u * width : width);
}

uint32_t PreviewFileSize(uint16_t width, uint16_t height, bool colour) {
    uint32_t palette = colour ? 0 : 256;
    return height * PreviewStride(width, colour) + palette * 4 + kInfoHeaderSize + kFileHeaderSize;
}

std::vector<uint8_t> PreviewFileHeader(uint16_t width, uint16_t height, bool colour) {
    const uint32_t palette = colour ? 0 : 256;
    std::vector<uint8_t> h(kFileHeaderSize + kInfoHeaderSize + palette * 4, 0);
    h[0] = 'B';
    h[1] = 'M';
    Put32(h, 2, PreviewFileSize(width, height, colour));
    Put32(h, 10, palette * 4 + kFileHeaderSize + kInfoHeaderSize);
    Put32(h, 14, kInfoHeaderSize);
    Put32(h, 18, width);
    Put32(h, 22, height);
    Put16(h, 26, 1);
    Put16(h, 28, colour ? 24 : 8);
    Put32(h, 46, palette);
    for (uint32_t i = 0; i < palette; ++i) {
        size_t at = 54 + 4 * i;
        h[at] = h[at + 1] = h[at + 2] = static_cast<uint8_t>(i);
    }
    return h;
}

std::optional<BmpLayout> ParseBmp(const uint8_t* data, size_t size) {
    if (!data || size < kFileHeaderSize + 12) return std::nullopt;
    if (data[0] != 'B' || data[1] != 'M') return std::nullopt;
    const size_t pixelOffset = Get32(data + 10);
    const uint32_t headerSize = Get32(data + kFileHeaderSize);
    const uint8_t* info = data + kFileHeaderSize;

    BmpLayout layout;
    int64_t height = 0;
    uint32_t planes = 0, compression = 0, coloursUsed = 0;
    if (headerSize == 12) {
        // The short core header: 16-bit sizes, 3-byte palette entries.
        layout.width = Get16(info + 4);
        height = Get16(info + 6);
        planes = Get16(info + 8);
        layout.bitsPerPixel = static_cast<uint16_t>(Get16(info + 10));
        layout.paletteEntrySize = 3;
    } else if (headerSize == 16 || headerSize == 40 || headerSize == 52 || headerSize == 56 ||
               headerSize == 64 || headerSize == 108 || headerSize == 124) {
        if (size < kFileHeaderSize + static_cast<size_t>(headerSize)) return std::nullopt;
        int32_t width = static_cast<int32_t>(Get32(info + 4));
        if (width <= 0) return std::nullopt;
        layout.width = static_cast<uint32_t>(width);
        height = static_cast<int32_t>(Get32(info + 8));
        planes = Get16(info + 12);
        layout.bitsPerPixel = static_cast<uint16_t>(Get16(info + 14));
        if (headerSize >= 20) compression = Get32(info + 16);
        if (headerSize >= 36) coloursUsed = Get32(info + 32);
    } else {
        return std::nullopt;
    }
    if (size < kFileHeaderSize + static_cast<size_t>(headerSize)) return std::nullopt;
    if (planes != 1 || compression != 0) return std::nullopt;
    if (layout.bitsPerPixel != 1 && layout.bitsPerPixel != 8 && layout.bitsPerPixel != 24)
        return std::nullopt;
    if (height < 0) {
        layout.topDown = true;
        height = -height;
    }
    if (layout.width == 0 || layout.width > 0xFFFF || height == 0 || height > 0xFFFF)
        return std::nullopt;
    layout.height = static_cast<uint32_t>(height);

    // Palette: right behind the header, as many entries as the file says
    // it uses (all 2^bits when it says 0), never more than the pixels can
    // address.
    layout.paletteOffset = kFileHeaderSize + headerSize;
    if (layout.bitsPerPixel <= 8) {
        const uint32_t full = 1u << layout.bitsPerPixel;
        layout.paletteCount = (coloursUsed == 0 || coloursUsed > full) ? full : coloursUsed;
        const uint64_t paletteEnd =
            layout.paletteOffset + static_cast<uint64_t>(layout.paletteCount) * layout.paletteEntrySize;
        if (paletteEnd > size) return std::nullopt;
    }

    // Pixels: every row inside the file (the last one may lack its padding).
    const uint64_t usedBits = static_cast<uint64_t>(layout.width) * layout.bitsPerPixel;
    const uint64_t usedBytes = (usedBits + 7) / 8;
    layout.rowBytes = static_cast<size_t>(((usedBits + 31) / 32) * 4);
    if (pixelOffset < layout.paletteOffset || pixelOffset > size) return std::nullopt;
    const uint64_t need = static_cast<uint64_t>(layout.rowBytes) * (layout.height - 1) + usedBytes;
    if (need > size - pixelOffset) return std::nullopt;
    layout.pixelOffset = pixelOffset;

    // Both decoded forms must stay within bounds.
    if (static_cast<uint64_t>(DecodedStride(layout.width, true)) * layout.height > kMaxDecodedBytes)
        return std::nullopt;
    return layout;
}

uint32_t DecodedStride(uint32_t width, bool colour) {
    return PaddedRow(colour ? 3u * width : width);
}

size_t DecodedSize(const BmpLayout& layout, bool colour) {
    return static_cast<size_t>(DecodedStride(layout.width, colour)) * layout.height;
}

void DecodeBmp(const uint8_t* data, const BmpLayout& layout, bool colour, uint8_t* out) {
    // Colours of the palette as blue, green, red; missing entries stay black.
    uint8_t palette[256][3] = {};
    for (uint32_t i = 0; i < layout.paletteCount && i < 256; ++i) {
        const uint8_t* e = data + layout.paletteOffset + static_cast<size_t>(i) * layout.paletteEntrySize;
        palette[i][0] = e[0];
        palette[i][1] = e[1];
        palette[i][2] = e[2];
    }
    const uint32_t outStride = DecodedStride(layout.width, colour);
    for (uint32_t row = 0; row < layout.height; ++row) {
        // Output row `row` counts from the bottom of the picture.
        const uint32_t fileRow = layout.topDown ? layout.height - 1 - row : row;
        const uint8_t* s = data + layout.pixelOffset + static_cast<size_t>(fileRow) * layout.rowBytes;
        uint8_t* d = out + static_cast<size_t>(row) * outStride;
        std::memset(d, 0, outStride);
        for (uint32_t x = 0; x < layout.width; ++x) {
            uint8_t b, g, r;
            if (layout.bitsPerPixel == 24) {
                b = s[3 * x];
                g = s[3 * x + 1];
                r = s[3 * x + 2];
            } else {
                unsigned index = layout.bitsPerPixel == 8 ? s[x] : (s[x / 8] >> (7 - x % 8)) & 1u;
                b = palette[index][0];
                g = palette[index][1];
                r = palette[index][2];
            }
            if (colour) {
                d[3 * x] = b;
                d[3 * x + 1] = g;
                d[3 * x + 2] = r;
            } else {
                d[x] = Luminance(b, g, r);
            }
        }
    }
}

}  // namespace preview
