// Halftone cells: square threshold matrices. A sample becomes white when it
// is above the threshold of its position in the cell.
#pragma once

#include <array>
#include <cstdint>

namespace scanner {

constexpr int kBuiltInCellCount = 12;

struct HalftoneCell {
    int size = 0;                       // 2 to 8
    std::array<uint8_t, 64> threshold{};  // size x size, row by row

    uint8_t at(int x, int y) const { return threshold[(y % size) * size + (x % size)]; }
};

// Cell `index` (0 to 11) of the built-in list: 8x8 coarse, fine, very fine,
// finest; 6x6; 5x5 pattern 1 and 2; 4x4 pattern 1, 2 and 3; 3x3; 2x2. An
// index outside the list gives cell 2, the usual default.
HalftoneCell BuiltInCell(int index);

// The user-defined 8x8 cell: the 64 bytes are ranked by value (equal values
// by position, row by row); the position of lowest rank turns white first.
HalftoneCell UserCell(const uint8_t (&code)[64]);

}  // namespace scanner
