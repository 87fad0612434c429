// The arithmetic of the setup window's scan parameters: resolution and
// scaling limits, the steps of the two scroll bars, typed resolutions, the
// resolution presets, the "Auto" speed and the window's title and help file.
//
// Pure computation: no Windows header.
#pragma once

#include "common/module_names.h"

#include <cstdint>
#include <string>
#include <vector>

struct ResolutionLimits {
    uint16_t minimum;
    uint16_t maximum;
};

// The resolutions a user may choose: from 72 dpi up to twice the optical
// resolution (600 dpi on model 606). A native transfer is never
// interpolated, so it stops at the optical resolution; the document feeder
// scans 72 to 600 dpi.
ResolutionLimits ResolutionLimitsFor(uint16_t modelCode, bool nativeTransfer, bool feederMode);

// Twice the optical resolution of the models that interpolate (1200, 1600,
// 2400 dpi for models 600, 800, 1200); 0 for model 606 and unknown models.
uint16_t DoubledOpticalResolution(uint16_t modelCode);

struct ResolutionStep {
    uint16_t step;       // dpi per line of the resolution bar; 0: the bar does not step
    uint16_t pageSteps;  // steps per page
};
// The step at the current resolution: fine below the base resolution,
// coarser up to twice and up to four times it.
ResolutionStep ResolutionStepFor(uint16_t modelCode, uint16_t resolution);

struct ScalingLimits {
    uint16_t minimum;
    uint16_t maximum;
};
// Scaling in percent that keeps the output resolution within the limits.
ScalingLimits ScalingLimitsFor(uint16_t resolution, const ResolutionLimits& limits);
// `scaling` held to those limits, and to at least 1 %.
uint16_t HeldScaling(long scaling, uint16_t resolution, const ResolutionLimits& limits);

// What a scroll bar was asked to do.
enum class ScrollAction { LineLeft, LineRight, PageLeft, PageRight, Thumb, Leftmost, Rightmost, None };

// The resolution after a scroll action on the resolution bar: rounded down
// to the step of the current resolution and held within the limits. The
// bar's left end stands for the highest resolution, its right end for the
// lowest.
uint16_t ScrolledResolution(uint16_t modelCode, uint16_t resolution, ScrollAction action,
                            int thumb, const ResolutionLimits& limits);
// The scaling after a scroll action on the scaling bar, whose step is the
// resolution step as a percentage of the resolution.
uint16_t ScrolledScaling(uint16_t modelCode, uint16_t resolution, uint16_t scaling,
                         ScrollAction action, int thumb, const ScalingLimits& limits);

// The resolution as the edit field shows it: 102 and 198, the values that
// typing 100 and 200 give, are shown as "100" and "200".
std::string ResolutionText(uint16_t resolution);

// What typing into the resolution field does.
struct TypedResolution {
    enum Kind {
        NotANumber,   // the text does not end in a digit: Scan disabled, nothing else
        OutOfLimits,  // Scan disabled unless an enhanced resolution is chosen; nothing else
        PresetKept,   // a preset's value: Scan enabled, the preset stays
        Accepted,     // rounded to the step; Scan enabled
    } kind;
    uint16_t resolution;  // the resolution from now on
    uint16_t dpiScale;    // `DpiScale` from now on
    bool scanEnabled;
};
TypedResolution TypeResolution(const std::string& text, uint16_t modelCode, uint16_t resolution,
                               uint16_t dpiScale, const ResolutionLimits& limits);

// ---- Presets --------------------------------------------------------------

// Command ids of the preset menu.
constexpr int kPreset100 = 1219;   // 1219..1222: 100, 200, 300, 600 dpi
constexpr int kPresetDouble = 1223;  // 1223..1226: twice the optical resolution x 1..4

struct MenuEntry {
    int id;  // 0: separator
    std::string text;
    bool checked = false;
    bool grayed = false;
};
// The entries of the "More..." menu for the current resolution.
std::vector<MenuEntry> PresetMenuEntries(uint16_t modelCode, uint16_t resolution, bool feederMode);

struct PresetChoice {
    uint16_t resolution;
    uint16_t dpiScale;
    uint16_t shownResolution;  // what the edit field shows
};
// The settings a preset command gives; false for an id that is no preset
// of this model.
bool ChoosePreset(int id, uint16_t modelCode, PresetChoice& choice);

// ---- Speed, title, help ---------------------------------------------------

// Speed code 1 (fast) to 5 (slow) that "Auto" chooses: the closer the
// image comes to the size of the page file, the slower. Both in kilobytes.
uint16_t AutoSpeed(uint64_t imageKilobytes, uint64_t pageFileKilobytes);

// The window title: the brand (as read, with its blank), the setup text, a
// blank and the first five characters of the version.
std::string SetupWindowTitle(const std::string& brand, const std::string& setupText,
                             const std::string& version);

