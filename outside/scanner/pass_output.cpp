#include "outside/scanner/pass_output.h"

namespace scanner {

void PackBits(const uint8_t* samples, const uint8_t* thresholds, unsigned count, uint8_t* out) {
    for (unsigned byte = 0; byte < count / 8; ++byte) {
        const uint8_t* s = samples + byte * 8;
        const uint8_t* t = thresholds + byte * 8;
        uint8_t bits = 0;
        for (int k = 0; k < 8; ++k) bits = static_cast<uint8_t>((bits << 1) | (s[k] > t[k] ? 1 : 0));
        out[byte] = bits;
    }
}

PassOutput::PassOutput(const PassGeometry& geometry, const ScanParameterBlock& block,
                       const Picture* picture)
    : g_(geometry),
      image_(geometry, picture),
      tone_(BuildToneTable(ToneSettingsFromBlock(block, geometry.negativeFilm))),
      samples_(geometry.pixels) {
    if (g_.kind == PassKind::LineArt) {
        thresholdRows_.assign(g_.pixels, kLineArtThreshold);
    } else if (g_.kind == PassKind::Halftone) {
        HalftoneCell cell = block.GrainBuiltIn != 0 ? UserCell(block.GrainCode) : BuiltInCell(block.Grain);
        cellSize_ = cell.size;
        thresholdRows_.resize(static_cast<size_t>(cellSize_) * g_.pixels);
        for (int y = 0; y < cellSize_; ++y)
            for (unsigned x = 0; x < g_.pixels; ++x)
                thresholdRows_[static_cast<size_t>(y) * g_.pixels + x] = cell.at(static_cast<int>(x % cellSize_), y);
    }
}

void PassOutput::RenderLine(unsigned line, uint8_t* out) {
    uint8_t* target = g_.oneBit() ? samples_.data() : out;
    image_.RenderLine(line, target);
    for (unsigned i = 0; i < g_.pixels; ++i) target[i] = tone_[target[i]];
    if (g_.oneBit()) {
        const uint8_t* row = thresholdRows_.data() + static_cast<size_t>(line % cellSize_) * g_.pixels;
        PackBits(samples_.data(), row, g_.pixels, out);
    }
}

}  // namespace scanner
