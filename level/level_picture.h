// What the level dialog learns from its picture: a histogram per channel
// and each channel's smallest and largest sample, and the automatic levels
// made from them.
//
// Pure computation: no Windows header.
#pragma once

#include "level/level_rules.h"

#include <array>
#include <cstdint>

struct PictureStatistics {
    std::array<std::array<uint32_t, 256>, 4> histogram{};  // red, green, blue, grey
    std::array<uint8_t, 4> lowest{255, 255, 255, 255};
    std::array<uint8_t, 4> highest{0, 0, 0, 0};
};

// Counts a decoded picture (bottom-up rows padded to 4 bytes: blue, green,
// red triples when colour, grey levels otherwise). Colour samples count
// into the red, green and blue histograms, or, for a screen of 256 colours
// or fewer, the pixel's 3-3-2 palette index (red bits 7-5, green 4-2, blue
// 1-0) into all three; grey levels into the grey histogram.
PictureStatistics CountPicture(const uint8_t* pixels, uint32_t width, uint32_t height, bool colour,
                               bool paletteScreen);

// The count the histogram shows for a level: RGB the mean of the three
// colours.
uint32_t ShownCount(const PictureStatistics& s, LevelChannel channel, int level);
// A histogram line: min(count, 255) x area height / 256.
int HistogramLine(uint32_t count, int areaHeight);

// Auto: every ratio becomes 50; the channel on display takes its smallest
// and largest sample as shadow and highlight and their middle as midtone
// (a picture of fewer than three levels keeps them as they are).
void AutoLevels(LevelGroup (&groups)[4], LevelChannel channel, const PictureStatistics& s);
