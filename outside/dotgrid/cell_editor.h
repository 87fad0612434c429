// The user halftone cell as the editor sees it: the order in which the 64
// places of an 8 x 8 cell turn black as the grey darkens, and the 64 bytes
// of GrainCode the scanner ranks (the lowest value turns white first).
//
// Pure computation: no Windows header.
#pragma once

#include <array>
#include <cstdint>

constexpr int kCellPlaces = 64;

struct CellOrder {
    std::array<int8_t, kCellPlaces> black{};  // 0..63, or -1 while not given
    int next = 0;                             // the order the next click gives
};

CellOrder EmptyOrder();
// A click on a place gives it the next order; a place that has one keeps it.
void GiveNextOrder(CellOrder& order, int place);
// The order of a GrainCode (ties by place, row by row), and of a built-in
// cell's thresholds repeated over the 8 x 8 places.
CellOrder OrderOfCode(const std::array<uint8_t, kCellPlaces>& code);
CellOrder OrderOfThresholds(const std::array<uint8_t, kCellPlaces>& thresholds);
// The GrainCode of an order: places without one follow the others in row
// order; code = 63 - order, so the last to turn black turns white first.
std::array<uint8_t, kCellPlaces> CodeOfOrder(const CellOrder& order);
// Whether a place is black at a grey level (0 black .. 255 white): the
// first round((255 - grey) x 64 / 255) places in the order are.
bool IsBlackAt(const CellOrder& order, int place, int grey);
