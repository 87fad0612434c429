// Wine's help viewer (winhlp32) seen from another process, as a user sees
// it: its main window and caption, the text of the topic it shows, the
// message boxes it puts up, and its end.
#pragma once

#include <windows.h>

#include <string>

namespace helpview {

// The viewer's visible main window, or null.
HWND MainWindow();
// The process of a running viewer, shown or not yet; 0 when none runs.
DWORD ViewerProcess();
// Waits up to `milliseconds` for the viewer to show a topic whose text
// begins with `title`; its main window, or null.
HWND WaitForTopic(const std::wstring& title, DWORD milliseconds);
// The viewer's caption and the whole text of the topic it shows.
std::wstring Caption(HWND viewer);
std::wstring TopicText(HWND viewer);

// A message box of the process `pid` (its caption and text), or null.
HWND MessageBoxOf(DWORD pid);
std::wstring BoxText(HWND box);

// The process of a window.
DWORD ProcessOf(HWND window);
// Waits up to `milliseconds` for the process to end; true when it did.
bool WaitForExit(DWORD pid, DWORD milliseconds);

}  // namespace helpview
