#include "ds/acquire/progress_steps.h"

#include <cstdio>

ProgressDraw NextProgressDraw(uint32_t count, uint32_t total, uint32_t& lastDrawn,
                              int32_t barWidth) {
    ProgressDraw d;
    if (count == 0) lastDrawn = 0;
    if (total == 0) return d;
    if (count > total) count = total;  // never past the end of the bar
    const double fraction = static_cast<double>(count) / total;
    const double previous = static_cast<double>(lastDrawn) / total;
    const auto width = static_cast<int32_t>(barWidth * fraction);
    d.percent = static_cast<int>(fraction * 100);
    d.newPhase = width == 0;
    if (d.percent - static_cast<int>(previous * 100) >= 5) {
        d.grow = true;
        d.fromX = static_cast<int32_t>(barWidth * previous);
        d.toX = width;
        lastDrawn = count;
    }
    return d;
}

std::string PercentText(int percent) {
    char text[16];
    std::snprintf(text, sizeof text, " %3d %%", percent);
    return text;
}
