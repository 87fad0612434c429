// The status line along the bottom of the setup window: hint texts, and the
// progress of a scan or a prescan as a text, a percentage and a bar. It is
// drawn straight onto the window, over the places of its hidden controls
// 1089 (text and bar) and 1090 (percentage). Without a window nothing is
// drawn.
#pragma once

#include <windows.h>

#include "common/preview_image.h"

#include <cstdint>
#include <string>

// The progress of the running job with the phase text `phaseString` (500
// scanning, 505 image processing): `ProgressCount` of `LineCount` lines,
// three times that for Color.
void ShowJobProgress(int phaseString);
// `count` of `total` with the phase text, on `window`'s status line.
void ShowProgressOf(HWND window, uint32_t count, uint32_t total, int phaseString);

// The routine handed to the prescan module: the count of the record, held
// at the total, with the prescanning text. Returns 0.
int32_t PAVO_PREVIEW_CALL PrescanProgressRoutine(PrescanProgress* progress, int32_t total);

// The status line drawn empty: the two sunken boxes.
void ClearStatusLine(HWND window);
// The status line with a text (nothing for an empty one).
void ShowStatusText(HWND window, const std::string& text);
// Paints the status line again with the text it last showed.
void RepaintStatusLine(HWND window, HDC dc);
