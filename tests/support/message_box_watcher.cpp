#include "tests/support/message_box_watcher.h"

#include <algorithm>

namespace wintest {

namespace {

constexpr int kTextId = 0xFFFF;      // the static control holding a box's text
constexpr int kIconId = 0x0014;      // its icon on Windows
constexpr int kWineIconId = 0x0440;  // and under Wine

std::string WindowText(HWND h) {
    char buf[2048];
    int n = GetWindowTextA(h, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

bool IsDialogClass(HWND h) {
    char cls[64];
    return GetClassNameA(h, cls, sizeof cls) > 0 && std::string(cls) == "#32770";
}

struct IconSearch {
    HICON icon = nullptr;
    bool found = false;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM lp) {
    auto* s = reinterpret_cast<IconSearch*>(lp);
    char cls[32];
    if (GetClassNameA(child, cls, sizeof cls) > 0 && lstrcmpiA(cls, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        s->found = true;
        s->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

BoxIcon Classify(HICON icon) {
    if (!icon) return BoxIcon::None;
    if (icon == LoadIcon(nullptr, IDI_INFORMATION)) return BoxIcon::Information;
    if (icon == LoadIcon(nullptr, IDI_HAND)) return BoxIcon::Stop;
    if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) return BoxIcon::Exclamation;
    if (icon == LoadIcon(nullptr, IDI_QUESTION)) return BoxIcon::Question;
    return BoxIcon::Other;
}

BOOL CALLBACK FindDefaultButton(HWND child, LPARAM lp) {
    char cls[32];
    if (GetClassNameA(child, cls, sizeof cls) > 0 && lstrcmpiA(cls, "Button") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        *reinterpret_cast<int*>(lp) = GetDlgCtrlID(child);
        return FALSE;
    }
    return TRUE;
}

struct Candidates {
    DWORD pid;
    std::vector<HWND> boxes;
};

// Every control of a message box is its text, its icon or one of the
// standard buttons (IDOK to IDCONTINUE); a dialog of ours with unnamed
// statics (id 0xFFFF) has other controls besides.
BOOL CALLBACK OnlyBoxControls(HWND child, LPARAM lp) {
    const int id = GetDlgCtrlID(child);
    const bool boxControl = id == kTextId || id == kIconId || id == kWineIconId ||
                            (id >= IDOK && id <= IDCONTINUE);
    if (!boxControl) *reinterpret_cast<bool*>(lp) = false;
    return boxControl;
}

// A message box is a dialog of this process with the text control and
// nothing but a message box's controls.
BOOL CALLBACK CollectBoxes(HWND h, LPARAM lp) {
    auto* c = reinterpret_cast<Candidates*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != c->pid || !IsWindowVisible(h) || !IsDialogClass(h) || !GetDlgItem(h, kTextId))
        return TRUE;
    bool onlyBoxControls = true;
    EnumChildWindows(h, OnlyBoxControls, reinterpret_cast<LPARAM>(&onlyBoxControls));
    if (onlyBoxControls) c->boxes.push_back(h);
    return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(int button) : button_(button) {
    thread_ = std::thread([this] { Run(); });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<ShownBox> MessageBoxWatcher::Boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

bool MessageBoxWatcher::WaitFor(size_t n, DWORD milliseconds) const {
    const DWORD start = GetTickCount();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (boxes_.size() >= n) return true;
        }
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(10);
    }
}

void MessageBoxWatcher::Handle(HWND box) {
    ShownBox shown;
    shown.caption = WindowText(box);
    char text[4096];
    UINT n = GetDlgItemTextA(box, kTextId, text, sizeof text);
    shown.text.assign(text, n);
    IconSearch search;
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&search));
    shown.icon = search.found ? Classify(search.icon) : BoxIcon::None;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes_.push_back(shown);
        handled_.push_back(box);
    }
    int id = button_;
    if (id == 0) EnumChildWindows(box, FindDefaultButton, reinterpret_cast<LPARAM>(&id));
    if (id == 0) {
        LRESULT def = SendMessageA(box, DM_GETDEFID, 0, 0);
        id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        Candidates c{GetCurrentProcessId(), {}};
        EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&c));
        for (HWND box : c.boxes) {
            bool seen;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                seen = std::find(handled_.begin(), handled_.end(), box) != handled_.end();
            }
            if (!seen) {
                // Give the box a moment to finish filling its controls.
                Sleep(20);
                Handle(box);
            }
        }
        // A closed box's handle may be reused by a later one.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            handled_.erase(std::remove_if(handled_.begin(), handled_.end(),
                                          [](HWND h) { return !IsWindow(h); }),
                           handled_.end());
        }
        Sleep(15);
    }
}

}  // namespace wintest
