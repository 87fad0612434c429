// Tone of a pass: the one 256-entry table a raw sample goes through, built
// from the brightness, contrast, shadow/highlight and gamma fields of the
// Start block (and the negative-film inversion of the transparency adapter).
#pragma once

#include "common/driver_request.h"

#include <array>
#include <cstdint>

namespace scanner {

using ToneTable = std::array<uint8_t, 256>;

struct ToneSettings {
    int brightness = 0;   // -12..+12
    int contrast = 0;     // -12..+12
    int shadow = 0;       // input level that becomes black
    int highlight = 255;  // input level that becomes white
    bool curve = false;   // apply `gammaCurve` last
    std::array<uint8_t, 256> gammaCurve{};
    bool invert = false;  // negative film: the sample is inverted first
};

// A code word of the block (value + 12, kept to its low byte) back to the
// value, limited to -12..+12. 12 is neutral.
int DecodeToneCode(uint16_t code);

// The settings a Start block asks for. Shadow and highlight of 0 and 0 (a
// block that never set them) mean the full range.
ToneSettings ToneSettingsFromBlock(const ScanParameterBlock& block, bool negativeFilm);

// Order: inversion, shadow/highlight stretch, brightness/contrast, gamma curve.
ToneTable BuildToneTable(const ToneSettings& settings);

}  // namespace scanner
