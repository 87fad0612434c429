#include "host/twacquire/parent_window.h"

namespace twacquire {

ParentWindow::ParentWindow() {
    // Never shown; a top-level window rather than a message-only one, so
    // that a source can own its dialogs by it.
    window_ = CreateWindowExA(0, "STATIC", "twacquire", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
}

ParentWindow::~ParentWindow() {
    if (window_) DestroyWindow(window_);
}

}  // namespace twacquire
