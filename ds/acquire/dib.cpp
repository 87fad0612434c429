#include "ds/acquire/dib.h"

#include <cstring>

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

uint64_t DibBlockSize(uint16_t bitsPerPixel, uint32_t paddedLineBytes, uint32_t lineCount) {
    const uint64_t size = 40 + 4ull * DibColours(bitsPerPixel) +
                          static_cast<uint64_t>(paddedLineBytes) * lineCount;
    return size > 0xFFFFFFFFull ? 0 : size;
}

size_t WriteDibHeader(uint8_t* block, int32_t width, int32_t height, uint16_t bitsPerPixel) {
    const uint32_t colours = DibColours(bitsPerPixel);
    std::memset(block, 0, 40);
    Put32(block + 0, 40);
    Put32(block + 4, static_cast<uint32_t>(width));
    Put32(block + 8, static_cast<uint32_t>(height));
    Put16(block + 12, 1);
    Put16(block + 14, bitsPerPixel);
    Put32(block + 32, colours);
    uint8_t* table = block + 40;
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t level = colours == 2 ? static_cast<uint8_t>(i ? 255 : 0)
                                           : static_cast<uint8_t>(i);
        table[4 * i + 0] = table[4 * i + 1] = table[4 * i + 2] = level;
        table[4 * i + 3] = 0;
    }
    return 40 + 4 * colours;
}
