// The message boxes of pavo.ds.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows the text of message id (the language offset already added). For the
// "not ready" and "not found" texts of the current language the caption
// names the problem and the body lists what to check (information icon);
// every other text is the body under the " Flatbed Scanner" caption (stop
// icon).
void ShowScannerMessage(HWND owner, int id);

// Tells the user that the disk lacks the space a scan needs.
void ShowDiskSpaceMessage(HWND owner, uint64_t freeBytes, uint64_t requiredBytes);
