#include "level/level_rules.h"

#include <algorithm>
#include <cstdlib>

namespace {

void Put(uint8_t* tables, size_t at, const LevelTable& table) {
    std::copy(table.begin(), table.end(), tables + at);
}

// The midtone from the ratio, kept strictly between the other two.
void MidtoneFollows(LevelGroup& g) {
    g.midtone = std::clamp(MidtoneFromRatio(g.shadow, g.highlight, g.ratio), g.shadow + 1,
                           g.highlight - 1);
}

}  // namespace

LevelChannel ChannelOfItem(int item) {
    return static_cast<LevelChannel>(static_cast<int>(LevelChannel::Rgb) + std::clamp(item, 0, 4));
}

bool IsColourChannel(LevelChannel channel) { return channel != LevelChannel::Gray; }

int GroupIndex(LevelChannel channel) {
    switch (channel) {
    case LevelChannel::Green: return kToneGreen;
    case LevelChannel::Blue: return kToneBlue;
    case LevelChannel::Gray: return kToneGrey;
    default: return kToneRed;
    }
}

bool IsUsableGroup(const LevelGroup& g) {
    return g.shadow >= 0 && g.shadow < g.midtone && g.midtone < g.highlight && g.highlight <= 255 &&
           g.ratio <= 100;
}

LevelTable TableOf(const LevelGroup& g) {
    LevelTable t{};
    const int s = g.shadow, m = g.midtone, h = g.highlight;
    for (int i = 0; i < 256; ++i) {
        int v;
        if (i <= s) v = 0;
        else if (i >= h) v = 255;
        else if (i == m) v = 128;
        else if (i < m) v = (i - s) * 128 / (m - s);
        else v = (i - m) * 127 / (h - m) + 128;
        t[i] = static_cast<uint8_t>(std::clamp(v, 0, 255));
    }
    return t;
}

void WriteLevelTables(uint8_t* toneTables, LevelChannel channel, const LevelTable& table) {
    switch (channel) {
    case LevelChannel::Rgb:
        for (size_t at : {kLevelBlue, kLevelGreen, kLevelRed}) Put(toneTables, at, table);
        break;
    case LevelChannel::Red: Put(toneTables, kLevelRed, table); break;
    case LevelChannel::Green: Put(toneTables, kLevelGreen, table); break;
    case LevelChannel::Blue: Put(toneTables, kLevelBlue, table); break;
    case LevelChannel::Gray: Put(toneTables, kLevelGrey, table); break;
    }
}

std::array<uint8_t, 1024> ComposedToneTables(const uint8_t* t) {
    std::array<uint8_t, 1024> composed{};
    for (size_t at = 0; at < 1024; at += 256)
        for (size_t v = 0; v < 256; ++v)
            composed[at + v] = t[1024 + at + t[2048 + at + t[at + v]]];
    return composed;
}

int MidtoneFromRatio(int shadow, int highlight, int ratio) {
    return ((100 - ratio) * shadow + ratio * highlight) / 100;
}

int RatioFromMidtone(int shadow, int midtone, int highlight) {
    const int span = std::abs(highlight - shadow);
    if (span == 0) return 50;
    return static_cast<int>(static_cast<float>(std::abs(midtone - shadow)) * 100.0f /
                            static_cast<float>(span));
}

int MarkerX(int value, int barLeft, int barWidth) { return barLeft + value * barWidth / 256; }

std::optional<Marker> GrabbedMarker(const LevelGroup& g, int mouseX, int mouseY, int barLeft,
                                    int barTop, int barWidth, int markerWidth, int markerHeight) {
    if (mouseY < barTop || mouseY > barTop + markerHeight) return std::nullopt;
    const std::pair<Marker, int> order[] = {
        {Marker::Highlight, g.highlight}, {Marker::Midtone, g.midtone}, {Marker::Shadow, g.shadow}};
    for (const auto& [marker, value] : order)
        if (std::abs(mouseX - MarkerX(value, barLeft, barWidth)) <= markerWidth / 2) return marker;
    return std::nullopt;
}

void MoveMarker(LevelGroup& g, Marker marker, int dx) {
    switch (marker) {
    case Marker::Shadow:
        g.shadow = std::clamp(g.shadow + dx, 0, g.midtone - 1);
        MidtoneFollows(g);
        break;
    case Marker::Midtone:
        g.midtone = std::clamp(g.midtone + dx, g.shadow + 1, g.highlight - 1);
        g.ratio = static_cast<uint16_t>(RatioFromMidtone(g.shadow, g.midtone, g.highlight));
        break;
    case Marker::Highlight:
        g.highlight = std::clamp(g.highlight + dx, g.midtone + 1, 255);
        MidtoneFollows(g);
        break;
    }
}

std::optional<Parabola> ResponseParabola(const LevelGroup& g) {
    const double s = g.shadow, m = g.midtone, h = g.highlight;
    const double denominator = (h - m) * (m - s) * (h - s);
    if (denominator == 0) return std::nullopt;
    Parabola p;
    p.a = ((m - s) * 255 - (h - s) * 128) / denominator;
    p.b = (255 - (h * h - s * s) * p.a) / (h - s);
    p.c = -(s * p.b + s * s * p.a);
    return p;
}
