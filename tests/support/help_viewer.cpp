#include "tests/support/help_viewer.h"

#include <cwctype>

namespace helpview {

namespace {

constexpr int kBoxTextId = 0xFFFF;  // the static control holding a box's text

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    const int n = GetClassNameW(window, name, 64);
    return std::wstring(name, n > 0 ? n : 0);
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// The text of a window of another process, through the message that
// crosses processes (GetWindowText does not read another's controls).
std::wstring SentText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    text.resize(copied);
    return text;
}

BOOL CALLBACK FindMain(HWND window, LPARAM lp) {
    if (IsWindowVisible(window) && ClassOf(window) == L"MS_WINHELP") {
        *reinterpret_cast<HWND*>(lp) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindRichEdit(HWND child, LPARAM lp) {
    if (Lower(ClassOf(child)).find(L"richedit") != std::wstring::npos) {
        *reinterpret_cast<HWND*>(lp) = child;
        return FALSE;
    }
    return TRUE;
}

struct BoxSearch {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM lp) {
    auto* s = reinterpret_cast<BoxSearch*>(lp);
    if (ProcessOf(window) == s->pid && IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
        GetDlgItem(window, kBoxTextId)) {
        s->box = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND MainWindow() {
    HWND found = nullptr;
    EnumWindows(FindMain, reinterpret_cast<LPARAM>(&found));
    return found;
}

DWORD ViewerProcess() {
    HWND any = FindWindowW(L"MS_WINHELP", nullptr);
    return any ? ProcessOf(any) : 0;
}

std::wstring Caption(HWND viewer) {
    wchar_t text[512] = {};
    const int n = GetWindowTextW(viewer, text, 512);
    return std::wstring(text, n > 0 ? n : 0);
}

std::wstring TopicText(HWND viewer) {
    HWND text = nullptr;
    EnumChildWindows(viewer, FindRichEdit, reinterpret_cast<LPARAM>(&text));
    return text ? SentText(text) : std::wstring();
}

HWND WaitForTopic(const std::wstring& title, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        if (HWND viewer = MainWindow(); viewer && TopicText(viewer).rfind(title, 0) == 0)
            return viewer;
        Sleep(50);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

HWND MessageBoxOf(DWORD pid) {
    BoxSearch s{pid, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    return s.box;
}

std::wstring BoxText(HWND box) {
    return Caption(box) + L"\n" + SentText(GetDlgItem(box, kBoxTextId));
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool WaitForExit(DWORD pid, DWORD milliseconds) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!process) return true;  // already gone
    const bool ended = WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

}  // namespace helpview
