// Reads the pop-up menu that code under test tracks on this process's
// thread: what the menu offered (texts, check marks, greyed entries,
// sub-menus) is recorded and the menu is closed as a user would with the
// Escape key, so that the call that showed it returns.
//
// Needs an X display under Wine; the test runner provides one.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

struct MenuItem {
    UINT id = 0;            // 0 for a separator or a sub-menu
    std::string text;
    bool checked = false;
    bool grayed = false;
    bool separator = false;
    std::vector<MenuItem> items;  // a sub-menu's entries
};

class MenuWatcher {
public:
    MenuWatcher();
    MenuWatcher(const MenuWatcher&) = delete;
    MenuWatcher& operator=(const MenuWatcher&) = delete;
    ~MenuWatcher();

    // The entries of the first menu seen (empty when none was shown).
    std::vector<MenuItem> Items() const;
    bool Seen() const { return seen_; }

private:
    void Run();

    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    mutable std::mutex mutex_;
    std::vector<MenuItem> items_;
    std::thread thread_;
};

// The entry of a menu with this id, searched through the sub-menus; null
// when there is none.
const MenuItem* FindMenuItem(const std::vector<MenuItem>& items, UINT id);

}  // namespace wintest
