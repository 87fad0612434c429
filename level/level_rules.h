// The arithmetic of the level dialog: the level table of a channel's
// shadow, midtone and highlight, the ratio that ties the midtone to the
// other two, the markers and their limits, the response curve over the
// histogram, which tone tables a channel writes, and the tables the
// preview is rendered through.
//
// Pure computation: no Windows header.
#pragma once

#include "common/tone_blocks.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

using LevelTable = std::array<uint8_t, 256>;

// The channel list; item k stands for the channel 7014 + k.
enum class LevelChannel { Rgb = 7014, Red = 7015, Green = 7016, Blue = 7017, Gray = 7018 };
LevelChannel ChannelOfItem(int item);
bool IsColourChannel(LevelChannel channel);
// The group a channel edits: RGB and Red the red one.
int GroupIndex(LevelChannel channel);

constexpr LevelGroup kDefaultGroup{0, 128, 255, 50, 0};
// 0 <= shadow < midtone < highlight <= 255 and a ratio up to 100.
bool IsUsableGroup(const LevelGroup& g);

// i <= S: 0; i >= H: 255; i = M: 128; below M floor((i - S) 128 / (M - S)),
// above floor((i - M) 127 / (H - M)) + 128.
LevelTable TableOf(const LevelGroup& g);

// The level set (the third set of four) in the tone tables.
constexpr size_t kLevelBlue = 2048, kLevelGreen = 2304, kLevelRed = 2560, kLevelGrey = 2816;
// RGB writes red, green and blue alike; another channel its own table.
void WriteLevelTables(uint8_t* toneTables, LevelChannel channel, const LevelTable& table);
// Entry v of each channel becomes gamma[level[preview[v]]]: the preview
// shows brightness and contrast, levels and gamma together.
std::array<uint8_t, 1024> ComposedToneTables(const uint8_t* toneTables);

// M = ((100 - ratio) S + ratio H) / 100, and the ratio back from M:
// floor(|M - S| 100 / |H - S|) in single precision.
int MidtoneFromRatio(int shadow, int highlight, int ratio);
int RatioFromMidtone(int shadow, int midtone, int highlight);

enum class Marker { Shadow, Midtone, Highlight };
// A marker's x on a bar: left + value x width / 256.
int MarkerX(int value, int barLeft, int barWidth);
// The marker under the mouse: within half a marker width of its x and
// within its height below the bar's top; the highlight wins over the
// midtone, the midtone over the shadow.
std::optional<Marker> GrabbedMarker(const LevelGroup& g, int mouseX, int mouseY, int barLeft,
                                    int barTop, int barWidth, int markerWidth, int markerHeight);
// Moves a marker by dx levels: the shadow within 0..M-1 and the highlight
// within M+1..255, each followed by the midtone from the ratio; the
// midtone within S+1..H-1, followed by the ratio. The midtone always
// stays strictly between the other two.
void MoveMarker(LevelGroup& g, Marker marker, int dx);

// The parabola through (S, 0), (M, 128) and (H, 255); nothing when two of
// the three coincide.
struct Parabola {
    double a = 0, b = 0, c = 0;
    double At(double x) const { return a * x * x + b * x + c; }
};
std::optional<Parabola> ResponseParabola(const LevelGroup& g);
