#include "tests/support/menu_watcher.h"

#ifndef MN_GETHMENU
#define MN_GETHMENU 0x01E1
#endif

namespace wintest {

namespace {

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MenuItem item;
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        item.separator = (info.fType & MFT_SEPARATOR) != 0;
        item.text = text;
        item.checked = (info.fState & MFS_CHECKED) != 0;
        item.grayed = (info.fState & MFS_GRAYED) != 0;
        if (info.hSubMenu)
            item.items = ReadMenu(info.hSubMenu);
        else if (!item.separator)
            item.id = info.wID;
        items.push_back(item);
    }
    return items;
}

struct Search {
    DWORD pid;
    HWND menu = nullptr;
};

BOOL CALLBACK FindMenuWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    char cls[16] = {};
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && IsWindowVisible(h) && GetClassNameA(h, cls, sizeof cls) > 0 &&
        std::string(cls) == "#32768") {
        s->menu = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

MenuWatcher::MenuWatcher() { thread_ = std::thread([this] { Run(); }); }

MenuWatcher::~MenuWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<MenuItem> MenuWatcher::Items() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return items_;
}

void MenuWatcher::Run() {
    while (!stop_) {
        Search s{GetCurrentProcessId()};
        EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&s));
        if (s.menu) {
            auto menu = reinterpret_cast<HMENU>(SendMessageA(s.menu, MN_GETHMENU, 0, 0));
            if (menu && !seen_) {
                std::lock_guard<std::mutex> lock(mutex_);
                items_ = ReadMenu(menu);
                seen_ = true;
            }
            PostMessageA(s.menu, WM_KEYDOWN, VK_ESCAPE, 0);
        }
        Sleep(20);
    }
}

const MenuItem* FindMenuItem(const std::vector<MenuItem>& items, UINT id) {
    for (const MenuItem& item : items) {
        if (item.id == id && !item.separator && item.items.empty()) return &item;
        if (const MenuItem* inner = FindMenuItem(item.items, id)) return inner;
    }
    return nullptr;
}

}  // namespace wintest
