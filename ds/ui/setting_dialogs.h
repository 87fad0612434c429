// The setting-file dialogs of the setup window: "Open Setting File" and
// "Save Setting File" list the *.PAR files of a folder and load or save
// the scan settings under a name.
#pragma once

#include <windows.h>

#include "ds/ui/scan_frame.h"

#include <cstdint>

// 1 from the moment the Open dialog opens (and again after a load), 0 after
// its Cancel; the setup window refreshes its controls while it is 1.
extern int g_settingsLoaded;

// What a save takes from the setup window, registered before the dialog
// opens: the picture's area with the full height of the preview (the paper
// length is the area's height in eighths of 14 inches), and the frame.
void SetSettingPreviewArea(const PixelRect& area, int32_t previewHeight);
void SetSettingFrameRect(const PixelRect& frame);

// Load or save the file the dialog names. False when nothing was loaded or
// saved; the user has then been told why and the dialog stays open.
bool LoadSettingFile(HWND dialog);
bool SaveSettingFile(HWND dialog);

// The dialogs in the current language, modal over `owner`.
void RunLoadSettingDialog(HWND owner);
void RunSaveSettingDialog(HWND owner);
