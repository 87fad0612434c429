// The rulers along the top and the left of the preview: where the ticks go
// and what their labels say, in inches, pixels of the delivered image, cm
// or mm, for the whole glass or the part the magnified view shows.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RulerTick {
    int32_t at;         // pixels from the start of the ruler strip
    bool major;         // a long tick with its label; else a half-height tick
    std::string label;  // empty for a half-height tick
};

struct RulerLayout {
    uint32_t unit = 0;           // 0 inches, 1 pixels, 2 cm, 3 mm
    bool top = true;             // the top ruler (else the left one)
    double glassInches = 8.5;    // what the whole strip stands for: 8.5, 8.0 or 14
    int32_t pixels = 0;          // length of the strip
    double firstInch = 0;        // inches of glass before the strip's start (magnified view)
    double shownInches = 8.5;    // inches the strip shows (half the glass when magnified)
    uint32_t outputResolution = 300;  // dpi of the delivered image, for pixels
    bool adapter = false;        // the adapter's 8-inch glass: no "8" on the top ruler
};

std::vector<RulerTick> RulerTicks(const RulerLayout& ruler);
