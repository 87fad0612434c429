// The mouse on the setup window: the scan frame resized, moved or drawn
// anew on the preview, scan regions drawn and cleared, the paper line moved,
// the zoom tool and the panning of the magnified view, and what the mouse
// shows and the status line says over each zone.
#include "ds/acquire/status_line.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/ui/preview_geometry.h"
#include "ds/ui/setup_state.h"

#include <algorithm>
#include <iterator>

namespace {

const char* const kCursorNames[] = {
    nullptr, nullptr, nullptr, nullptr, nullptr, "IDSNAP", "IDHAND1", "IDHAND0",
    "IDLHAND", "IDRHAND", "IDUHAND", "IDDHAND", "IDLUHAND", "IDRUHAND", "IDLDHAND", "IDRDHAND",
    "IDZOOMIN", "IDZOOMOUT", "IDSTOP"};
static_assert(std::size(kCursorNames) == std::size(SetupDialogState{}.cursors));

HCURSOR CursorOf(Pointer p) { return g_setup.cursors[static_cast<int>(p)]; }

bool RegionModes() {
    return g_settings.ScanMode == kModeLineArt || g_settings.ScanMode == kModeHalftone;
}

bool Magnified() { return g_setup.ZoomMode == kZoomMagnified; }

// The region under the point, or -1.
int RegionAt(POINT p) {
    for (int i = 0; i < 4; ++i) {
        const ScanRegion& r = g_setup.ScanRegions[i];
        const PixelRect o = OrderedRect(r.rect);
        if (r.inUse && p.x >= o.left && p.x <= o.right && p.y >= o.top && p.y <= o.bottom) return i;
    }
    return -1;
}

PixelRect LeftRuler() { return ControlRect(1059); }

int HitTest(POINT p) {
    if (!FeederMode()) {
        HitInputs in;
        in.area = g_setup.PreviewArea;
        in.frame = g_setup.FrameRect;
        in.paperRuler = PaperSliderRect(LeftRuler(), g_setup.PreviewArea.bottom);
        in.magnified = Magnified();
        // Two dialog units each way.
        const LONG units = GetDialogBaseUnits();
        RECT r{0, 0, 2, 2};
        MapDialogRect(g_setup.window, &r);
        in.tx = r.right > 0 ? r.right : 2 * (LOWORD(units) / 4);
        in.ty = r.bottom > 0 ? r.bottom : 2 * (HIWORD(units) / 8);
        if (const int zone = HitTestPreview(in, p.x, p.y)) return zone;
    }
    return HitTestTools(p);
}

void ShowHint(int stringId) {
    if (stringId == g_setup.hint) return;
    g_setup.hint = stringId;
    ShowStatusText(g_setup.window, stringId ? LoadDsString(stringId) : std::string());
}

// The inverted rectangle of the area a zoom click would magnify.
void InvertZoomArea() {
    HDC dc = GetDC(g_setup.window);
    const RECT r = ToRect(g_setup.zoomArea);
    const int old = SetROP2(dc, R2_NOT);
    HGDIOBJ brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, brush);
    SetROP2(dc, old);
    ReleaseDC(g_setup.window, dc);
}

void HideZoomArea() {
    if (!g_setup.zoomAreaShown) return;
    InvertZoomArea();
    g_setup.zoomAreaShown = false;
}

void ShowZoomArea(POINT p) {
    HideZoomArea();
    g_setup.zoomArea = ZoomArea(p.x, p.y, g_setup.PreviewArea, g_setup.previewWidth,
                                g_setup.previewHeight, g_setup.paperPosition);
    InvertZoomArea();
    g_setup.zoomAreaShown = true;
}

void ClearRegions() {
    for (ScanRegion& r : g_setup.ScanRegions) r = ScanRegion{};
}

// What the mouse shows over a zone, and the hint that goes with it.
void LookAt(int zone, POINT p) {
    const ZoneLook look = LookOfZone(zone, RegionModes(), g_setup.zoomTool, Magnified(),
                                     RegionAt(p) >= 0);
    g_setup.pointer = look.pointer == Pointer::Arrow ? nullptr : CursorOf(look.pointer);
    if (g_setup.pointer) SetCursor(g_setup.pointer);
    ShowHint(look.hint);
}

// The zoom tool's click: in to the magnified view centred on the point, or
// back out to the whole picture.
void ToggleZoom(POINT p) {
    HideZoomArea();
    if (g_setup.ZoomMode == kZoomNormal) {
        const ZoomOffset o = ZoomOffsetAt(p.x, p.y, g_setup.PreviewArea, g_setup.previewWidth,
                                          g_setup.previewHeight, g_setup.paperPosition);
        g_setup.zoomX = o.x;
        g_setup.zoomY = o.y;
        g_setup.ZoomMode = kZoomMagnified;
    } else {
        g_setup.ZoomMode = kZoomNormal;
    }
    g_setup.savedZoomMode = g_setup.ZoomMode;
    RedrawRulers();
    RedrawPreview();
    UpdateSizeDisplay();
}

// The cursor of a pan handle, or the stop sign when the view is at its end
// that way.
void ShowPanCursor(int zone, bool atLimit) {
    const ZoneLook look = LookOfZone(zone, false, false, true, false);
    g_setup.pointer = CursorOf(atLimit ? Pointer::Stop : look.pointer);
    SetCursor(g_setup.pointer);
}

void BeginPan(int zone) {
    bool atLimit = false;
    PanStep({g_setup.zoomX, g_setup.zoomY}, zone, g_setup.previewWidth, g_setup.previewHeight,
            atLimit);
    ShowPanCursor(zone, atLimit);
    SetTimer(g_setup.window, kPanTimer, kTimerMillis, nullptr);
}

void BeginRubberBand(PixelRect& rect, POINT p) {
    rect = {p.x, p.y, p.x, p.y};
    g_setup.rubberBand = true;
}

// The left button inside the frame.
void PressInside(POINT p) {
    if (!RegionModes()) {
        g_setup.buttonState = 2;  // moves the frame as the right button does
        return;
    }
    ScanRegion& region = g_setup.ScanRegions[g_setup.nextRegion];
    region.inUse = 1;
    BeginRubberBand(region.rect, p);
}

void EndDrag() {
    g_setup.buttonState = 0;
    g_setup.DragMode = 0;
    g_setup.rubberBand = false;
    g_setup.pointer = nullptr;
    ReleaseCapture();
    ReactivateSetupWindow();
}

// ---- Moves with a button held -------------------------------------------------

void DragResize(int32_t dx, int32_t dy) {
    const int32_t margin = static_cast<int32_t>(8 * g_setup.InchesPerPixelX);
    g_setup.FrameRect = ResizeFrame(g_setup.FrameRect, g_setup.DragMode, dx, dy,
                                    g_setup.PreviewArea, margin);
    UpdateSizeDisplay();
    RedrawPreview();
}

void DragMove(int32_t dx, int32_t dy) {
    g_setup.FrameRect = MoveFrame(g_setup.FrameRect, dx, dy, g_setup.PreviewArea);
    if (RegionModes()) ClearRegions();
    RedrawPreview();
}

void DragRubberBand(POINT p) {
    int32_t x = p.x, y = p.y;
    if (g_setup.DragMode == kZonePicture) {
        KeepInside(x, y, g_setup.PreviewArea);
        g_setup.FrameRect.right = x;
        g_setup.FrameRect.bottom = y;
        UpdateSizeDisplay();
    } else {
        KeepInside(x, y, OrderedRect(g_setup.FrameRect));
        PixelRect& r = g_setup.ScanRegions[g_setup.nextRegion].rect;
        r.right = x;
        r.bottom = y;
    }
    RedrawPreview();
}

void DragPaperLine(int32_t dy) {
    const PaperLimits limits = PaperLengthLimits(g_setup.previewHeight,
                                                 g_settings.Block.ScanSource == kSourceAdapter);
    g_setup.paperPosition = std::clamp(g_setup.paperPosition + dy, limits.shortest, limits.longest);
    g_setup.PreviewArea.bottom = g_setup.PreviewArea.top + g_setup.paperPosition;
    RedrawRulers();
    RedrawPreview();
}

}  // namespace

void LoadCursors() {
    const LPCSTR system[] = {IDC_ARROW, IDC_SIZENWSE, IDC_SIZENS, IDC_SIZENESW, IDC_SIZEWE};
    for (size_t i = 0; i < std::size(kCursorNames); ++i)
        g_setup.cursors[i] = kCursorNames[i] ? LoadCursorA(g_instance, kCursorNames[i])
                                             : LoadCursorA(nullptr, system[i]);
}

void ShowNormalOnce() {
    if (g_setup.ZoomMode != kZoomMagnified) return;
    g_setup.savedZoomMode = kZoomMagnified;
    g_setup.ZoomMode = kZoomShownNormalOnce;
}

void OnMouseMove(POINT p) {
    if (g_setup.pressedTool != 0 || SetupBusy()) return;
    if (g_setup.buttonState == 0) {
        const int zone = HitTest(p);
        LookAt(zone, p);
        if (g_setup.zoomTool && !Magnified() && (zone == kZoneInside || zone == kZonePicture))
            ShowZoomArea(p);
        else
            HideZoomArea();
        return;
    }
    if (FeederMode()) return;
    const int32_t dx = p.x - g_setup.lastPoint.x, dy = p.y - g_setup.lastPoint.y;
    g_setup.lastPoint = p;
    const int mode = g_setup.DragMode;
    if (g_setup.rubberBand)
        DragRubberBand(p);
    else if (IsFrameEdge(mode))
        DragResize(dx, dy);
    else if (mode == kZoneInside && g_setup.buttonState == 2)
        DragMove(dx, dy);
    else if (mode == kZonePaperSlider)
        DragPaperLine(dy);
}

void OnLeftButtonDown(POINT p) {
    if (SetupBusy()) return;
    const int zone = HitTest(p);
    if (zone >= kZoneBrightness && zone != kZonePanLeft && zone != kZonePanRight &&
        zone != kZonePanUp && zone != kZonePanDown && zone <= kZoneSource) {
        OnToolButtonDown(zone);
        return;
    }
    if (zone == kZoneNone || FeederMode()) return;
    SetCapture(g_setup.window);
    KillTimer(g_setup.window, kOutlineTimer);
    g_setup.pressPoint = g_setup.lastPoint = p;
    g_setup.DragMode = zone;
    g_setup.buttonState = 1;
    if (g_setup.zoomTool && zone <= kZonePicture) {
        ToggleZoom(p);
        return;
    }
    if (zone == kZoneInside) {
        PressInside(p);
    } else if (zone == kZonePicture) {
        ShowNormalOnce();
        BeginRubberBand(g_setup.FrameRect, p);
        RedrawPreview();
    } else if (IsPanZone(zone)) {
        BeginPan(zone);
    }
}

void OnLeftButtonUp() {
    if (g_setup.pressedTool != 0) {
        OnToolButtonUp();
        return;
    }
    if (g_setup.buttonState == 0) return;
    const int mode = g_setup.DragMode;
    if (g_setup.zoomTool && mode <= kZonePicture) {
        // The click has zoomed.
    } else if (IsFrameEdge(mode)) {
        // A resized frame drops its regions.
        ClearRegions();
        ShowNormalOnce();
        RedrawPreview();
    } else if (mode == kZoneInside && g_setup.buttonState == 1) {
        if (g_setup.ScanRegions[g_setup.nextRegion].inUse)
            g_setup.nextRegion = (g_setup.nextRegion + 1) % 4;
    } else if (mode == kZonePicture) {
        g_setup.FrameRect = OrderedRect(g_setup.FrameRect);
        UpdateSizeDisplay();
        RedrawPreview();
    } else if (mode == kZonePaperSlider) {
        const PixelRect clipped = ClipIntoArea(g_setup.FrameRect, g_setup.PreviewArea);
        if (!(clipped == g_setup.FrameRect)) ClearRegions();
        g_setup.FrameRect = clipped;
        UpdateSizeDisplay();
        RedrawPreview();
    } else if (IsPanZone(mode)) {
        KillTimer(g_setup.window, kPanTimer);
    }
    if (mode == kZoneInside && g_setup.buttonState == 2) RedrawPreview();
    EndDrag();
}

void OnRightButtonDown(POINT p) {
    if (SetupBusy() || FeederMode()) return;
    const int zone = HitTest(p);
    SetCapture(g_setup.window);
    KillTimer(g_setup.window, kOutlineTimer);
    g_setup.pressPoint = g_setup.lastPoint = p;
    g_setup.buttonState = 2;
    g_setup.DragMode = zone;
    if (zone != kZoneInside) return;
    const int region = RegionAt(p);
    if (region >= 0) {
        // A right click on a region clears it: nothing is moved.
        g_setup.ScanRegions[region] = ScanRegion{};
        g_setup.DragMode = 0;
        RedrawPreview();
    }
}

void OnRightButtonUp() {
    if (g_setup.buttonState == 0) return;
    if (!FeederMode()) RedrawPreview();
    EndDrag();
}

bool OnSetCursor() {
    if (!g_setup.pointer) return false;
    SetCursor(g_setup.pointer);
    SetWindowLongPtrA(g_setup.window, DWLP_MSGRESULT, TRUE);
    return true;
}

void OnPanTimer() {
    if (!Magnified() || !IsPanZone(g_setup.DragMode)) return;
    bool atLimit = false;
    const ZoomOffset o = PanStep({g_setup.zoomX, g_setup.zoomY}, g_setup.DragMode,
                                 g_setup.previewWidth, g_setup.previewHeight, atLimit);
    g_setup.zoomX = o.x;
    g_setup.zoomY = o.y;
    ShowPanCursor(g_setup.DragMode, atLimit);
    RedrawPreview();
    RedrawRulers();
}
