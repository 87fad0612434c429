// Drawing shared by the small dialogs of the modules: the sunken frames
// and lines they paint at the places of hidden placeholder controls, and
// the grey of their backgrounds.
#pragma once

#include <windows.h>

inline constexpr COLORREF kDialogGrey = RGB(192, 192, 192);

// The rectangle of a dialog's control in the dialog's client coordinates.
RECT DialogControlRect(HWND dialog, int id);

// A sunken frame: top and left edges grey (128, 128, 128), right and bottom
// edges white, one pixel wide. `topOffset` moves the top edge down.
void DrawSunkenFrame(HDC dc, RECT r, int topOffset = 0);
// A sunken line along the top of `r`: a grey line with a white one below.
void DrawSunkenLine(HDC dc, RECT r);
