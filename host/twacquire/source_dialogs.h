// The message boxes a source shows on twacquire's thread (a paper jam, a
// scanner that does not answer): their text is repeated on the error
// output, so that it stays in a log, and when nobody is there to read the
// box (no --ui) it is answered with its default button, so that an
// unattended run never hangs on it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace twacquire {

class SourceDialogs {
public:
    // Watches the windows of `thread` from a thread of its own.
    SourceDialogs(DWORD thread, bool answer, FILE* err);
    ~SourceDialogs();
    SourceDialogs(const SourceDialogs&) = delete;
    SourceDialogs& operator=(const SourceDialogs&) = delete;

    // The text of every box seen so far, oldest first.
    std::vector<std::string> Texts() const;

private:
    void Run();
    void Handle(HWND box);

    DWORD thread_;
    bool answer_;
    FILE* err_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
    std::vector<HWND> seen_;
    std::thread watcher_;
};

}  // namespace twacquire
