#include "tests/support/dialog_watcher.h"

#include <algorithm>

namespace wintest {

namespace {

struct Search {
    DWORD pid;
    int marker;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (pid == s->pid && IsWindowVisible(h) && std::string(cls) == "#32770" &&
        GetDlgItem(h, s->marker) && !GetDlgItem(h, 0xFFFF))
        s->found.push_back(h);
    return TRUE;
}

}  // namespace

DialogWatcher::DialogWatcher(int markerId, Action action)
    : marker_(markerId), action_(std::move(action)) {
    thread_ = std::thread([this] { Run(); });
}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

int DialogWatcher::Handled() const {
    for (int i = 0; i < 500 && acting_; ++i) Sleep(10);
    return handled_;
}

void DialogWatcher::Run() {
    while (!stop_) {
        Search s{GetCurrentProcessId(), marker_, {}};
        EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
        for (HWND dialog : s.found) {
            if (std::find(seen_.begin(), seen_.end(), dialog) != seen_.end()) continue;
            seen_.push_back(dialog);
            acting_ = true;
            Sleep(30);  // the dialog finishes its initialisation
            action_(dialog);
            ++handled_;
            acting_ = false;
            // An action that stopped early (a failed assertion) must not
            // leave the test waiting on its dialog for ever.
            if (!WaitUntilClosed(dialog, 3000)) PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
        seen_.erase(std::remove_if(seen_.begin(), seen_.end(), [](HWND h) { return !IsWindow(h); }),
                    seen_.end());
        Sleep(15);
    }
}

std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool ControlShown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

bool ControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

void TypeInto(HWND dialog, int id, const std::string& text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PressButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<std::string> ListEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const LRESULT n = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[512] = {};
        SendDlgItemMessageA(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

bool ChooseEntry(HWND dialog, int id, const std::string& entry, bool doubleClick) {
    const LRESULT at = SendDlgItemMessageA(dialog, id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(entry.c_str()));
    if (at == LB_ERR) return false;
    SendDlgItemMessageA(dialog, id, LB_SETCURSEL, at, 0);
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    if (doubleClick)
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
    return true;
}

bool WaitUntilClosed(HWND dialog, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (IsWindow(dialog) && IsWindowVisible(dialog)) {
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(10);
    }
    return true;
}

}  // namespace wintest
