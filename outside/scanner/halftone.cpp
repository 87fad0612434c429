#include "outside/scanner/halftone.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace scanner {

namespace {

// Turns a fill order (one key per position; lower keys turn white first)
// into thresholds spread evenly over 0..255.
HalftoneCell FromKeys(int size, const std::vector<double>& keys) {
    const int n = size * size;
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return keys[a] < keys[b]; });
    HalftoneCell cell;
    cell.size = size;
    for (int rank = 0; rank < n; ++rank)
        cell.threshold[order[rank]] = static_cast<uint8_t>((2 * rank + 1) * 255 / (2 * n));
    return cell;
}

// Dispersed dots: the recursive Bayer order (size a power of two). The
// lowest bits of the position decide first, so consecutive levels land far
// apart: 2 x 2 gives 0 2 / 3 1.
double BayerKey(int x, int y, int size) {
    int v = 0;
    for (int bit = 1; bit < size; bit *= 2) {
        int xb = (x & bit) ? 1 : 0, yb = (y & bit) ? 1 : 0;
        v = v * 4 + (((xb ^ yb) << 1) | yb);
    }
    return v;
}

// Clustered dot around one or more centres (toroidal distance): the positions
// farthest from every centre turn white first, so a black dot shrinks.
double ClusterKey(int x, int y, int size, const std::vector<std::pair<double, double>>& centres) {
    double best = 1e9;
    for (auto [cx, cy] : centres) {
        double dx = std::fabs(x - cx), dy = std::fabs(y - cy);
        dx = std::min(dx, size - dx);
        dy = std::min(dy, size - dy);
        best = std::min(best, dx * dx + dy * dy);
    }
    double angle = std::atan2(y - (size - 1) / 2.0, x - (size - 1) / 2.0);
    return -best * 16.0 + angle * 1e-3;
}

HalftoneCell Cell(int size, double (*key)(int, int, int, int), int variant) {
    std::vector<double> keys(size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) keys[y * size + x] = key(x, y, size, variant);
    return FromKeys(size, keys);
}

double Clustered(int x, int y, int size, int variant) {
    double c = (size - 1) / 2.0;
    switch (variant) {
        case 1:  // two dots on the diagonal
            return ClusterKey(x, y, size, {{1.5, 1.5}, {5.5, 5.5}});
        case 2:  // four dots, interleaved so that each level adds one position
            return ClusterKey(x, y, size, {{1.5, 1.5}, {5.5, 1.5}, {1.5, 5.5}, {5.5, 5.5}}) * 4 +
                   BayerKey(x / 4, y / 4, 2) * 1e-2;
        default:
            return ClusterKey(x, y, size, {{c, c}});
    }
}

double Dispersed(int x, int y, int size, int) { return BayerKey(x, y, size); }

// A diagonal screen for 5x5: positions ordered along the diagonals.
double Diagonal(int x, int y, int size, int) {
    return ((x + 2 * y) % size) * size + y;
}

// Horizontal lines: whole rows fill one after another from the cell edge.
double Lines(int x, int y, int size, int) {
    int distance = std::abs(2 * y - (size - 1));
    return -distance * size * 2.0 + x;
}

}  // namespace

HalftoneCell BuiltInCell(int index) {
    switch (index) {
        case 0: return Cell(8, Clustered, 0);
        case 1: return Cell(8, Clustered, 1);
        case 3: return Cell(8, Dispersed, 0);
        case 4: return Cell(6, Clustered, 0);
        case 5: return Cell(5, Clustered, 0);
        case 6: return Cell(5, Diagonal, 0);
        case 7: return Cell(4, Clustered, 0);
        case 8: return Cell(4, Dispersed, 0);
        case 9: return Cell(4, Lines, 0);
        case 10: return Cell(3, Clustered, 0);
        case 11: return Cell(2, Dispersed, 0);
        case 2:
        default: return Cell(8, Clustered, 2);
    }
}

HalftoneCell UserCell(const uint8_t (&code)[64]) {
    std::vector<double> keys(code, code + 64);
    return FromKeys(8, keys);
}

}  // namespace scanner
