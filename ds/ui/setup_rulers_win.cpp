// The rulers along the top and the left of the preview, in the display
// unit, for the whole glass or the magnified part, and the paper slider on
// the left ruler.
#include "ds/twain/scan_settings.h"
#include "ds/ui/preview_geometry.h"
#include "ds/ui/ruler_ticks.h"
#include "ds/ui/setup_state.h"

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kDark = RGB(128, 128, 128);

void Fill(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

HFONT RulerFont() {
    if (!g_setup.rulerFont) {
        // Small labels: two thirds of the dialog's own text height.
        RECT r{0, 0, 0, 6};
        MapDialogRect(g_setup.window, &r);
        g_setup.rulerFont = CreateFontA(-std::max<LONG>(r.bottom, 8), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                        DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    }
    return g_setup.rulerFont;
}

RulerLayout Layout(bool top, int32_t pixels) {
    RulerLayout s;
    s.unit = g_settings.UnitFlag;
    s.top = top;
    s.pixels = pixels;
    s.outputResolution = OutputResolution(g_settings.Resolution, g_settings.Scaling,
                                          g_settings.DpiScale, g_settings.ModelCode);
    s.adapter = g_setup.source.adapterInUse == 1;
    const bool magnified = g_setup.ZoomMode == kZoomMagnified;
    if (top) {
        s.glassInches = s.adapter ? 8.0 : 8.5;
        s.firstInch = magnified ? g_setup.zoomX * g_setup.InchesPerPixelX : 0;
        s.shownInches = magnified ? s.glassInches / 2 : s.glassInches;
    } else {
        s.glassInches = 14;
        s.firstInch = magnified ? g_setup.zoomY * g_setup.InchesPerPixelY : 0;
        s.shownInches = magnified ? 7 : 14;
    }
    return s;
}

// Ticks grow from the edge that faces the picture; labels sit beside the
// long ones.
void PaintRuler(HDC dc, const PixelRect& strip, bool top) {
    RECT r = ToRect(strip);
    Fill(dc, r, kGrey);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    // The scale is the picture's: the left strip reaches below it to hold
    // the slider at the bottom of the glass.
    const int32_t length = top ? g_setup.previewWidth : g_setup.previewHeight;
    const int32_t depth = top ? strip.Height() : strip.Width();
    HGDIOBJ oldFont = SelectObject(dc, RulerFont());
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (const RulerTick& t : RulerTicks(Layout(top, length))) {
        const int32_t tick = t.major ? depth * 2 / 3 : depth / 3;
        if (top) {
            const int32_t x = strip.left + std::min(t.at, length - 1);
            MoveToEx(dc, x, strip.bottom - 1, nullptr);
            LineTo(dc, x, strip.bottom - 1 - tick);
            if (!t.label.empty())
                TextOutA(dc, x + 2, strip.top + 1, t.label.c_str(), static_cast<int>(t.label.size()));
        } else {
            const int32_t y = strip.top + std::min(t.at, length - 1);
            MoveToEx(dc, strip.right - 1, y, nullptr);
            LineTo(dc, strip.right - 1 - tick, y);
            if (!t.label.empty())
                TextOutA(dc, strip.left + 2, y + 1, t.label.c_str(), static_cast<int>(t.label.size()));
        }
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
}

// A grey box with light top and left edges, dark bottom and right ones, and
// a double grip line across its middle half.
void PaintSlider(HDC dc) {
    const PixelRect s = PaperSliderRect(ControlRect(1059), g_setup.PreviewArea.bottom);
    RECT r = ToRect(s);
    Fill(dc, r, kGrey);
    DrawEdge(dc, &r, BDR_RAISEDINNER | BDR_RAISEDOUTER, BF_RECT);
    const int32_t quarter = s.Width() / 4, middle = (s.top + s.bottom) / 2;
    HPEN dark = CreatePen(PS_SOLID, 1, kDark);
    HGDIOBJ old = SelectObject(dc, dark);
    for (int32_t y : {middle - 1, middle + 1}) {
        MoveToEx(dc, s.left + quarter, y, nullptr);
        LineTo(dc, s.right - quarter, y);
    }
    SelectObject(dc, old);
    DeleteObject(dark);
}

}  // namespace

void PaintRulers(HDC dc) {
    if (FeederMode()) {
        // No frame is drawn from the feeder: its rulers stay blank.
        for (int id : {1058, 1059}) Fill(dc, ToRect(ControlRect(id)), kGrey);
        return;
    }
    PaintRuler(dc, ControlRect(1058), true);
    PaintRuler(dc, ControlRect(1059), false);
    // The magnified view's bottom edge pans; the paper line is set on the
    // whole picture.
    if (g_setup.ZoomMode != kZoomMagnified) PaintSlider(dc);
}
