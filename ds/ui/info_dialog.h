// The information dialog: the current scan settings, read only.
#pragma once

#include <windows.h>

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog in the current language, modal over `owner`.
void ShowInfoDialog(HWND owner);
