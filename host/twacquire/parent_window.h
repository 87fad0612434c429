// The hidden window twacquire gives the source manager as its parent: the
// manager wakes the host through it, and sources own their dialogs by it.
#pragma once

#include <windows.h>

namespace twacquire {

class ParentWindow {
public:
    ParentWindow();
    ~ParentWindow();
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;

    // Null when the window could not be created.
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace twacquire
