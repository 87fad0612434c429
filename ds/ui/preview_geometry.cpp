#include "ds/ui/preview_geometry.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int32_t kPanStep = 3;

bool Near(int32_t a, int32_t b, int32_t tolerance) { return std::abs(a - b) <= tolerance; }

bool StrictlyInside(const PixelRect& r, int32_t x, int32_t y) {
    return x > r.left && x < r.right && y > r.top && y < r.bottom;
}

int PanZone(const HitInputs& in, int32_t x, int32_t y) {
    const PixelRect& a = in.area;
    const bool across = x >= a.left && x <= a.right;
    const bool nearLeft = Near(x, a.left, in.tx), nearRight = Near(x, a.right, in.tx);
    if (across && Near(y, a.top, in.ty))
        return nearLeft ? kZonePanLeftUp : nearRight ? kZonePanRightUp : kZonePanUp;
    if (across && Near(y, a.bottom, in.ty))
        return nearLeft ? kZonePanLeftDown : nearRight ? kZonePanRightDown : kZonePanDown;
    const bool down = y >= a.top && y <= a.bottom;
    if (down && nearLeft) return kZonePanLeft;
    if (down && nearRight) return kZonePanRight;
    return kZoneNone;
}

int FrameZone(const HitInputs& in, int32_t x, int32_t y) {
    const PixelRect f = OrderedRect(in.frame);
    if (x < f.left - in.tx || x > f.right + in.tx || y < f.top - in.ty || y > f.bottom + in.ty)
        return kZoneNone;
    const bool left = Near(x, f.left, in.tx), right = Near(x, f.right, in.tx);
    const bool top = Near(y, f.top, in.ty), bottom = Near(y, f.bottom, in.ty);
    if (top && left) return kZoneTopLeft;
    if (top && right) return kZoneTopRight;
    if (top) return kZoneTop;
    if (bottom && right) return kZoneBottomRight;
    if (right) return kZoneRight;
    if (bottom && left) return kZoneBottomLeft;
    if (bottom) return kZoneBottom;
    if (left) return kZoneLeft;
    return kZoneInside;
}

}  // namespace

int HitTestPreview(const HitInputs& in, int32_t x, int32_t y) {
    if (in.magnified) {
        if (const int z = PanZone(in, x, y)) return z;
    }
    if (const int z = FrameZone(in, x, y)) return z;
    if (StrictlyInside(in.area, x, y)) return kZonePicture;
    if (in.magnified) return kZoneNone;  // the paper line is set on the whole picture
    PixelRect slider = in.paperRuler;
    slider.left += 1;
    slider.top += 1;
    slider.right -= 1;
    slider.bottom -= 1;
    if (StrictlyInside(slider, x, y)) return kZonePaperSlider;
    return kZoneNone;
}

PixelRect ResizeFrame(const PixelRect& frame, int zone, int32_t dx, int32_t dy,
                      const PixelRect& area, int32_t margin) {
    PixelRect f = frame;
    const bool left = zone == kZoneTopLeft || zone == kZoneBottomLeft || zone == kZoneLeft;
    const bool right = zone == kZoneTopRight || zone == kZoneBottomRight || zone == kZoneRight;
    const bool top = zone == kZoneTopLeft || zone == kZoneTop || zone == kZoneTopRight;
    const bool bottom = zone == kZoneBottomLeft || zone == kZoneBottom || zone == kZoneBottomRight;
    if (left) f.left = std::clamp(f.left + dx, area.left, std::min(f.right - margin, area.right - margin));
    if (right) f.right = std::clamp(f.right + dx, std::max(f.left + margin, area.left + margin), area.right);
    if (top) f.top = std::clamp(f.top + dy, area.top, std::min(f.bottom - margin, area.bottom - margin));
    if (bottom) f.bottom = std::clamp(f.bottom + dy, std::max(f.top + margin, area.top + margin), area.bottom);
    return f;
}

PixelRect MoveFrame(const PixelRect& frame, int32_t dx, int32_t dy, const PixelRect& area) {
    const PixelRect f = OrderedRect(frame);
    const int32_t w = f.Width(), h = f.Height();
    const int32_t left = std::clamp(f.left + dx, area.left, std::max(area.left, area.right - w - 1));
    const int32_t top = std::clamp(f.top + dy, area.top, std::max(area.top, area.bottom - h - 1));
    return {left, top, left + w, top + h};
}

void KeepInside(int32_t& x, int32_t& y, const PixelRect& bounds) {
    x = std::clamp(x, bounds.left + 1, std::max(bounds.left + 1, bounds.right - 1));
    y = std::clamp(y, bounds.top + 1, std::max(bounds.top + 1, bounds.bottom - 1));
}

PaperLimits PaperLengthLimits(int32_t previewHeight, bool adapter) {
    return {previewHeight * 4 / 14, adapter ? previewHeight * 10 / 14 : previewHeight};
}

PixelRect PaperSliderRect(const PixelRect& leftRuler, int32_t paperLine) {
    return {leftRuler.left, paperLine, leftRuler.right, paperLine + leftRuler.Height() / 28};
}

ZoneLook LookOfZone(int zone, bool regionModes, bool zoomTool, bool magnified, bool overRegion) {
    if (zoomTool && zone >= kZoneTopLeft && zone <= kZonePicture)
        return {magnified ? Pointer::ZoomOut : Pointer::ZoomIn, 713};
    switch (zone) {
    case kZoneTopLeft: return {Pointer::SizeNwSe, 703};
    case kZoneBottomRight: return {Pointer::SizeNwSe, 707};
    case kZoneTop: return {Pointer::SizeNs, 702};
    case kZoneBottom: return {Pointer::SizeNs, 705};
    case kZoneTopRight: return {Pointer::SizeNeSw, 704};
    case kZoneBottomLeft: return {Pointer::SizeNeSw, 706};
    case kZoneLeft:
    case kZoneRight: return {Pointer::SizeWe, 708};
    case kZoneInside:
        if (regionModes) return {Pointer::Snap, overRegion ? 711 : 712};
        return {Pointer::MoveHand, 709};
    case kZonePaperSlider: return {Pointer::SliderHand, 701};
    case kZoneBrightness: return {Pointer::Arrow, 601};
    case kZoneGamma: return {Pointer::Arrow, 602};
    case kZoneLevel: return {Pointer::Arrow, 603};
    case kZoneZoomTool: return {Pointer::Arrow, 713};
    case kZoneSource: return {Pointer::Arrow, 604};
    case kZonePanLeft: return {Pointer::PanLeft, 0};
    case kZonePanRight: return {Pointer::PanRight, 0};
    case kZonePanUp: return {Pointer::PanUp, 0};
    case kZonePanDown: return {Pointer::PanDown, 0};
    case kZonePanLeftUp: return {Pointer::PanLeftUp, 0};
    case kZonePanRightUp: return {Pointer::PanRightUp, 0};
    case kZonePanLeftDown: return {Pointer::PanLeftDown, 0};
    case kZonePanRightDown: return {Pointer::PanRightDown, 0};
    default: return {};
    }
}

ZoomOffset ZoomOffsetAt(int32_t x, int32_t y, const PixelRect& area, int32_t previewWidth,
                        int32_t previewHeight, int32_t paperLength) {
    ZoomOffset o;
    o.x = std::clamp(x - area.left - previewWidth / 4, 0, previewWidth / 2);
    // The magnified view shows rows down to twice the paper length.
    const int32_t lowest = std::clamp(paperLength - previewHeight / 2, 0, previewHeight / 2);
    o.y = std::clamp(y - area.top - previewHeight / 4, 0, lowest);
    return o;
}

ZoomOffset PanStep(const ZoomOffset& offset, int zone, int32_t previewWidth,
                   int32_t previewHeight, bool& atLimit) {
    int32_t dx = 0, dy = 0;
    switch (zone) {
    case kZonePanLeft: dx = -1; break;
    case kZonePanRight: dx = 1; break;
    case kZonePanUp: dy = -1; break;
    case kZonePanDown: dy = 1; break;
    case kZonePanLeftUp: dx = dy = -1; break;
    case kZonePanRightUp: dx = 1; dy = -1; break;
    case kZonePanLeftDown: dx = -1; dy = 1; break;
    case kZonePanRightDown: dx = dy = 1; break;
    default: break;
    }
    const ZoomOffset next{std::clamp(offset.x + kPanStep * dx, 0, previewWidth / 2),
                          std::clamp(offset.y + kPanStep * dy, 0, previewHeight / 2)};
    atLimit = next == offset;
    return next;
}

PixelRect ZoomArea(int32_t x, int32_t y, const PixelRect& area, int32_t previewWidth,
                   int32_t previewHeight, int32_t paperLength) {
    const int32_t w = previewWidth / 2;
    const int32_t h = std::min(previewHeight, paperLength) / 2;
    const int32_t left = std::clamp(x - w / 2, area.left, std::max(area.left, area.right - w));
    const int32_t top = std::clamp(y - h / 2, area.top, std::max(area.top, area.bottom - h));
    return {left, top, left + w, top + h};
}
