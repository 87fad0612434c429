// The installed pavo.ds as a host drives it without a source manager: the
// module loaded from the product folder, triplets sent to its DS_Entry, the
// host's events passed through MSG_PROCESSEVENT, and its setup window found
// among this thread's windows.
#pragma once

#include "common/twain.h"

#include <windows.h>

#include <string>

namespace wintest {

class InstalledSource {
public:
    explicit InstalledSource(const char* hostName = "Test Host");
    ~InstalledSource();
    InstalledSource(const InstalledSource&) = delete;
    InstalledSource& operator=(const InstalledSource&) = delete;

    bool loaded() const { return entry_ != nullptr; }
    TW_UINT16 Call(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, void* data);
    TW_UINT16 Open();
    TW_UINT16 SetCap(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 value);
    TW_UINT16 Enable(bool showUi);
    // Disables (when enabled) and closes the source.
    void Close();
    // The condition code the source keeps (DAT_STATUS).
    TW_UINT16 Condition();

    // The setup window of this thread, or null.
    HWND SetupWindow() const;
    // Runs the thread's messages for a while, each offered to the source
    // first as a host does.
    void Pump(DWORD milliseconds);

private:
    HMODULE module_ = nullptr;
    DSENTRYPROC entry_ = nullptr;
    TW_IDENTITY app_{};
    TW_IDENTITY identity_{};
    bool open_ = false;
};

}  // namespace wintest
