// What one pixel is made of, for the lines the scanner delivers and for the
// rows the acquisition engine builds from them.
//
// Pure declarations: no Windows header.
#pragma once

#include "ds/twain/scan_settings.h"

#include <cstdint>
#include <optional>

// The numbers are those the resolution scaling routine takes as its kind.
enum class PixelKind : uint8_t {
    Bit = 0,   // 1 bit per pixel, 8 per byte, leftmost pixel in the top bit
    Byte = 1,  // one 8-bit component: Gray, or one pass of Color
    Rgb = 2,   // three 8-bit components side by side
};

// Kind of one raw line of a pass: bits for LineArt and Halftone, one byte
// per pixel for Gray and for each pass of Color. Nothing for other codes.
constexpr std::optional<PixelKind> PassPixelKind(uint16_t scanMode) {
    switch (scanMode) {
    case kModeLineArt:
    case kModeHalftone: return PixelKind::Bit;
    case kModeGray:
    case kModeColor: return PixelKind::Byte;
    default: return std::nullopt;
    }
}

// Kind of a finished image row: as the pass, except that Color rows carry
// all three components.
constexpr std::optional<PixelKind> ImagePixelKind(uint16_t scanMode) {
    if (scanMode == kModeColor) return PixelKind::Rgb;
    return PassPixelKind(scanMode);
}
