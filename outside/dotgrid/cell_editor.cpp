#include "outside/dotgrid/cell_editor.h"

#include <algorithm>
#include <numeric>

CellOrder EmptyOrder() {
    CellOrder order;
    order.black.fill(-1);
    return order;
}

void GiveNextOrder(CellOrder& order, int place) {
    if (place < 0 || place >= kCellPlaces || order.black[place] >= 0 || order.next >= kCellPlaces) return;
    order.black[place] = static_cast<int8_t>(order.next++);
}

CellOrder OrderOfCode(const std::array<uint8_t, kCellPlaces>& code) {
    std::array<int, kCellPlaces> places;
    std::iota(places.begin(), places.end(), 0);
    std::stable_sort(places.begin(), places.end(), [&](int a, int b) { return code[a] < code[b]; });
    CellOrder order;
    for (int rank = 0; rank < kCellPlaces; ++rank)
        order.black[places[rank]] = static_cast<int8_t>(kCellPlaces - 1 - rank);
    order.next = kCellPlaces;
    return order;
}

CellOrder OrderOfThresholds(const std::array<uint8_t, kCellPlaces>& thresholds) {
    return OrderOfCode(thresholds);
}

std::array<uint8_t, kCellPlaces> CodeOfOrder(const CellOrder& order) {
    std::array<int, kCellPlaces> black{};
    int next = 0;
    for (int p = 0; p < kCellPlaces; ++p) next = std::max(next, order.black[p] + 1);
    for (int p = 0; p < kCellPlaces; ++p) black[p] = order.black[p] >= 0 ? order.black[p] : next++;
    std::array<uint8_t, kCellPlaces> code{};
    for (int p = 0; p < kCellPlaces; ++p)
        code[p] = static_cast<uint8_t>(std::clamp(kCellPlaces - 1 - black[p], 0, 255));
    return code;
}

bool IsBlackAt(const CellOrder& order, int place, int grey) {
    const int blacks = ((255 - std::clamp(grey, 0, 255)) * kCellPlaces + 127) / 255;
    const std::array<uint8_t, kCellPlaces> code = CodeOfOrder(order);
    return kCellPlaces - 1 - code[place] < blacks;
}
