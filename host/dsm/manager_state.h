// The source manager's one record of who is connected: the applications
// that opened it, the sources they opened, the identifiers handed out and
// the condition of the manager's last operation.
//
// Applications call in on their own thread; a source may send its
// notifications from any thread. Every access to the record holds `lock`,
// and no lock is held while a source's DS_Entry runs.
#pragma once

#include "common/twain.h"
#include "host/dsm/source_catalog.h"

#include <windows.h>

#include <atomic>
#include <deque>
#include <list>
#include <mutex>
#include <string>
#include <vector>

namespace dsm {

struct Application {
    TW_IDENTITY identity{};          // Id assigned at MSG_OPENDSM
    HWND window = nullptr;           // woken when a notification is queued
    std::vector<CatalogEntry> listed;  // sources as of the last MSG_GETFIRST
    size_t nextListed = 0;
    bool listing = false;            // MSG_GETFIRST has been asked
};

struct OpenSource {
    TW_IDENTITY identity{};          // Id assigned at MSG_OPENDS
    TW_UINT32 applicationId = 0;     // the application that opened it
    std::string path;
    HMODULE module = nullptr;
    DSENTRYPROC entry = nullptr;
    std::deque<TW_UINT16> notifications;  // waiting for MSG_PROCESSEVENT
};

struct ManagerState {
    std::mutex lock;
    // Lists, so that a record keeps its address while others come and go.
    std::list<Application> applications;
    std::list<OpenSource> sources;
    TW_UINT32 lastId = 0;
    std::atomic<TW_UINT16> condition{TWCC_SUCCESS};
};

ManagerState& State();

// Lookups; the caller holds State().lock. Nothing when the id is unknown.
Application* FindApplication(TW_UINT32 id);
OpenSource* FindSource(TW_UINT32 id);
// An open source of `applicationId` loaded from `path`.
OpenSource* FindSourceByPath(TW_UINT32 applicationId, const std::string& path);
bool HasOpenSources(TW_UINT32 applicationId);
// A new identifier, never handed out before in this process.
TW_UINT32 NewId();

}  // namespace dsm
