#include "host/twacquire/source_dialogs.h"

#include <algorithm>

namespace twacquire {

namespace {

constexpr int kMessageBoxText = 0xFFFF;  // the static control with a box's text
// A message box has its text, perhaps an icon, and at most four buttons; a
// dialog with more controls (a setup window) is not one.
constexpr int kMostMessageBoxControls = 6;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

bool IsMessageBox(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) != "#32770" || !IsWindowVisible(window) ||
        !GetDlgItem(window, kMessageBoxText))
        return false;
    int children = 0;
    EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&children));
    return children <= kMostMessageBoxControls;
}

BOOL CALLBACK Collect(HWND window, LPARAM found) {
    if (IsMessageBox(window)) reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

SourceDialogs::SourceDialogs(DWORD thread, bool answer, FILE* err)
    : thread_(thread), answer_(answer), err_(err), watcher_([this] { Run(); }) {}

SourceDialogs::~SourceDialogs() {
    stop_ = true;
    watcher_.join();
}

std::vector<std::string> SourceDialogs::Texts() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return texts_;
}

void SourceDialogs::Run() {
    while (!stop_) {
        std::vector<HWND> boxes;
        EnumThreadWindows(thread_, Collect, reinterpret_cast<LPARAM>(&boxes));
        for (HWND box : boxes) Handle(box);
        Sleep(50);
    }
}

void SourceDialogs::Handle(HWND box) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (std::find(seen_.begin(), seen_.end(), box) != seen_.end()) return;
        seen_.push_back(box);
    }
    const std::string caption = WindowText(box);
    std::string text = WindowText(GetDlgItem(box, kMessageBoxText));
    // Trim the blanks some sources put around their messages.
    text.erase(0, text.find_first_not_of(" \r\n"));
    text.erase(text.find_last_not_of(" \r\n") + 1);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    {
        std::lock_guard<std::mutex> guard(mutex_);
        texts_.push_back(text);
    }
    std::fprintf(err_, "twacquire: the source says: %s%s%s\n", caption.c_str(),
                 caption.empty() ? "" : ": ", text.c_str());
    std::fflush(err_);
    if (!answer_) return;
    const LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
    const int button = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

}  // namespace twacquire
