// Acts on a modal dialog as a user would while the code under test runs
// the dialog's loop: a watcher thread finds each new dialog of this process
// that holds a given control and runs the test's action on it (reading
// controls, typing, pressing buttons). The dialog's own thread answers
// every message the action sends, so the action sees the dialog as it is.
//
// Needs an X display under Wine; the test runner provides one.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace wintest {

class DialogWatcher {
public:
    using Action = std::function<void(HWND dialog)>;
    // Watches for dialogs that have a control with `markerId` (message
    // boxes never count) and runs `action` once on each. A dialog still
    // open 3 seconds after its action is closed.
    DialogWatcher(int markerId, Action action);
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;
    ~DialogWatcher();

    // How many dialogs the action has finished with. An action that is
    // still returning (its last click closed the dialog, which let the
    // caller go on) is waited for.
    int Handled() const;

private:
    void Run();

    int marker_;
    Action action_;
    std::atomic<bool> stop_{false};
    std::atomic<int> handled_{0};
    std::atomic<bool> acting_{false};
    std::vector<HWND> seen_;
    std::thread thread_;
};

// What a user reads and does in a dialog (any thread).
std::string ControlText(HWND dialog, int id);
bool ControlShown(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
// Types a text into an edit field (the field tells the dialog it changed).
void TypeInto(HWND dialog, int id, const std::string& text);
// A click of a button, as the dialog hears it.
void PressButton(HWND dialog, int id);
// The entries of a list box; choosing one (the list tells the dialog, with
// a double click when asked).
std::vector<std::string> ListEntries(HWND dialog, int id);
bool ChooseEntry(HWND dialog, int id, const std::string& entry, bool doubleClick = false);
// Waits until the dialog has gone (its action ended it); true when it has.
bool WaitUntilClosed(HWND dialog, DWORD milliseconds = 5000);

}  // namespace wintest
