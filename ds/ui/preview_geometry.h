// The arithmetic of the preview area: which zone lies under the mouse, how
// a drag resizes or moves the scan frame, draws a new frame or region or
// moves the paper line, and where the magnified view lies and pans.
//
// Pure computation: no Windows header.
#pragma once

#include "ds/ui/scan_frame.h"

#include <cstdint>

// Zones under the mouse.
enum Zone : int {
    kZoneNone = 0,
    kZoneTopLeft = 1,
    kZoneTop = 2,
    kZoneTopRight = 3,
    kZoneBottomLeft = 4,
    kZoneBottom = 5,
    kZoneBottomRight = 6,
    kZoneLeft = 7,
    kZoneRight = 8,
    kZoneInside = 9,
    kZonePicture = 10,
    kZonePaperSlider = 11,
    kZoneBrightness = 12,
    kZoneGamma = 13,
    kZoneLevel = 14,
    kZoneZoomTool = 16,
    kZonePanLeft = 17,
    kZonePanRight = 18,
    kZonePanUp = 19,
    kZonePanDown = 20,
    kZoneSource = 21,
    kZonePanLeftUp = 22,
    kZonePanRightUp = 23,
    kZonePanLeftDown = 24,
    kZonePanRightDown = 25,
};

constexpr bool IsFrameEdge(int zone) { return zone >= kZoneTopLeft && zone <= kZoneRight; }
constexpr bool IsPanZone(int zone) {
    return (zone >= kZonePanLeft && zone <= kZonePanDown) ||
           (zone >= kZonePanLeftUp && zone <= kZonePanRightDown);
}

struct HitInputs {
    PixelRect area;        // the picture, down to the paper line
    PixelRect frame;       // the scan frame (ordered here)
    PixelRect paperRuler;  // the slider on the left ruler
    bool magnified = false;
    int32_t tx = 2, ty = 2;  // hit tolerance in pixels
};

// The zone of the preview under `x`, `y` (the drawn buttons are tested by
// the window itself): pan handles of the magnified view, then the frame's
// corners, edges and inside, then the picture, then the paper slider.
int HitTestPreview(const HitInputs& in, int32_t x, int32_t y);

// A resize drag: the edges of `zone` move by dx, dy, the frame keeps at
// least `margin` pixels across and down and stays on the picture.
PixelRect ResizeFrame(const PixelRect& frame, int zone, int32_t dx, int32_t dy,
                      const PixelRect& area, int32_t margin);

// A move drag: the frame keeps its size and stays on the picture.
PixelRect MoveFrame(const PixelRect& frame, int32_t dx, int32_t dy, const PixelRect& area);

// The moving corner of a rubber band, one pixel inside `bounds`.
void KeepInside(int32_t& x, int32_t& y, const PixelRect& bounds);

// Limits of the paper line, as pixels of paper below the picture's top:
// at least 4 of the 14 inches, at most all of them (10 with the adapter).
struct PaperLimits {
    int32_t shortest, longest;
};
PaperLimits PaperLengthLimits(int32_t previewHeight, bool adapter);

// The slider on the left ruler: the ruler's width, half an inch high, its
// top at the paper line.
PixelRect PaperSliderRect(const PixelRect& leftRuler, int32_t paperLine);

// ---- Cursors and hints --------------------------------------------------------

enum class Pointer {
    Arrow, SizeNwSe, SizeNs, SizeNeSw, SizeWe, Snap, MoveHand, SliderHand,
    PanLeft, PanRight, PanUp, PanDown, PanLeftUp, PanRightUp, PanLeftDown, PanRightDown,
    ZoomIn, ZoomOut, Stop,
};

struct ZoneLook {
    Pointer pointer = Pointer::Arrow;
    int hint = 0;  // string id of the status line's hint; 0 none
};

// What the mouse shows over a zone: the zoom tool turns the frame and the
// picture into places to zoom; inside the frame LineArt and Halftone draw
// regions (`overRegion`: the mouse is on one), Gray and Color move it.
ZoneLook LookOfZone(int zone, bool regionModes, bool zoomTool, bool magnified, bool overRegion);

// ---- The magnified view ------------------------------------------------------

struct ZoomOffset {
    int32_t x = 0, y = 0;
    bool operator==(const ZoomOffset&) const = default;
};

// The offset that centres the magnified view on a click at `x`, `y`:
// within the top left quarter of the picture and above twice the paper
// length.
ZoomOffset ZoomOffsetAt(int32_t x, int32_t y, const PixelRect& area, int32_t previewWidth,
                        int32_t previewHeight, int32_t paperLength);

// One step of panning by 3 pixels in the direction of a pan zone; `atLimit`
// tells that the view cannot go further that way.
ZoomOffset PanStep(const ZoomOffset& offset, int zone, int32_t previewWidth,
                   int32_t previewHeight, bool& atLimit);

// The area a click of the zoom tool would magnify, centred on the mouse and
// kept on the picture above the paper line.
PixelRect ZoomArea(int32_t x, int32_t y, const PixelRect& area, int32_t previewWidth,
                   int32_t previewHeight, int32_t paperLength);
