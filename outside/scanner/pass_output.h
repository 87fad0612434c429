// The bytes a pass delivers: raw samples through the tone table, then as
// they are (one byte per sample) or reduced to one bit per sample by a
// threshold (LineArt) or a halftone cell (Halftone).
#pragma once

#include "outside/scanner/chart.h"
#include "outside/scanner/halftone.h"
#include "outside/scanner/tone.h"

#include <cstdint>
#include <vector>

namespace scanner {

// Packs `count` samples (a multiple of 8) into count / 8 bytes, leftmost
// sample in the most significant bit: 1 (white) where the sample is above
// its threshold, 0 (black) elsewhere.
void PackBits(const uint8_t* samples, const uint8_t* thresholds, unsigned count, uint8_t* out);

// Threshold of LineArt: samples of 128 and above are white.
constexpr uint8_t kLineArtThreshold = 127;

class PassOutput {
public:
    PassOutput(const PassGeometry& geometry, const ScanParameterBlock& block, const Picture* picture);

    const PassGeometry& geometry() const { return g_; }
    const ToneTable& tone() const { return tone_; }

    // Writes geometry().bytesPerLine bytes of line `line`.
    void RenderLine(unsigned line, uint8_t* out);

private:
    PassGeometry g_;
    PassImage image_;
    ToneTable tone_;
    int cellSize_ = 1;
    std::vector<uint8_t> thresholdRows_;  // cellSize_ rows of g_.pixels
    std::vector<uint8_t> samples_;
};

}  // namespace scanner
