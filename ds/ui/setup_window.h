// The modeless setup window, as the rest of the data source sees it.
#pragma once

#include <windows.h>

// Creates the setup window from the dialog template of the current language
// (hidden); null when it cannot be created.
HWND CreateSetupWindow();

// The end of a transfer started from the window: Scan enabled again,
// Prescan too outside feeder mode, the status line cleared, the window
// active. Nothing without a window.
void ReturnSetupWindowToIdle();
