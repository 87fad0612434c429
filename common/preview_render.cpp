#include "common/preview_render.h"

#include <cmath>
#include <cstring>

namespace preview {

const uint8_t kDitherMatrix[8][8] = {
    {2, 130, 34, 162, 10, 138, 42, 98},
    {194, 66, 226, 198, 202, 74, 234, 106},
    {50, 178, 18, 146, 58, 186, 26, 154},
    {242, 114, 210, 82, 250, 122, 218, 90},
    {14, 142, 46, 174, 6, 134, 38, 166},
    {206, 78, 238, 110, 198, 70, 230, 102},
    {62, 190, 30, 158, 54, 182, 22, 150},
    {254, 126, 222, 94, 246, 118, 214, 86},
};

std::array<uint8_t, 256> DisplayGammaTable() {
    std::array<uint8_t, 256> table{};
    const double exponent = 1.0 / 1.8;
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<uint8_t>(std::floor(255.0 * std::pow(i / 255.0, exponent) + 0.5));
    return table;
}

std::array<uint8_t, kToneTablesSize> IdentityToneTables() {
    std::array<uint8_t, kToneTablesSize> tables{};
    for (size_t i = 0; i < tables.size(); ++i) tables[i] = static_cast<uint8_t>(i & 0xFF);
    return tables;
}

Rgb GreyPaletteEntry(const uint8_t* toneTables, unsigned i) {
    uint8_t v = toneTables[kGreyTable + (i & 0xFF)];
    return {v, v, v};
}

Rgb CubePaletteEntry(const uint8_t* toneTables, unsigned d) {
    d &= 0xFF;
    return {toneTables[kRedTable + (d & 0xE0) + 16],
            toneTables[kGreenTable + ((d >> 2) & 7) * 32 + 16],
            toneTables[kBlueTable + (d & 3) * 64 + 32]};
}

namespace {

int Clamp(int v, int high) { return v < 0 ? 0 : (v > high ? high : v); }

}  // namespace

uint8_t DitherPixel(uint8_t blue, uint8_t green, uint8_t red, uint8_t t) {
    int qb = Clamp((blue + t + 42) / 85 * 85 - t, 255);
    int qg = Clamp((green + t + 18) / 36 * 36 - t, 252);
    int qr = Clamp((red + t + 18) / 36 * 36 - t, 252);
    return static_cast<uint8_t>(((qb & 0xC0) >> 6) | ((qg & 0xE0) >> 3) | (qr & 0xE0));
}

void DitherPicture(const uint8_t* src, uint32_t srcStride, uint32_t width, uint32_t height,
                   uint8_t* dst) {
    const uint32_t dstStride = PaddedRow(width);
    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* s = src + static_cast<size_t>(row) * srcStride;
        uint8_t* d = dst + static_cast<size_t>(row) * dstStride;
        const uint8_t* thresholds = kDitherMatrix[row % 8];
        for (uint32_t x = 0; x < width; ++x)
            d[x] = DitherPixel(s[3 * x], s[3 * x + 1], s[3 * x + 2], thresholds[x % 8]);
        for (uint32_t x = width; x < dstStride; ++x) d[x] = 0;
    }
}

void MapColourPicture(const uint8_t* src, uint32_t stride, uint32_t width, uint32_t height,
                      const uint8_t* toneTables, uint8_t* dst) {
    const uint8_t* blue = toneTables + kBlueTable;
    const uint8_t* green = toneTables + kGreenTable;
    const uint8_t* red = toneTables + kRedTable;
    for (uint32_t row = 0; row < height; ++row) {
        const uint8_t* s = src + static_cast<size_t>(row) * stride;
        uint8_t* d = dst + static_cast<size_t>(row) * stride;
        for (uint32_t x = 0; x < width; ++x) {
            d[3 * x] = blue[s[3 * x]];
            d[3 * x + 1] = green[s[3 * x + 1]];
            d[3 * x + 2] = red[s[3 * x + 2]];
        }
        std::memcpy(d + 3 * static_cast<size_t>(width), s + 3 * static_cast<size_t>(width),
                    stride - 3 * static_cast<size_t>(width));
    }
}

void FillGreyPalette(const uint8_t* toneTables, PreviewPalette& palette) {
    palette.version = kPreviewPaletteVersion;
    palette.count = 256;
    for (unsigned i = 0; i < 256; ++i) {
        Rgb c = GreyPaletteEntry(toneTables, i);
        palette.entries[i] = {c.red, c.green, c.blue, 0};
    }
}

void FillCubePalette(const uint8_t* toneTables, PreviewPalette& palette) {
    palette.version = kPreviewPaletteVersion;
    palette.count = 256;
    for (unsigned d = 0; d < 256; ++d) {
        Rgb c = CubePaletteEntry(toneTables, d);
        palette.entries[d] = {c.red, c.green, c.blue, 0};
    }
}

}  // namespace preview
