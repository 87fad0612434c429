// Layout of the packed device-independent bitmaps the data source hands out.
#pragma once

#include <cstddef>
#include <cstdint>

// Colours in the colour table: 2 for 1-bit images, 256 for grey, none for
// 24-bit colour.
constexpr uint32_t DibColours(uint16_t bitsPerPixel) {
    return bitsPerPixel == 1 ? 2 : bitsPerPixel == 8 ? 256 : 0;
}

// Bytes of the whole block: the 40-byte header, the colour table and the
// rows; 0 when the size does not fit a 32-bit count.
uint64_t DibBlockSize(uint16_t bitsPerPixel, uint32_t paddedLineBytes, uint32_t lineCount);

// Writes the 40-byte header and the colour table at `block` (little-endian):
// a bottom-up bitmap, black and white for 1 bit, a grey ramp for 8 bits.
// Gives the offset of the first row.
size_t WriteDibHeader(uint8_t* block, int32_t width, int32_t height, uint16_t bitsPerPixel);
