// The level dialog's drawing besides the picture: the histogram of the
// channel on display with the response curve of its levels, and the
// marker bar (a ramp in the channel's colour) with the shadow, midtone and
// highlight markers on it.
#include "level/level_dialog.h"

#include "common/tone_dialog_win.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kBackground = RGB(192, 192, 192);

COLORREF CurveColour(LevelChannel channel) {
    switch (channel) {
    case LevelChannel::Red: return RGB(255, 0, 0);
    case LevelChannel::Green: return RGB(0, 255, 0);
    case LevelChannel::Blue: return RGB(0, 0, 255);
    case LevelChannel::Gray: return RGB(100, 100, 100);
    default: return RGB(0, 0, 0);
    }
}

COLORREF RampColour(LevelChannel channel, int i) {
    switch (channel) {
    case LevelChannel::Red: return RGB(i, 0, 0);
    case LevelChannel::Green: return RGB(0, i, 0);
    case LevelChannel::Blue: return RGB(0, 0, i);
    default: return RGB(i, i, i);
    }
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    SetDCPenColor(dc, colour);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void DrawHistogram(HDC dc, const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    for (int level = 0; level < 256; ++level) {
        const int x = area.left + level * w / 256;
        const int line = HistogramLine(ShownCount(g.picture.statistics, g.channel, level), h);
        if (line > 0) Line(dc, x, area.bottom - 1, x, area.bottom - 1 - line, RGB(64, 64, 64));
    }
    const std::optional<Parabola> p = ResponseParabola(ShownGroup());
    if (!p) return;
    const LevelGroup& group = ShownGroup();
    const COLORREF colour = CurveColour(g.channel);
    for (int x = group.shadow + 1; x <= group.highlight; x += 2) {
        const double y = std::clamp(p->At(x), 0.0, 255.0);
        SetPixel(dc, area.left + x * w / 256, area.bottom - 1 - static_cast<int>(y) * h / 256, colour);
    }
}

void DrawMarkerBar(HDC dc, const RECT& bar) {
    const int w = bar.right - bar.left;
    for (int i = 0; i < 256; ++i) {
        const int x = bar.left + i * (w - 1) / 256;
        Line(dc, x, bar.top, x, bar.bottom, RampColour(g.channel, i));
    }
    const LevelGroup& group = ShownGroup();
    HDC source = CreateCompatibleDC(dc);
    const int values[3] = {group.shadow, group.midtone, group.highlight};
    for (int m = 0; m < 3; ++m) {
        if (!g.markers[m]) continue;
        HGDIOBJ old = SelectObject(source, g.markers[m]);
        const int x = MarkerX(values[m], bar.left, w) - g.markerSize.cx / 2;
        TransparentBlt(dc, x, bar.top, g.markerSize.cx, g.markerSize.cy, source, 0, 0,
                       g.markerSize.cx, g.markerSize.cy, kBackground);
        SelectObject(source, old);
    }
    DeleteDC(source);
}

}  // namespace

RECT ItemRect(HWND dialog, int id) {
    RECT r{};
    HWND control = GetDlgItem(dialog, id);
    GetClientRect(control, &r);
    MapWindowPoints(control, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void PaintLevels(HWND dialog, HDC dc) {
    const RECT histogram = ItemRect(dialog, kHistogram);
    const RECT bar = ItemRect(dialog, kMarkerBar);
    // Everything from the histogram's top to below the markers.
    RECT all{};
    UnionRect(&all, &histogram, &bar);
    all.bottom = std::max<LONG>(all.bottom, bar.top + g.markerSize.cy);
    all.left -= g.markerSize.cx / 2 + 1;
    all.right += g.markerSize.cx / 2 + 1;
    const int w = all.right - all.left, h = all.bottom - all.top;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldPen = SelectObject(memory, GetStockObject(DC_PEN));
    SetViewportOrgEx(memory, -all.left, -all.top, nullptr);
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(memory, &all, background);
    DeleteObject(background);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(memory, &histogram, white);
    DrawHistogram(memory, histogram);
    DrawMarkerBar(memory, bar);
    SetViewportOrgEx(memory, 0, 0, nullptr);
    BitBlt(dc, all.left, all.top, w, h, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldPen);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

void RedrawLevels(HWND dialog) {
    HDC dc = GetDC(dialog);
    PaintLevels(dialog, dc);
    // The histogram's frame lies within what was put on the dialog.
    tone::DrawEtchedFrame(dc, dialog, kHistogram);
    ReleaseDC(dialog, dc);
}
