// The modeless setup window.
#pragma once

#include <windows.h>

// Creates the setup window from the dialog template of the current language
// (hidden); null when it cannot be created.
HWND CreateSetupWindow();
