// The change-temporary-drive dialog: shown by the scan start when the disk
// of the working file lacks the space the coming image needs, it lets the
// user name another directory for the working file and the pass files.
#pragma once

#include <windows.h>

#include <cstdint>

// The result of running the dialog: 0 after a normal end, -1 when it could
// not be created. While it is not 0 no further dialog is run.
extern int32_t g_tempDialogResult;
// 1 when the user confirmed a directory with room enough, else 0.
extern int32_t g_tempDirectoryAccepted;

extern "C" INT_PTR CALLBACK ChgTmpDrvProc(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam);

// Runs the dialog over `owner`; `requiredBytes` is the space the scan needs.
// True when the user chose a directory with that much free space: the
// working file has then moved there.
bool RunTempDriveDialog(HWND owner, uint64_t requiredBytes);

// Free bytes on the drive of `directory` (the current drive when empty);
// nothing when the directory cannot be reached.
bool QueryFreeBytes(const char* directory, uint64_t& freeBytes);
