// A picture to lay on the glass instead of the test chart: an uncompressed
// Windows bitmap file of 8 (palette) or 24 bits per pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace scanner {

struct Rgb {
    uint8_t r = 255, g = 255, b = 255;
};

struct Picture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<Rgb> pixels;  // rows top to bottom, left to right

    const Rgb& at(unsigned x, unsigned y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes the bytes of a BMP file; nothing when they are not a bitmap of a
// supported kind (8 or 24 bits, no compression) or are cut short.
std::optional<Picture> DecodeBmp(const std::vector<uint8_t>& bytes);

// Reads and decodes a BMP file.
std::optional<Picture> LoadBmp(const std::string& path);

}  // namespace scanner
