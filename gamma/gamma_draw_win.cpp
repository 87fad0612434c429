// The curve area of the gamma dialog: the axis bars in the channel's
// colour ramp, the polyline through the control points in the channel's
// colour and, while the curve is user-defined, a handle on every point.
// What is drawn is first drawn again in the background grey, so the area
// never needs to be cleared while the user works.
#include "gamma/gamma_dialog.h"

#include <algorithm>

namespace {

constexpr COLORREF kErase = RGB(192, 192, 192);

COLORREF CurveColour(GammaChannel channel) {
    switch (channel) {
    case GammaChannel::Red: return RGB(255, 0, 0);
    case GammaChannel::Green: return RGB(0, 255, 0);
    case GammaChannel::Blue: return RGB(0, 0, 255);
    case GammaChannel::Gray: return RGB(100, 100, 100);
    default: return RGB(0, 0, 0);
    }
}

COLORREF RampColour(GammaChannel channel, int i) {
    switch (channel) {
    case GammaChannel::Red: return RGB(i, 0, 0);
    case GammaChannel::Green: return RGB(0, i, 0);
    case GammaChannel::Blue: return RGB(0, 0, i);
    default: return RGB(i, i, i);
    }
}

RECT ControlRect(HWND dialog, int id) {
    const PreviewRect r = tone::ControlArea(dialog, id);
    return tone::ToRect(r);
}

// Where a point lies on the screen.
POINT Place(const RECT& area, const CurvePoint& p) {
    const ScreenPoint s = ToScreen(p, area.right - area.left, area.bottom - area.top);
    return {area.left + s.x, area.top + s.y};
}

void Handle(HDC dc, const RECT& area, const CurvePoint& p, SIZE unit) {
    const POINT at = Place(area, p);
    Rectangle(dc, at.x - unit.cx, at.y - unit.cy, at.x + 2 * unit.cx, at.y + 2 * unit.cy);
}

// Draws the segments first..last (segment k joins P(k-1) and Pk) and the
// handles of the points first-1..last, in one colour.
void DrawPart(HWND dialog, HDC dc, const RECT& area, const ControlPoints& points, int first, int last,
              bool handles, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    for (int k = std::max(1, first); k <= std::min(kPointCount - 1, last); ++k) {
        const POINT a = Place(area, points[k - 1]);
        const POINT b = Place(area, points[k]);
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        SetPixel(dc, b.x, b.y, colour);  // LineTo leaves out the last pixel
    }
    if (handles) {
        const SIZE unit = HandleUnit(dialog);
        for (int k = std::max(0, first - 1); k <= std::min(kPointCount - 1, last); ++k)
            Handle(dc, area, points[k], unit);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void DrawWholeCurve(HWND dialog, HDC dc, const RECT& area) {
    DrawPart(dialog, dc, area, g.points, 1, kPointCount - 1, g.userDefined, CurveColour(g.channel));
    g.drawn = g.points;
    g.drawnHandles = g.userDefined;
    g.haveDrawn = true;
}

void Strip(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    SetDCPenColor(dc, colour);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// 256 one-pixel strips along each bar: the input bar from the left, the
// output bar from the bottom.
void DrawAxisBars(HWND dialog, HDC dc) {
    const RECT in = ControlRect(dialog, kInputBar);
    const RECT out = ControlRect(dialog, kOutputBar);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DC_PEN));
    const int inLength = in.right - in.left, outLength = out.bottom - out.top;
    for (int i = 0; i < 256; ++i) {
        const COLORREF colour = RampColour(g.channel, i);
        const int x = in.left + i * (inLength - 1) / 256;
        Strip(dc, x, in.top, x, in.bottom, colour);
        const int y = out.bottom - 1 - i * (outLength - 1) / 256;
        Strip(dc, out.left, y, out.right, y, colour);
    }
    SelectObject(dc, old);
}

}  // namespace

RECT CurveAreaRect(HWND dialog) { return ControlRect(dialog, kCurveArea); }

SIZE HandleUnit(HWND dialog) {
    // A quarter of the horizontal and an eighth of the vertical base unit
    // of this dialog's font: one dialog unit each way.
    // Never below two pixels, so that a handle stays a visible square.
    RECT unit{0, 0, 1, 1};
    MapDialogRect(dialog, &unit);
    return {std::max<LONG>(2, unit.right), std::max<LONG>(2, unit.bottom)};
}

void PaintCurveArea(HWND dialog, HDC dc) {
    const RECT area = CurveAreaRect(dialog);
    HBRUSH background = CreateSolidBrush(kErase);
    FillRect(dc, &area, background);
    DeleteObject(background);
    DrawAxisBars(dialog, dc);
    DrawWholeCurve(dialog, dc, area);
}

void RedrawCurve(HWND dialog) {
    HDC dc = GetDC(dialog);
    const RECT area = CurveAreaRect(dialog);
    if (g.haveDrawn) DrawPart(dialog, dc, area, g.drawn, 1, kPointCount - 1, g.drawnHandles, kErase);
    DrawAxisBars(dialog, dc);
    DrawWholeCurve(dialog, dc, area);
    ReleaseDC(dialog, dc);
}

void RedrawDraggedPoint(HWND dialog, int k, const ControlPoints& before) {
    HDC dc = GetDC(dialog);
    const RECT area = CurveAreaRect(dialog);
    // The segments on both sides of the point and its handle go; the
    // neighbours' handles are drawn again over what the erasing touched.
    HPEN pen = CreatePen(PS_SOLID, 1, kErase);
    HBRUSH brush = CreateSolidBrush(kErase);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    for (int s = std::max(1, k); s <= std::min(kPointCount - 1, k + 1); ++s) {
        const POINT a = Place(area, before[s - 1]);
        const POINT b = Place(area, before[s]);
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        SetPixel(dc, b.x, b.y, kErase);
    }
    if (g.drawnHandles) Handle(dc, area, before[k], HandleUnit(dialog));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    DrawPart(dialog, dc, area, g.points, k, k + 1, g.userDefined, CurveColour(g.channel));
    g.drawn = g.points;
    g.drawnHandles = g.userDefined;
    ReleaseDC(dialog, dc);
}
