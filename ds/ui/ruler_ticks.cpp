#include "ds/ui/ruler_ticks.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kCmPerInch = 2.54;

// Pixel steps of a major tick by the ruler's length in pixels.
int32_t PixelStep(double total, bool top) {
    if (total < 1000) return top ? 200 : 500;
    if (total < 5000) return top ? 500 : 1000;
    if (total < 10000) return 2000;
    return 4000;
}

std::string Thousands(double pixels) {
    char text[16];
    std::snprintf(text, sizeof text, "%1.1f", pixels / 1000.0);
    return text;
}

struct Ticks {
    const RulerLayout& ruler;
    std::vector<RulerTick> out;

    // A tick at `inches` of glass, when it falls on the strip.
    void Add(double inches, bool major, std::string label) {
        if (ruler.shownInches <= 0) return;
        const double at = (inches - ruler.firstInch) / ruler.shownInches * ruler.pixels;
        if (at < -0.5 || at > ruler.pixels + 0.5) return;
        out.push_back({static_cast<int32_t>(std::lround(at)), major, major ? label : std::string()});
    }
};

}  // namespace

std::vector<RulerTick> RulerTicks(const RulerLayout& ruler) {
    Ticks t{ruler, {}};
    const double glass = ruler.glassInches;
    switch (ruler.unit) {
    case 1: {
        const double resolution = ruler.outputResolution ? ruler.outputResolution : 1;
        const double total = glass * resolution;
        const int32_t step = PixelStep(total, ruler.top);
        for (int32_t p = 0; p <= total; p += step) {
            t.Add(p / resolution, true, Thousands(p));
            if (p + step / 2 <= total) t.Add((p + step / 2) / resolution, false, {});
        }
        break;
    }
    case 2:
    case 3: {
        const double cm = glass * kCmPerInch;
        for (int c = 0; c <= cm; c += 5) {
            t.Add(c / kCmPerInch, true, std::to_string(ruler.unit == 2 ? c : 10 * c));
            if (c + 2.5 <= cm) t.Add((c + 2.5) / kCmPerInch, false, {});
        }
        break;
    }
    default:
        for (int inch = 0; inch <= glass; ++inch) {
            const bool major = inch % 2 == 0;
            // On the adapter's 8-inch glass the last label would sit on the edge.
            if (major && ruler.top && ruler.adapter && inch == 8) continue;
            t.Add(inch, major, std::to_string(inch));
        }
        break;
    }
    return t.out;
}
