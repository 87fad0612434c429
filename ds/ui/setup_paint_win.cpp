// Painting the places of the setup window that it draws itself: the frames,
// the preview picture with the scan frame, the ruler strips, the drawn
// buttons and the status line.
#include "ds/acquire/status_line.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/ui/setup_state.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);

void FillGrey(HDC dc, const PixelRect& r) {
    const RECT rect = ToRect(r);
    SetBkColor(dc, kGrey);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

// The frames and separators around the groups of controls.
void PaintFrames(HDC dc) {
    for (int id = 1050; id <= 1056; ++id) {
        RECT r = ToRect(ControlRect(id));
        if (r.bottom - r.top <= 2)
            DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
        else if (r.right - r.left <= 2)
            DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT);
        else
            DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    }
}

// Height of a bitmap in pixels.
int32_t BitmapHeight(void* bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(static_cast<HBITMAP>(bitmap), sizeof info, &info)) return 0;
    return info.bmHeight;
}

// The picture down to the paper-length line, grey below it and without a
// picture. A palette that comes with the picture is realised first.
void PaintPicture(HDC dc) {
    const PixelRect& control = g_setup.previewControl;
    const PreviewImage& p = g_setup.picture;
    if (FeederMode() || !p.viewDC) {
        FillGrey(dc, control);
        return;
    }
    HPALETTE palette = nullptr, oldPalette = nullptr;
    if (p.paletteBlock && p.paletteEntries) {
        // The picture's own colours, realised in the foreground over the
        // static colours of the system; entries the renderer reserved for
        // animation are put into place.
        const auto* entries = static_cast<const LOGPALETTE*>(p.paletteEntries);
        palette = CreatePalette(entries);
        if (palette) {
            AnimatePalette(palette, 0, entries->palNumEntries, entries->palPalEntry);
            oldPalette = SelectPalette(dc, palette, FALSE);
            RealizePalette(dc);
        }
    }
    const PixelRect& area = g_setup.PreviewArea;
    const bool zoomed = g_setup.ZoomMode == kZoomMagnified;
    int32_t rows;
    if (zoomed) {
        rows = std::min(area.Height(), 2 * g_setup.paperPosition - 2 * g_setup.zoomY);
        BitBlt(dc, area.left, area.top, area.Width(), std::max(rows, 0),
               static_cast<HDC>(p.zoomDC), 2 * g_setup.zoomX, 2 * g_setup.zoomY, SRCCOPY);
    } else {
        rows = std::min({area.Height(), g_setup.paperPosition, BitmapHeight(p.viewBitmap)});
        BitBlt(dc, area.left, area.top, area.Width(), std::max(rows, 0),
               static_cast<HDC>(p.viewDC), 0, 0, SRCCOPY);
    }
    FillGrey(dc, {control.left, area.top + std::max(rows, 0), control.right, control.bottom});
    if (palette) {
        SelectPalette(dc, oldPalette, FALSE);
        DeleteObject(palette);
    }
    // A view shown normal once returns to the magnified state afterwards.
    if (g_setup.ZoomMode == kZoomShownNormalOnce) g_setup.ZoomMode = g_setup.savedZoomMode;
}

const char* ToolBitmap(int id) {
    const bool pressed = g_setup.pressedTool == id;
    switch (id) {
    case 1111: return pressed ? "IDD_4" : "IDD_1";
    case 1110: return pressed ? "IDD_5" : "IDD_2";
    case 1112: return pressed ? "IDD_6" : "IDD_3";
    default: return g_setup.zoomTool ? "IDD_A" : "IDD_9";
    }
}

bool SourceButtonShown() { return g_settings.AdapterPresent || g_settings.FeederPresent; }

const char* SourceBitmap() {
    if (g_settings.AdapterPresent) {
        if (g_setup.source.adapterInUse != 1) return "IDD_B";
        return g_setup.source.negative ? "IDD_D" : "IDD_C";
    }
    return g_settings.FeederEnabled ? "IDD_E" : "IDD_B";
}

constexpr const char* kBitmapNames[] = {"IDD_1", "IDD_2", "IDD_3", "IDD_4", "IDD_5",
                                        "IDD_6", "IDD_9", "IDD_A", "IDD_B", "IDD_C",
                                        "IDD_D", "IDD_E", "IDD_F", "IDD_G"};
static_assert(std::size(kBitmapNames) == std::size(SetupDialogState{}.bitmaps));

HBITMAP Bitmap(const char* name) {
    for (size_t i = 0; i < std::size(kBitmapNames); ++i)
        if (std::strcmp(kBitmapNames[i], name) == 0) return g_setup.bitmaps[i];
    return nullptr;
}

void BlitBitmap(HDC dc, int id, const char* name) {
    HBITMAP bitmap = Bitmap(name);
    if (!bitmap) return;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    const PixelRect r = ControlRect(id);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, r.left + (r.Width() - info.bmWidth) / 2, r.top + (r.Height() - info.bmHeight) / 2,
           info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

// One dashed edge from (x0, y) or (x, y0): four pixels black, four white,
// the phase deciding which comes first.
void DashedLine(HDC dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    const bool across = y0 == y1;
    const int32_t from = across ? std::min(x0, x1) : std::min(y0, y1);
    const int32_t to = across ? std::max(x0, x1) : std::max(y0, y1);
    for (int32_t p = from; p <= to; p += 4) {
        const bool black = (((p - from) / 4) & 1) == g_setup.framePhase;
        const int32_t n = std::min<int32_t>(4, to - p + 1);
        if (across)
            PatBlt(dc, p, y0, n, 1, black ? BLACKNESS : WHITENESS);
        else
            PatBlt(dc, x0, p, 1, n, black ? BLACKNESS : WHITENESS);
    }
}

}  // namespace

// The scan regions inside the frame, as dashed blue rectangles that stand
// out on black and white alike.
void DrawRegions(HDC dc) {
    HPEN dotted = CreatePen(PS_DASH, 1, RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(dc, dotted);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    for (const ScanRegion& region : g_setup.ScanRegions) {
        if (!region.inUse) continue;
        const PixelRect r = OrderedRect(region.rect);
        Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(dotted);
}

void DrawFrameOutline(HDC dc) {
    if (FeederMode()) return;
    const PixelRect f = OrderedRect(g_setup.FrameRect);
    if (f.Width() <= 0 || f.Height() <= 0) return;
    const PixelRect& area = g_setup.PreviewArea;
    // Edges on the right or bottom of the picture are drawn just inside it.
    const int32_t right = f.right >= area.right ? area.right - 1 : f.right;
    const int32_t bottom = f.bottom >= area.bottom ? area.bottom - 1 : f.bottom;
    DashedLine(dc, f.left, f.top, right, f.top);
    DashedLine(dc, f.left, bottom, right, bottom);
    DashedLine(dc, f.left, f.top, f.left, bottom);
    DashedLine(dc, right, f.top, right, bottom);
    DrawRegions(dc);
}

void LoadButtonBitmaps() {
    for (size_t i = 0; i < std::size(kBitmapNames); ++i)
        g_setup.bitmaps[i] = LoadBitmapA(g_instance, kBitmapNames[i]);
}

void FreeButtonBitmaps() {
    for (HBITMAP& b : g_setup.bitmaps) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
}

void PaintSetupWindow(HDC dc) {
    PaintFrames(dc);
    PaintPicture(dc);
    DrawFrameOutline(dc);
    PaintRulers(dc);
    for (int id : {1111, 1110, 1112, 1114}) BlitBitmap(dc, id, ToolBitmap(id));
    if (SourceButtonShown()) BlitBitmap(dc, 1115, SourceBitmap());
    RepaintStatusLine(g_setup.window, dc);
}

void RedrawPreview() {
    HDC dc = GetDC(g_setup.window);
    PaintPicture(dc);
    DrawFrameOutline(dc);
    ReleaseDC(g_setup.window, dc);
}

void RedrawRulers() {
    HDC dc = GetDC(g_setup.window);
    PaintRulers(dc);
    ReleaseDC(g_setup.window, dc);
}

void DrawToolButton(int id, const char* bitmapName) {
    HDC dc = GetDC(g_setup.window);
    BlitBitmap(dc, id, bitmapName);
    ReleaseDC(g_setup.window, dc);
}

void DrawSourceButton() {
    if (SourceButtonShown()) DrawToolButton(1115, SourceBitmap());
}
