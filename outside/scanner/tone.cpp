#include "outside/scanner/tone.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace scanner {

int DecodeToneCode(uint16_t code) {
    int value = static_cast<int8_t>(code & 0xFF) - 12;
    return std::clamp(value, -12, 12);
}

ToneSettings ToneSettingsFromBlock(const ScanParameterBlock& block, bool negativeFilm) {
    ToneSettings s;
    s.brightness = DecodeToneCode(block.BrightnessCode);
    s.contrast = DecodeToneCode(block.ContrastCode);
    s.shadow = std::min<int>(block.ShadowLevel, 255);
    s.highlight = std::min<int>(block.HighlightLevel, 255);
    if (block.ShadowLevel == 0 && block.HighlightLevel == 0) {
        s.shadow = 0;
        s.highlight = 255;
    }
    s.curve = block.Gamma == kGammaCurveSupplied;
    std::memcpy(s.gammaCurve.data(), block.GammaCode, 256);
    s.invert = negativeFilm;
    return s;
}

ToneTable BuildToneTable(const ToneSettings& s) {
    ToneTable table{};
    // Brightness shifts and contrast steepens around mid-grey, each by up to
    // a tenth of the range at +-12; 0 and 0 leave the sample as it is.
    const double b = s.brightness / 120.0;
    const double c = s.contrast / 120.0;
    for (int i = 0; i < 256; ++i) {
        int v = s.invert ? 255 - i : i;
        if (s.highlight > s.shadow) {
            v = (v - s.shadow) * 255 / (s.highlight - s.shadow);
        } else {
            // A collapsed range is a hard step at the shadow level.
            v = v > s.shadow ? 255 : 0;
        }
        v = std::clamp(v, 0, 255);
        double x = v / 255.0;
        double y = ((x - 0.5) * c + x + b) * 255.0;
        v = std::clamp(static_cast<int>(std::lround(y)), 0, 255);
        if (s.curve) v = s.gammaCurve[v];
        table[i] = static_cast<uint8_t>(v);
    }
    return table;
}

}  // namespace scanner
