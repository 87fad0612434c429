// The halftone cell editor's model: clicks give the order of turning
// black, the GrainCode the scanner ranks comes out of it, and a built-in
// cell's order survives the trip through GrainCode.
#include "outside/dotgrid/cell_editor.h"
#include "outside/scanner/halftone.h"

#include <gtest/gtest.h>

TEST(CellEditor, ClicksGiveTheOrderAndTheRestFollowsInRowOrder) {
    CellOrder order = EmptyOrder();
    for (int place : {9, 2, 9, 40}) GiveNextOrder(order, place);  // 9 twice keeps its first order
    EXPECT_EQ(order.black[9], 0);
    EXPECT_EQ(order.black[2], 1);
    EXPECT_EQ(order.black[40], 2);
    const auto code = CodeOfOrder(order);
    EXPECT_EQ(code[9], 63) << "the first to turn black turns white last";
    EXPECT_EQ(code[40], 61);
    EXPECT_EQ(code[0], 60) << "the first place without an order comes next";
    EXPECT_EQ(code[63], 0);
    EXPECT_TRUE(IsBlackAt(order, 9, 250)) << "one place of 64 is black at a light grey";
    EXPECT_FALSE(IsBlackAt(order, 2, 250));
    EXPECT_FALSE(IsBlackAt(order, 9, 255));
    EXPECT_TRUE(IsBlackAt(order, 63, 0));
}

TEST(CellEditor, ABuiltInCellThroughGrainCodeKeepsItsThresholds) {
    for (int index : {0, 1, 3}) {  // the 8 x 8 cells
        const scanner::HalftoneCell cell = scanner::BuiltInCell(index);
        std::array<uint8_t, kCellPlaces> thresholds{};
        for (int p = 0; p < kCellPlaces; ++p) thresholds[p] = cell.at(p % 8, p / 8);
        const auto code = CodeOfOrder(OrderOfThresholds(thresholds));
        uint8_t raw[64];
        std::copy(code.begin(), code.end(), raw);
        EXPECT_EQ(scanner::UserCell(raw).threshold, cell.threshold) << index;
        EXPECT_EQ(OrderOfCode(code).black, OrderOfThresholds(thresholds).black);
    }
}
