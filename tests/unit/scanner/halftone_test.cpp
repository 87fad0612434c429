// Halftone cells: the twelve built-in cells and the user cell.
#include "outside/scanner/halftone.h"

#include <gtest/gtest.h>

#include <set>

using namespace scanner;

namespace {

// Share of white positions when every sample of the cell has value v.
double WhiteShare(const HalftoneCell& cell, int v) {
    int white = 0;
    for (int y = 0; y < cell.size; ++y)
        for (int x = 0; x < cell.size; ++x) white += v > cell.at(x, y);
    return static_cast<double>(white) / (cell.size * cell.size);
}

}  // namespace

TEST(HalftoneCells, BuiltInSizesFollowTheCellList) {
    const int sizes[kBuiltInCellCount] = {8, 8, 8, 8, 6, 5, 5, 4, 4, 4, 3, 2};
    for (int i = 0; i < kBuiltInCellCount; ++i) EXPECT_EQ(BuiltInCell(i).size, sizes[i]) << i;
    EXPECT_EQ(BuiltInCell(12).threshold, BuiltInCell(2).threshold) << "unknown index: the default";
}

TEST(HalftoneCells, EveryLevelOfTheCellIsUsedOnce) {
    for (int i = 0; i < kBuiltInCellCount; ++i) {
        HalftoneCell cell = BuiltInCell(i);
        std::set<int> thresholds;
        for (int k = 0; k < cell.size * cell.size; ++k) thresholds.insert(cell.threshold[k]);
        EXPECT_EQ(static_cast<int>(thresholds.size()), cell.size * cell.size) << "cell " << i;
    }
}

TEST(HalftoneCells, BlackStaysBlackWhiteStaysWhiteAndGreyIsInBetween) {
    for (int i = 0; i < kBuiltInCellCount; ++i) {
        HalftoneCell cell = BuiltInCell(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(WhiteShare(cell, 0), 0.0);
        EXPECT_EQ(WhiteShare(cell, 255), 1.0);
        double tolerance = 1.0 / (cell.size * cell.size) + 0.01;
        for (int v : {32, 64, 128, 192}) EXPECT_NEAR(WhiteShare(cell, v), v / 255.0, tolerance) << v;
    }
}

TEST(HalftoneCells, CellsDifferFromEachOther) {
    // Clustered cells grow one dot; the dispersed cell scatters its levels.
    HalftoneCell coarse = BuiltInCell(0), finest = BuiltInCell(3);
    EXPECT_NE(coarse.threshold, finest.threshold);
    // At a quarter white, the coarse cell's white positions touch each other
    // at the cell corners, the finest cell's are spread apart.
    auto whiteNeighbours = [](const HalftoneCell& c, int v) {
        int n = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (v > c.at(x, y) && v > c.at(x + 1, y)) ++n;
        return n;
    };
    EXPECT_GT(whiteNeighbours(coarse, 64), whiteNeighbours(finest, 64));
    EXPECT_EQ(whiteNeighbours(finest, 64), 0);
}

TEST(HalftoneCells, UserCellRanksItsBytes) {
    uint8_t code[64];
    for (int k = 0; k < 64; ++k) code[k] = static_cast<uint8_t>(63 - k);  // last position first
    HalftoneCell cell = UserCell(code);
    EXPECT_EQ(cell.size, 8);
    EXPECT_LT(cell.at(7, 7), cell.at(6, 7));
    EXPECT_LT(cell.at(0, 1), cell.at(7, 0));
    EXPECT_EQ(cell.at(7, 7), 1);
    EXPECT_EQ(cell.at(0, 0), 253);

    uint8_t zeros[64];
    for (uint8_t& c : zeros) c = '0';  // the stored default: row by row
    HalftoneCell plain = UserCell(zeros);
    EXPECT_LT(plain.at(0, 0), plain.at(1, 0));
    EXPECT_LT(plain.at(7, 0), plain.at(0, 1));
    EXPECT_EQ(WhiteShare(plain, 128), 0.5);
}
