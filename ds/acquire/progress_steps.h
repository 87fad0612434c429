// What one progress report draws in the status line: a new phase clears
// the bar and writes its texts; after that the bar grows only in steps of
// at least five percent, however often the job reports.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>

struct ProgressDraw {
    bool newPhase = false;  // clear the bar, write the percentage and the phase text
    bool grow = false;      // write the percentage, invert the bar from fromX to toX
    int32_t fromX = 0, toX = 0;  // offsets from the bar's left edge
    int percent = 0;
};

// The drawing for `count` of `total` on a bar `barWidth` pixels wide.
// `lastDrawn` is the count last drawn: a count of 0 resets it, a step that
// grows the bar takes the new count.
ProgressDraw NextProgressDraw(uint32_t count, uint32_t total, uint32_t& lastDrawn,
                              int32_t barWidth);

// " " + the percentage in three places + " %".
std::string PercentText(int percent);
