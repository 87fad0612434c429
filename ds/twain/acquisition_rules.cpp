#include "ds/twain/acquisition_rules.h"

#include "ds/settings/config_text.h"

#include <algorithm>
#include <cmath>

namespace {

uint16_t Edge(double inches, uint16_t base) {
    const double pixels = std::trunc(inches * base);
    return static_cast<uint16_t>(std::clamp(pixels, 0.0, 65535.0));
}

}  // namespace

std::array<uint16_t, 4> FrameFromLayout(const TW_IMAGELAYOUT& layout, uint16_t base) {
    const TW_FRAME& f = layout.Frame;
    // An empty or inverted layout asks for no area: the default page. A
    // strip narrower or shorter than an inch is an area like any other.
    if (Fix32ToDouble(f.Right) <= Fix32ToDouble(f.Left) ||
        Fix32ToDouble(f.Bottom) <= Fix32ToDouble(f.Top))
        return {Edge(8 / 25.4, base), 0, Edge(216 / 25.4, base), Edge(295 / 25.4, base)};
    return {Edge(Fix32ToDouble(f.Left), base), Edge(Fix32ToDouble(f.Top), base),
            Edge(Fix32ToDouble(f.Right), base), Edge(Fix32ToDouble(f.Bottom), base)};
}

bool FrameScannable(std::span<const uint16_t, 4> frame, uint16_t base) {
    if (base == 0) return true;
    constexpr uint32_t kReachWidthMm = 216, kReachLengthMm = 356;
    const auto within = [base](uint16_t edge, uint32_t mm) {
        // edge / base <= mm / 25.4, in tenths of a millimetre
        return uint64_t{edge} * 254 <= uint64_t{mm} * 10 * base;
    };
    return frame[2] > frame[0] && frame[3] > frame[1] && within(frame[2], kReachWidthMm) &&
           within(frame[3], kReachLengthMm);
}

uint16_t ResolutionForPosition(uint16_t position, bool faxHost) {
    static constexpr uint16_t kResolutions[] = {72, 200, 300, 600};
    if (position >= 4) position = 2;
    if (position == 2 && faxHost) return 200;
    return kResolutions[position];
}

uint16_t ScanModeForPixelType(uint16_t position) {
    switch (position) {
    case 1:
    case 3: return kModeGray;
    case 2: return kModeColor;
    default: return kModeLineArt;
    }
}

SpeedChoice ChooseSpeed(const std::string& slowSpeedVersion, const std::string& dsLanguage,
                        uint16_t scanMode, uint16_t scanSource) {
    const bool slowRule = !SameProfileName(slowSpeedVersion, "No") &&
                          !SameProfileName(dsLanguage, "English");
    if (slowRule && (scanMode == kModeLineArt || scanMode == kModeGray) &&
        scanSource != kSourceFeeder)
        return {2, 2};
    return {0, 1};
}

uint32_t HeaderAllowance(uint16_t fileFormatPosition) {
    switch (fileFormatPosition) {
    case 0: return 1032;  // TIFF
    case 2: return 1078;  // BMP
    default: return 0;
    }
}

TW_IMAGEINFO ImageInfoFor(const ScanSettings& settings, const ScanJob& job, uint16_t mechanism,
                          bool setupWindow) {
    TW_IMAGEINFO info{};
    const int32_t factor =
        mechanism == TWSX_NATIVE ? 1 : InterpolationFactorFor(job.Interpolate, settings.DpiScale);
    info.ImageWidth = static_cast<int32_t>(job.PixelsPerLine) * factor;
    info.ImageLength = static_cast<int32_t>(job.LineCount) * factor;

    // What the pixels were sampled at: the scan resolution times the
    // interpolation applied on the way out.
    const uint32_t sampled = uint32_t{settings.Block.ScanRes} * static_cast<uint32_t>(factor);
    uint32_t windowResolution = settings.Resolution;
    if (windowResolution == 198 || windowResolution == 201) windowResolution = 200;
    uint32_t r = windowResolution;
    if (!setupWindow) {
        // A host that chose the resolution itself gets the one its pixels
        // have, whatever scaling the stored settings held.
        r = sampled;
    } else if (settings.DpiScale >= 1 && settings.DpiScale <= 4) {
        // The high-resolution presets name their resolution only when their
        // interpolation is applied (never to a native bitmap).
        r = sampled;
        if (factor == InterpolationFactorFor(true, settings.DpiScale)) {
            switch (settings.ModelCode) {
            case 600: r = settings.DpiScale * 1200u; break;
            case 800: r = settings.DpiScale * 1600u; break;
            case 1200: r = settings.DpiScale * 2400u; break;
            default: r = windowResolution; break;
            }
        }
    }
    info.XResolution = info.YResolution = DoubleToFix32(std::min<uint32_t>(r, 32767));

    switch (settings.ScanMode) {
    case kModeGray:
        info.SamplesPerPixel = 1;
        info.BitsPerSample[0] = 8;
        info.BitsPerPixel = 8;
        info.PixelType = TWPT_GRAY;
        break;
    case kModeColor:
        info.SamplesPerPixel = 3;
        info.BitsPerSample[0] = info.BitsPerSample[1] = info.BitsPerSample[2] = 8;
        info.BitsPerPixel = 24;
        info.PixelType = TWPT_RGB;
        info.Planar = (mechanism != TWSX_FILE && settings.ChunkyPixels == 0) ? 1 : 0;
        break;
    default:
        info.SamplesPerPixel = 1;
        info.BitsPerSample[0] = 1;
        info.BitsPerPixel = 1;
        info.PixelType = TWPT_BW;
        break;
    }
    info.Compression = TWCP_NONE;
    return info;
}
