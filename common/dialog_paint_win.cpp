#include "common/dialog_paint.h"

namespace {

constexpr COLORREF kShadowGrey = RGB(128, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void Line(HDC dc, HPEN pen, int x0, int y0, int x1, int y1) {
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
}

}  // namespace

RECT DialogControlRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void DrawSunkenFrame(HDC dc, RECT r, int topOffset) {
    HPEN grey = CreatePen(PS_SOLID, 1, kShadowGrey);
    HPEN white = CreatePen(PS_SOLID, 1, kWhite);
    const int oldMode = SetROP2(dc, R2_COPYPEN);
    const int top = r.top + topOffset;
    Line(dc, grey, r.left, r.bottom - 1, r.left, top);
    Line(dc, grey, r.left, top, r.right - 1, top);
    Line(dc, white, r.right - 1, top, r.right - 1, r.bottom - 1);
    Line(dc, white, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1);
    SetROP2(dc, oldMode);
    DeleteObject(grey);
    DeleteObject(white);
}

void DrawSunkenLine(HDC dc, RECT r) {
    HPEN grey = CreatePen(PS_SOLID, 1, kShadowGrey);
    HPEN white = CreatePen(PS_SOLID, 1, kWhite);
    Line(dc, grey, r.left, r.top, r.right, r.top);
    Line(dc, white, r.left, r.top + 1, r.right, r.top + 1);
    DeleteObject(grey);
    DeleteObject(white);
}
