#include "outside/scanner/geometry.h"

namespace scanner {

namespace {

constexpr unsigned kMaxWord = 65535;
// Above this the request makes no sense for any model, interpolated or not.
constexpr unsigned kMaxScanResolution = 2400;

PassGeometry Refused() {
    PassGeometry g;
    g.status = kStatusBadBlock;
    return g;
}

// Whether `edge` base units lie within `mm` millimetres (integer arithmetic:
// edge / base <= mm / 25.4).
bool WithinArea(unsigned edge, unsigned base, double mm) {
    return static_cast<double>(edge) * 25.4 <= mm * base + 1e-9;
}

}  // namespace

int PassGeometry::component() const {
    switch (kind) {
        case PassKind::Red: return 0;
        case PassKind::Green: return 1;
        case PassKind::Blue: return 2;
        default: return 3;
    }
}

unsigned BaseResolutionFor(uint16_t modelCodeSent) {
    switch (modelCodeSent) {
        case 600: return 300;
        case 800: return 400;
        case 1200: return 600;
        default: return 0;
    }
}

PassGeometry ComputePassGeometry(const ScanParameterBlock& block, const DeviceOptions& options) {
    PassGeometry g;
    g.baseResolution = BaseResolutionFor(block.ModelCode);
    g.scanResolution = block.ScanRes;
    if (g.baseResolution == 0) return Refused();
    if (g.scanResolution == 0 || g.scanResolution > kMaxScanResolution) return Refused();

    const unsigned left = block.Frame[0], top = block.Frame[1];
    const unsigned right = block.Frame[2], bottom = block.Frame[3];
    if (right <= left || bottom <= top) return Refused();
    if (!WithinArea(right, g.baseResolution, kAreaWidthMm) ||
        !WithinArea(bottom, g.baseResolution, kAreaLengthMm))
        return Refused();

    if (block.BackgroundCode == kBackgroundLineArt) {
        g.kind = PassKind::LineArt;
    } else if (block.BackgroundCode == kBackgroundHalftone) {
        g.kind = PassKind::Halftone;
    } else {
        switch (block.PassNumber) {
            case 0: g.kind = PassKind::Grey; break;
            case 1: g.kind = PassKind::Red; break;
            case 2: g.kind = PassKind::Green; break;
            case 3: g.kind = PassKind::Blue; break;
            default: return Refused();
        }
    }

    g.source = block.ScanSource;
    if (g.source > 2) return Refused();
    if (g.source == 1 && !options.adapter) return Refused();
    if (g.source == 2) {
        if (!options.feeder) return Refused();
        bool colour = g.kind == PassKind::Red || g.kind == PassKind::Green ||
                      g.kind == PassKind::Blue;
        if (colour && !options.colourWithFeeder) return Refused();
    }
    g.negativeFilm = g.source == 1 && (block.Velocity & 0x80) != 0;

    const unsigned long long res = g.scanResolution;
    unsigned long long pixels = (right - left) * res / g.baseResolution;
    unsigned long long lines = (bottom - top) * res / g.baseResolution;
    if (pixels == 0 || lines == 0 || lines > kMaxWord) return Refused();
    if (g.oneBit()) {
        // Whole bytes: the samples go on to the right of the frame up to
        // the byte boundary.
        unsigned long long bytes = (pixels + 7) / 8;
        pixels = bytes * 8;
    }
    unsigned long long bytes = g.oneBit() ? pixels / 8 : pixels;
    if (bytes > kMaxWord) return Refused();

    g.pixels = static_cast<unsigned>(pixels);
    g.bytesPerLine = static_cast<unsigned>(bytes);
    g.lines = static_cast<unsigned>(lines);
    g.leftInches = static_cast<double>(left) / g.baseResolution;
    g.topInches = static_cast<double>(top) / g.baseResolution;
    return g;
}

}  // namespace scanner
