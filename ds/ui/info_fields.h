// What the information dialog shows for each setting: the string ids of the
// named values, and which fields a scan mode uses.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>

// "Lineart", "Halftone", "Gray", "Color" by scan mode; 0 for another code.
int ModeNameString(uint16_t scanMode);
// "inches", "pixels", "cm", "mm" by `UnitFlag`; 0 for another value.
int UnitNameString(uint32_t unitFlag);
// "Fast" … "Auto" by speed selection 1 to 6; 0 for another value.
int SpeedNameString(int speedSelection);
// The name of a gamma curve: curves 1 to 10 are strings 800 to 809, 11 to
// 19 strings 811 to 819, 39 (drawn by the user) string 820; 0 for any other
// selector, which has no name (the dialog shows its number).
int GammaNameString(uint16_t gamma);

// The controls of one tone field: the single value (the other modes) and
// the red, green and blue values with their labels (Color).
struct ToneFieldControls {
    int single;
    int values[3];
    int labels[3];
};
// Brightness, contrast, shadow, highlight.
inline constexpr ToneFieldControls kToneFields[4] = {
    {826, {844, 846, 848}, {832, 833, 834}},
    {827, {845, 847, 849}, {835, 836, 837}},
    {829, {850, 852, 854}, {838, 839, 840}},
    {830, {851, 853, 855}, {841, 842, 843}},
};
