// Watches this process for message boxes, records what each one showed and
// presses its default button, so that tests can run code that reports to
// the user and then assert on what the user would have seen.
//
// Needs an X display under Wine (without one MessageBox returns at once and
// shows nothing); the test runner provides one with xvfb-run.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

enum class BoxIcon { None, Information, Stop, Exclamation, Question, Other };

struct ShownBox {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
};

class MessageBoxWatcher {
public:
    // Starts watching at once; the button pressed is the box's default one
    // (OK for a plain box) unless another control id is given.
    explicit MessageBoxWatcher(int button = 0);
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    ~MessageBoxWatcher();

    // Every box seen so far, oldest first.
    std::vector<ShownBox> Boxes() const;
    // Waits up to the given time for at least n boxes; true when seen.
    bool WaitFor(size_t n, DWORD milliseconds = 5000) const;

private:
    void Run();
    void Handle(HWND box);

    int button_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<ShownBox> boxes_;
    std::vector<HWND> handled_;
    std::thread thread_;
};

}  // namespace wintest
