#include "ds/ui/setup_rules.h"

#include "ds/settings/config_text.h"
#include "ds/twain/scan_settings.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr uint16_t kLowestResolution = 72;
constexpr uint16_t kFeederHighest = 600;
constexpr uint16_t kModel606Highest = 600;

uint16_t Clamp(long value, long low, long high) {
    return static_cast<uint16_t>(std::clamp(value, low, std::max(low, high)));
}

long RoundDown(long value, long step) { return step > 0 ? value / step * step : value; }

}  // namespace

uint16_t DoubledOpticalResolution(uint16_t modelCode) {
    return static_cast<uint16_t>(2 * ModelResolutionCeiling(modelCode));
}

ResolutionLimits ResolutionLimitsFor(uint16_t modelCode, bool nativeTransfer, bool feederMode) {
    if (feederMode) return {kLowestResolution, kFeederHighest};
    const uint16_t optical = ModelResolutionCeiling(modelCode);
    if (optical == 0) return {kLowestResolution, kModel606Highest};
    return {kLowestResolution, static_cast<uint16_t>(nativeTransfer ? optical : 2 * optical)};
}

ResolutionStep ResolutionStepFor(uint16_t modelCode, uint16_t resolution) {
    if (modelCode == 606) return {6, 10};
    const uint16_t base = ModelBaseResolution(modelCode);
    const uint16_t fine = static_cast<uint16_t>(base / 100);  // 3, 4, 6
    if (resolution < base) return {fine, 10};
    if (resolution < 2 * base) return {static_cast<uint16_t>(10 * fine), 2};
    // Up to and including four times the base, which is the highest
    // resolution of these models: from there the bar must still step down.
    if (resolution <= 4 * base) return {static_cast<uint16_t>(20 * fine), 2};
    return {0, 0};
}

ScalingLimits ScalingLimitsFor(uint16_t resolution, const ResolutionLimits& limits) {
    if (resolution == 0) return {100, 100};
    return {static_cast<uint16_t>(limits.minimum * 100 / resolution),
            static_cast<uint16_t>(limits.maximum * 100 / resolution)};
}

uint16_t HeldScaling(long scaling, uint16_t resolution, const ResolutionLimits& limits) {
    const ScalingLimits held = ScalingLimitsFor(resolution, limits);
    const long lowest = std::max<long>(1, held.minimum);
    return static_cast<uint16_t>(std::clamp<long>(scaling, lowest, std::max<long>(lowest, held.maximum)));
}

uint16_t ScrolledResolution(uint16_t modelCode, uint16_t resolution, ScrollAction action,
                            int thumb, const ResolutionLimits& limits) {
    const ResolutionStep s = ResolutionStepFor(modelCode, resolution);
    long value = resolution;
    switch (action) {
    case ScrollAction::LineLeft: value -= s.step; break;
    case ScrollAction::LineRight: value += s.step; break;
    case ScrollAction::PageLeft: value -= s.step * s.pageSteps; break;
    case ScrollAction::PageRight: value += s.step * s.pageSteps; break;
    case ScrollAction::Thumb: value = thumb; break;
    case ScrollAction::Leftmost: value = limits.maximum; break;
    case ScrollAction::Rightmost: value = limits.minimum; break;
    case ScrollAction::None: return resolution;
    }
    return Clamp(RoundDown(value, s.step), limits.minimum, limits.maximum);
}

uint16_t ScrolledScaling(uint16_t modelCode, uint16_t resolution, uint16_t scaling,
                         ScrollAction action, int thumb, const ScalingLimits& limits) {
    if (resolution == 0) return scaling;
    const ResolutionStep s = ResolutionStepFor(modelCode, resolution);
    const long line = s.step * 100 / resolution;
    const long page = s.step * s.pageSteps * 100 / resolution;
    long value = scaling;
    switch (action) {
    case ScrollAction::LineLeft: value -= line; break;
    case ScrollAction::LineRight: value += line; break;
    case ScrollAction::PageLeft: value -= page; break;
    case ScrollAction::PageRight: value += page; break;
    case ScrollAction::Thumb: value = thumb; break;
    case ScrollAction::Leftmost: value = limits.maximum; break;
    case ScrollAction::Rightmost: value = limits.minimum; break;
    case ScrollAction::None: return scaling;
    }
    return Clamp(value, limits.minimum, limits.maximum);
}

std::string ResolutionText(uint16_t resolution) {
    if (resolution == 102) return "100";
    if (resolution == 198) return "200";
    return DecimalText(resolution);
}

TypedResolution TypeResolution(const std::string& text, uint16_t modelCode, uint16_t resolution,
                               uint16_t dpiScale, const ResolutionLimits& limits) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.back())))
        return {TypedResolution::NotANumber, resolution, dpiScale, false};
    long value = LeadingInteger(text);
    if (value == 100) value = 102;
    if (value == 200) value = 198;
    if (value != resolution && dpiScale != 0 && value <= limits.maximum) dpiScale = 0;
    if (value < limits.minimum || value > limits.maximum) {
        // The resolution stays what it was: a number on its way to being
        // typed is no resolution to scan at.
        return {TypedResolution::OutOfLimits, resolution, dpiScale, dpiScale != 0};
    }
    const auto typed = static_cast<uint16_t>(value);
    const bool presetValue = dpiScale == 5 && (value == 100 || value == 200 || value == 300 || value == 600);
    if (presetValue || (value != 0 && value == DoubledOpticalResolution(modelCode)))
        return {TypedResolution::PresetKept, typed, dpiScale, true};
    const ResolutionStep s = ResolutionStepFor(modelCode, typed);
    return {TypedResolution::Accepted, Clamp(RoundDown(value, s.step), limits.minimum, limits.maximum),
            dpiScale, true};
}

std::vector<MenuEntry> PresetMenuEntries(uint16_t modelCode, uint16_t resolution, bool feederMode) {
    std::vector<MenuEntry> entries;
    constexpr uint16_t kFixed[] = {100, 200, 300, 600};
    for (int i = 0; i < 4; ++i)
        entries.push_back({kPreset100 + i, DecimalText(kFixed[i]), resolution == kFixed[i]});
    const uint16_t doubled = DoubledOpticalResolution(modelCode);
    if (doubled == 0) return entries;
    entries.push_back({kPresetDouble, DecimalText(doubled), resolution == doubled, feederMode});
    // Model 600 also offers four times its optical resolution, after a
    // separator (which no other model needs).
    if (feederMode || modelCode != 600) return entries;
    entries.push_back({0, ""});
    entries.push_back({kPresetDouble + 1, "2400"});
    return entries;
}

bool ChoosePreset(int id, uint16_t modelCode, PresetChoice& choice) {
    constexpr uint16_t kFixed[] = {100, 200, 300, 600};
    if (id >= kPreset100 && id < kPreset100 + 4) {
        const uint16_t r = kFixed[id - kPreset100];
        choice = {r, 5, r};
        return true;
    }
    const uint16_t doubled = DoubledOpticalResolution(modelCode);
    if (id >= kPresetDouble && id < kPresetDouble + 4 && doubled != 0) {
        const auto scale = static_cast<uint16_t>(id - kPresetDouble + 1);
        choice = {doubled, scale, static_cast<uint16_t>(scale * doubled)};
        return true;
    }
    return false;
}

uint16_t AutoSpeed(uint64_t imageKilobytes, uint64_t pageFileKilobytes) {
    if (imageKilobytes > pageFileKilobytes) return 5;
    const uint64_t d = pageFileKilobytes - imageKilobytes;
    if (d < 1024) return 4;
    if (d < 2048) return 3;
    if (d < 3072) return 2;
    return 1;
}

std::string SetupWindowTitle(const std::string& brand, const std::string& setupText,
                             const std::string& version) {
    return brand + setupText + " " + version.substr(0, 5);
}


