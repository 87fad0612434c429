#include "ds/ui/scan_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kGlassInchesDown = 14.0;
// Lines of a stored preview that stand for the whole glass (36 dpi).
constexpr int32_t kStoredPreviewLines = 504;
constexpr int32_t kNoPictureLines = 360;

uint16_t ToWord(double value) {
    const double t = std::trunc(value);
    return static_cast<uint16_t>(std::clamp(t, 0.0, 65535.0));
}

struct FeederPage {
    int code;
    double left, top, right, bottom;  // frame, inches from the feeder's reference corner
    PageSize size;
};

// Pages lie against the feeder's far edge (8.503937 inches): each frame is
// the page less about a millimetre at every edge. B5 (182 x 257 mm) follows
// the same rule.
constexpr FeederPage kFeederPages[] = {
    {kPaperA4, 0.31496, 0, 8.503937, 11.614173, {8.267717, 11.692913}},
    {kPaperLetter, 0.082677, 0, 8.503937, 10.905512, {8.5, 11}},
    {kPaperLegal, 0.082677, 0, 8.503937, 13.921260, {8.5, 14}},
    {kPaperA5, 2.755906, 0, 8.503937, 8.188976, {5.826772, 8.267717}},
    {kPaperB5, 1.417323, 0, 8.503937, 10.039370, {7.165354, 10.118110}},
};

const FeederPage& FindFeederPage(int code) {
    for (const FeederPage& p : kFeederPages)
        if (p.code == code) return p;
    return kFeederPages[0];
}

}  // namespace

PixelRect OrderedRect(const PixelRect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

PixelRect ClipIntoArea(const PixelRect& r, const PixelRect& area) {
    return {std::clamp(r.left, area.left, area.right), std::clamp(r.top, area.top, area.bottom),
            std::clamp(r.right, area.left, area.right), std::clamp(r.bottom, area.top, area.bottom)};
}

PixelRect FrameOnPicture(const PixelRect& frame, const PixelRect& area) {
    PixelRect f = OrderedRect(frame);
    f.left = std::max(f.left, area.left);
    f.top = std::max(f.top, area.top);
    const int32_t line = area.bottom;
    if (f.top > line) {
        f.top = line - 2;
        f.bottom = line - 1;
    } else if (f.bottom > line) {
        // Cut at the line rather than lost: what lies above it is scanned.
        f.bottom = line;
    }
    return f;
}

std::array<uint16_t, 4> FrameInBaseUnits(const PixelRect& frame, const PreviewGeometry& g,
                                         bool zoomCorrection) {
    const PixelRect f = FrameOnPicture(frame, g.area);
    int32_t left, top, right, bottom;
    if (zoomCorrection && g.zoomed) {
        left = (f.left - g.area.left + 2 * g.zoomX) / 2;
        top = (f.top - g.area.top + 2 * g.zoomY) / 2;
        right = left + f.Width() / 2;
        bottom = top + f.Height() / 2;
    } else {
        left = f.left - g.area.left;
        top = f.top - g.area.top;
        right = left + f.Width();
        bottom = top + f.Height();
    }
    const double unitsPerPixelX = g.unitResolution * g.inchesPerPixelX;
    const double unitsPerPixelY =
        g.previewHeight > 0 ? kGlassInchesDown / g.previewHeight * g.unitResolution : 0;
    return {ToWord(left * unitsPerPixelX), ToWord(top * unitsPerPixelY),
            ToWord(right * unitsPerPixelX), ToWord(bottom * unitsPerPixelY)};
}

std::array<uint16_t, 4> FeederPageFrame(int paperCode, uint16_t unitResolution) {
    const FeederPage& p = FindFeederPage(paperCode);
    return {ToWord(p.left * unitResolution), ToWord(p.top * unitResolution),
            ToWord(p.right * unitResolution), ToWord(p.bottom * unitResolution)};
}

PageSize FeederPageSize(int paperCode) { return FindFeederPage(paperCode).size; }

uint16_t PaperLengthEighths(int32_t areaHeight, int32_t previewHeight) {
    if (previewHeight <= 0) return 0;
    return ToWord(areaHeight * kGlassInchesDown / previewHeight * 8.0);
}

bool ScanLineTooLong(uint16_t resolution, bool color, double widthInches) {
    return resolution * widthInches >= (color ? 10666.0 : 32000.0);
}

int32_t StoredPreviewBottom(int32_t top, int32_t previewHeight, uint16_t pictureHeight) {
    // A picture taller than the glass (a stored file of another origin)
    // still ends at the bottom of the preview.
    const int32_t lines =
        pictureHeight ? std::min<int32_t>(pictureHeight, kStoredPreviewLines) : kNoPictureLines;
    return top + previewHeight * lines / kStoredPreviewLines;
}
