// twacquire's connection to the TWAIN source manager: loading the module,
// opening and closing it, and sending triplets through DSM_Entry.
#pragma once

#include "common/twain.h"

#include <windows.h>

#include <string>
#include <vector>

namespace twacquire {

class SourceManager {
public:
    SourceManager();
    // Closes the manager if it is open and unloads it.
    ~SourceManager();
    SourceManager(const SourceManager&) = delete;
    SourceManager& operator=(const SourceManager&) = delete;

    // Loads the source manager module and finds DSM_Entry (ordinal 1).
    bool Load(std::string& error);
    // MSG_OPENDSM with `parent` as the application's window.
    bool Open(HWND parent, std::string& error);
    // MSG_CLOSEDSM, when open.
    void Close();

    // Sends a triplet from this host; dest is null for the manager itself.
    TW_UINT16 Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                   TW_MEMREF data);
    // The manager's condition code for its last operation.
    TW_UINT16 ManagerCondition();
    // "TWRC_FAILURE, TWCC_SEQERROR": a result and the condition that goes with it.
    std::string DescribeFailure(TW_UINT16 result);

    // The identities of every installed source (MSG_GETFIRST, MSG_GETNEXT).
    bool ListSources(std::vector<TW_IDENTITY>& sources, std::string& error);

    const TW_IDENTITY& host() const { return host_; }

private:
    HMODULE module_ = nullptr;
    DSMENTRYPROC entry_ = nullptr;
    TW_IDENTITY host_{};
    bool open_ = false;
    HWND parent_ = nullptr;
};

}  // namespace twacquire
