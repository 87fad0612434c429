// The arithmetic of the preview picture: the display gamma applied to the
// prescan samples, the palettes and pixel mappings of the renderer, and the
// ordered dither that squeezes a colour preview into a 3-3-2 palette on
// screens of 256 colours or fewer. No Windows header; the GDI side lives in
// preview_render_win.h.
#pragma once

#include "common/preview_image.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace preview {

// Render modes.
constexpr int kModeGrey = 2;
constexpr int kModeColour = 3;

// Offsets of the four preview tables inside a tone-table block.
constexpr size_t kBlueTable = 0;
constexpr size_t kGreenTable = 256;
constexpr size_t kRedTable = 512;
constexpr size_t kGreyTable = 768;
constexpr size_t kToneTablesSize = 1024;

// Row length in bytes, padded to a multiple of 4 (DIB and BMP rows).
constexpr uint32_t PaddedRow(uint32_t bytes) { return (bytes + 3u) & ~3u; }

// Entry i = floor(255 * (i / 255)^(1/1.8) + 0.5).
std::array<uint8_t, 256> DisplayGammaTable();

// Four identity tables (entry i holds i), blue, green, red, grey.
std::array<uint8_t, kToneTablesSize> IdentityToneTables();

// The ordered-dither thresholds, row first.
extern const uint8_t kDitherMatrix[8][8];

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};

// Palette entry i of a grey picture: red = green = blue = grey table[i].
Rgb GreyPaletteEntry(const uint8_t* toneTables, unsigned i);
// Entry d of the 3-3-2 colour cube, each component through its table.
Rgb CubePaletteEntry(const uint8_t* toneTables, unsigned d);

// Cube index of one pixel dithered with threshold t.
uint8_t DitherPixel(uint8_t blue, uint8_t green, uint8_t red, uint8_t t);

// Dithers a bottom-up blue-green-red picture (rows of srcStride bytes) into
// cube indices (rows of PaddedRow(width) bytes). The threshold row is the
// row's index in memory order.
void DitherPicture(const uint8_t* src, uint32_t srcStride, uint32_t width, uint32_t height,
                   uint8_t* dst);

// Copies a blue-green-red picture with every sample through its table;
// pad bytes are copied as they are.
void MapColourPicture(const uint8_t* src, uint32_t stride, uint32_t width, uint32_t height,
                      const uint8_t* toneTables, uint8_t* dst);

// The logical palette of a grey picture or of the colour cube.
void FillGreyPalette(const uint8_t* toneTables, PreviewPalette& palette);
void FillCubePalette(const uint8_t* toneTables, PreviewPalette& palette);

// Size of the view bitmap from the size of the zoom bitmap (never 0).
constexpr int32_t HalfSize(int32_t full) { return full / 2 > 0 ? full / 2 : 1; }

}  // namespace preview
