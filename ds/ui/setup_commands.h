// The setup window's commands (buttons, lists, menu entries, the drawn
// buttons) and its two scroll bars.
#pragma once

#include <windows.h>

// One command by id and notification code. FALSE for a command whose
// module or dialog could not be opened.
BOOL OnCommand(int id, int notification);

// The resolution and scaling bars.
void OnHScroll(HWND bar, int action, int thumb);
