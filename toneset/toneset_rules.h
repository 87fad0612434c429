// The arithmetic of the brightness and contrast dialog: the tone table of a
// brightness and contrast pair, which preview tables a channel writes, what
// the scroll bars do, and how the bar values reach the pairs.
//
// Pure computation: no Windows header.
#pragma once

#include "common/tone_blocks.h"

#include <array>
#include <cstdint>

constexpr int kToneMinimum = -12;
constexpr int kToneMaximum = 12;

// The table of one channel: B = (8b + 4) x 0.001 (b >= 0) or (8b - 4) x
// 0.001 (b < 0), C likewise from c; entry i = trunc(((x - 0.5) C + x + B)
// x 255) held to 0..255, x = i / 255.
std::array<uint8_t, 256> BrightnessContrastTable(int brightness, int contrast);

// The channel buttons; their ids are the channel codes.
enum class ToneChannel { Rgb = 3003, Red = 3004, Green = 3005, Blue = 3006, Gray = 3007 };
bool IsColourChannel(ToneChannel channel);
// The pair the bars show: red for RGB, else the channel's own.
int PairShown(ToneChannel channel);

// The bar values stored: for RGB into the red, green and blue pairs alike,
// for another channel into its own pair.
void StoreBarValues(ToneAdjustPair (&pairs)[4], ToneChannel channel, int brightness,
                    int contrast);

// Writes the preview tables (blue 0, green 256, red 512, grey 768) for the
// channel on display. Gray, or any channel on a screen of 8 bits or less:
// one table from the bar values, into red, green and blue for RGB, else into
// the channel's table. A colour channel on a deeper screen: the tables of
// the stored pairs, all three for RGB, else the channel's own.
void WriteChannelTables(uint8_t* tables, ToneChannel channel, const ToneAdjustPair (&pairs)[4],
                        int brightness, int contrast, bool deepScreen);

// What a scroll bar was asked to do.
enum class ToneScroll { LineLeft, LineRight, PageLeft, PageRight, Thumb, LeftEnd, RightEnd, Other };
// The value after the action: lines step 1, pages 4, the left end (Home)
// is +12 and the right end (End) -12; held to -12..+12. Other actions
// (thumb tracking among them) keep the value.
int ScrolledToneValue(ToneScroll action, int current, int thumb);
