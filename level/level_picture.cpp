#include "level/level_picture.h"

#include <algorithm>

namespace {

void Count(PictureStatistics& s, int channel, uint8_t v) {
    ++s.histogram[channel][v];
    s.lowest[channel] = std::min(s.lowest[channel], v);
    s.highest[channel] = std::max(s.highest[channel], v);
}

uint8_t CubeIndex(uint8_t blue, uint8_t green, uint8_t red) {
    return static_cast<uint8_t>((red & 0xE0) | ((green >> 3) & 0x1C) | (blue >> 6));
}

}  // namespace

PictureStatistics CountPicture(const uint8_t* pixels, uint32_t width, uint32_t height, bool colour,
                               bool paletteScreen) {
    PictureStatistics s;
    if (!pixels) return s;
    const size_t stride = ((colour ? 3u * width : width) + 3u) & ~size_t{3};
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = pixels + y * stride;
        for (uint32_t x = 0; x < width; ++x) {
            if (!colour) {
                Count(s, kToneGrey, row[x]);
                continue;
            }
            const uint8_t* p = row + 3 * x;  // blue, green, red
            if (paletteScreen) {
                const uint8_t index = CubeIndex(p[0], p[1], p[2]);
                for (int c : {kToneRed, kToneGreen, kToneBlue}) Count(s, c, index);
            } else {
                Count(s, kToneBlue, p[0]);
                Count(s, kToneGreen, p[1]);
                Count(s, kToneRed, p[2]);
            }
        }
    }
    return s;
}

uint32_t ShownCount(const PictureStatistics& s, LevelChannel channel, int level) {
    const size_t v = static_cast<size_t>(std::clamp(level, 0, 255));
    if (channel == LevelChannel::Rgb) {
        const uint64_t sum = uint64_t{s.histogram[kToneRed][v]} + s.histogram[kToneGreen][v] +
                             s.histogram[kToneBlue][v];
        return static_cast<uint32_t>(sum / 3);
    }
    return s.histogram[GroupIndex(channel)][v];
}

int HistogramLine(uint32_t count, int areaHeight) {
    return static_cast<int>(std::min<uint32_t>(count, 255)) * areaHeight / 256;
}

void AutoLevels(LevelGroup (&groups)[4], LevelChannel channel, const PictureStatistics& s) {
    for (LevelGroup& g : groups) g.ratio = 50;
    LevelGroup& g = groups[GroupIndex(channel)];
    const int low = s.lowest[GroupIndex(channel)], high = s.highest[GroupIndex(channel)];
    if (high - low >= 2) {
        g.shadow = low;
        g.highlight = high;
        g.midtone = (low + high) / 2;
    } else {
        g.midtone = std::clamp(MidtoneFromRatio(g.shadow, g.highlight, 50), g.shadow + 1,
                               g.highlight - 1);
    }
}
