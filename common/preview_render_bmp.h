// The preview picture as a file: the header of the stored prescan picture
// ("QZLG0000.BMP" grey, "QZLC0000.BMP" colour) and a careful reader of BMP
// files from anywhere (the bitmap viewer opens whatever file it is given).
// No Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace preview {

inline constexpr char kGreyPreviewFile[] = "QZLG0000.BMP";
inline constexpr char kColourPreviewFile[] = "QZLC0000.BMP";

// Bytes of one stored row: W (grey) or 3 W (colour), padded to 4.
uint32_t PreviewStride(uint16_t width, bool colour);

// File header, info header and, for grey, the 256-entry grey palette of a
// stored prescan picture of width x height pixels. The pixels follow.
std::vector<uint8_t> PreviewFileHeader(uint16_t width, uint16_t height, bool colour);

// Size of the whole stored file.
uint32_t PreviewFileSize(uint16_t width, uint16_t height, bool colour);

// ---- Reading ----

// Pictures larger than this (in bytes of decoded pixels) are refused.
constexpr size_t kMaxDecodedBytes = 64u * 1024u * 1024u;

// Where the parts of a valid BMP file are, as checked against its size.
struct BmpLayout {
    uint32_t width = 0;
    uint32_t height = 0;      // number of rows, always positive
    bool topDown = false;     // rows stored top row first
    uint16_t bitsPerPixel = 0;  // 1, 8 or 24
    size_t paletteOffset = 0;
    uint32_t paletteCount = 0;  // entries present in the file and used
    uint32_t paletteEntrySize = 4;  // 3 in files with the 12-byte core header
    size_t pixelOffset = 0;
    size_t rowBytes = 0;      // stored row length, padded to 4
};

// Checks a whole BMP file held in memory: "BM", a known header (core,
// info, or any of the longer versions), one plane, 1, 8 or 24 bits per
// pixel without compression, sizes from 1 to 65535, a palette and pixel
// rows wholly inside the file. Nothing is returned for anything else.
std::optional<BmpLayout> ParseBmp(const uint8_t* data, size_t size);

// Bytes of the decoded picture: height rows of DecodedStride bytes.
uint32_t DecodedStride(uint32_t width, bool colour);
size_t DecodedSize(const BmpLayout& layout, bool colour);

// Decodes a checked file into bottom-up rows padded to 4 bytes: blue,
// green, red triples when colour, otherwise 8-bit grey levels (luminance
// (77 R + 150 G + 29 B) / 256 of the file's colours). Palette indices
// beyond the palette give black. `out` holds DecodedSize bytes.
void DecodeBmp(const uint8_t* data, const BmpLayout& layout, bool colour, uint8_t* out);

}  // namespace preview
