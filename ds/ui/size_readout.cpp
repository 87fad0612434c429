#include "ds/ui/size_readout.h"

#include "ds/twain/scan_settings.h"
#include "ds/ui/scan_frame.h"
#include "ds/ui/setup_rules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Format(const char* format, double value, const std::string& suffix) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text + suffix;
}

std::string Whole(uint64_t value, const std::string& suffix) {
    return std::to_string(value) + suffix;
}

// One dimension in the chosen unit. Physical units show the size of the
// delivered image, so scaling enlarges them; a pixel count already
// includes the scaling through the output resolution.
std::string Dimension(double inches, const SizeInputs& in, uint32_t resolution,
                      const SizeTexts& t) {
    const double scaled = in.scaling != 100 ? inches * in.scaling / 100.0 : inches;
    switch (in.unit) {
    case 1: return Whole(static_cast<uint64_t>(inches * resolution), t.pixels);
    case 2: return Format("%4.1f", scaled * 2.54, t.cm);
    case 3: return Format("%4.1f", scaled * 25.4, t.mm);
    default: return Format("%4.1f", scaled, t.inches);
    }
}

}  // namespace

uint32_t OutputResolution(uint16_t resolution, uint16_t scaling, uint16_t dpiScale,
                          uint16_t modelCode) {
    if (dpiScale >= 1 && dpiScale <= 4 && DoubledOpticalResolution(modelCode) != 0)
        return dpiScale * DoubledOpticalResolution(modelCode);
    return static_cast<uint32_t>(resolution) * scaling / 100;
}

SizeReadout ComputeSizeReadout(const SizeInputs& in, const SizeTexts& texts) {
    SizeReadout out{};
    out.outputResolution = OutputResolution(in.resolution, in.scaling, in.dpiScale, in.modelCode);
    const double r = out.outputResolution;

    if (in.feederMode) {
        const PageSize page = FeederPageSize(in.paperCode);
        out.widthInches = page.width;
        out.lengthInches = page.length;
    } else {
        out.widthInches = std::abs(in.frameWidth) * in.inchesPerPixelX;
        out.lengthInches =
            in.previewHeight > 0 ? std::abs(in.frameHeight) * 14.0 / in.previewHeight : 0.0;
    }
    double count = std::floor(r * out.lengthInches * r * out.widthInches);
    if (in.zoomed) {
        // The frame is measured on the magnified view.
        count = std::floor(count / 4);
        out.widthInches /= 2;
        out.lengthInches /= 2;
    }
    uint64_t bytes = static_cast<uint64_t>(count);
    if (in.scanMode == kModeLineArt || in.scanMode == kModeHalftone) bytes = (bytes + 7) / 8;
    if (in.scanMode == kModeColor) bytes *= 3;
    out.bytes = bytes;

    out.width = Dimension(out.widthInches, in, out.outputResolution, texts);
    out.length = Dimension(out.lengthInches, in, out.outputResolution, texts);
    out.size = bytes < 1025 ? Whole(bytes, texts.bytes) : Whole(bytes / 1024, texts.kilobytes);
    return out;
}
