#include "ds/ui/setting_file_rules.h"

#include <algorithm>

namespace {

template <typename T>
void KeepIn(T& value, long low, long high, T fallback) {
    if (static_cast<long>(value) < low || static_cast<long>(value) > high) value = fallback;
}

template <typename T>
void KeepEachIn(T (&values)[kChannelCount], long low, long high, T fallback) {
    for (T& v : values) KeepIn(v, low, high, fallback);
}

}  // namespace

void KeepLoadedSettingsUsable(ScanSettings& s, const ResolutionLimits& limits) {
    ScanParameterBlock& b = s.Block;
    const uint16_t fallbackRes = std::clamp<uint16_t>(300, limits.minimum, limits.maximum);
    KeepIn<uint16_t>(b.ScanRes, limits.minimum, limits.maximum, fallbackRes);
    const ScalingLimits scaling = ScalingLimitsFor(b.ScanRes, limits);
    KeepIn<uint16_t>(s.Scaling, scaling.minimum, scaling.maximum, 100);
    KeepIn<uint16_t>(s.DpiScale, 0, 5, 1);
    KeepEachIn<int32_t>(s.Brightness, -12, 12, 0);
    KeepEachIn<int32_t>(s.Contrast, -12, 12, 0);
    KeepEachIn<int32_t>(s.Shadow, 0, 255, 0);
    KeepEachIn<int32_t>(s.Midtone, 0, 255, 128);
    KeepEachIn<int32_t>(s.Hilight, 0, 255, 255);
    KeepEachIn<uint16_t>(s.Ratio, 0, 100, 50);
    KeepIn<uint32_t>(s.UnitFlag, kUnitInches, kUnitMm, kUnitInches);
    KeepIn<uint16_t>(s.PrescanMode, 0, 1, 0);
    KeepIn<uint16_t>(b.ScanSource, kSourceGlass, kSourceFeeder, kSourceGlass);
    KeepIn<uint16_t>(b.PaperLength, 8, 112, 88);
    if ((b.Velocity & 0x0F) > 6) b.Velocity = static_cast<uint16_t>((b.Velocity & ~0x0Fu) | 1u);
    KeepIn<uint16_t>(b.Grain, 0, 11, 2);
    if (!(b.Gamma >= 1 && b.Gamma <= 19) && b.Gamma != 39) b.Gamma = 1;
}
