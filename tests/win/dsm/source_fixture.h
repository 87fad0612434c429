// What the source manager's tests share: a folder of test sources under the
// sources folder that cleans up after itself, this process as a TWAIN
// application of the installed source manager, and a look inside a test
// source the manager has loaded.
#pragma once

#include "common/twain.h"
#include "tests/support/wine_support.h"
#include "tests/win/dsm/test_source.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dsmtest {

// "Test Source beta" for the copy installed as beta.ds.
std::string TestSourceName(const std::string& stem);
// The text of a TWAIN string field.
std::string Text(const TW_STR32& field);
// A Windows path for a file named by a build-tree path.
using wintest::WindowsPathOf;

// A folder of its own under <Windows>\TWAIN_64 (TWAIN_32 in the 32-bit
// build). Everything put into it is deleted again, with the folder.
class SourceFolder {
public:
    SourceFolder();
    // Deletes everything; a test fails when something cannot be deleted.
    ~SourceFolder();
    SourceFolder(const SourceFolder&) = delete;
    SourceFolder& operator=(const SourceFolder&) = delete;

    // Copies the test source to `relativePath` ("nested\\gamma.ds"); returns
    // the full path.
    std::string InstallSource(const std::string& relativePath);
    // Writes a file with the given contents; returns the full path.
    std::string AddFile(const std::string& relativePath, const std::string& contents);
    // Deletes everything; false when something could not be deleted.
    bool Remove();

    const std::string& path() const { return root_; }

private:
    std::string Prepare(const std::string& relativePath);

    std::string root_;
    std::vector<std::string> files_;
    std::vector<std::string> folders_;  // in creation order, root first
};

// This process as one TWAIN application of the installed source manager.
// Whatever it leaves open is closed when it goes away.
class Application {
public:
    explicit Application(const char* productName = "Manager Test");
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    TW_UINT16 Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                   TW_MEMREF data);
    TW_UINT16 OpenManager();
    TW_UINT16 CloseManager();
    // DAT_STATUS without a destination: the manager's own condition.
    TW_UINT16 ManagerCondition();
    // DAT_STATUS sent to a source.
    TW_UINT16 SourceCondition(TW_IDENTITY& source);
    // MSG_OPENDS asking for `productName` (empty: the default source).
    TW_UINT16 OpenSource(const std::string& productName, TW_IDENTITY& source);
    TW_UINT16 CloseSource(TW_IDENTITY& source);
    // Every source, by MSG_GETFIRST and MSG_GETNEXT up to TWRC_ENDOFLIST.
    std::vector<TW_IDENTITY> ListSources();
    // Only the test sources of ListSources(), by product name.
    std::vector<std::string> ListTestSourceNames();
    // Passes `message` (addressed to window()) to the source as an event.
    TW_UINT16 ProcessEvent(TW_IDENTITY& source, const MSG& message, TW_UINT16& twMessage);
    // Takes the next message posted to window(), if there is one.
    bool TakePostedMessage(MSG& message);

    bool loaded() const { return entry_ != nullptr; }
    TW_IDENTITY& identity() { return identity_; }
    HWND window() const { return window_; }

private:
    HMODULE module_ = nullptr;
    DSMENTRYPROC entry_ = nullptr;
    HWND window_ = nullptr;
    TW_IDENTITY identity_{};
    bool managerOpen_ = false;
    std::vector<TW_IDENTITY> openSources_;
};

// A test source the manager has loaded, looked at through its side door.
class LoadedSource {
public:
    // The copy at `path`; valid() is false when it is not loaded.
    explicit LoadedSource(const std::string& path);

    bool valid() const { return module_ != nullptr; }
    std::vector<TestSourceCall> Calls() const;
    // The last call received, or a zeroed record when there was none.
    TestSourceCall LastCall() const;
    // True when some call carried dg/dat/msg.
    bool Received(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) const;
    TW_IDENTITY SelfIdentity() const;
    TW_IDENTITY ApplicationIdentity() const;
    TW_UINT16 Notify(TW_UINT16 msg, bool fromOtherThread = false) const;

private:
    HMODULE module_ = nullptr;
};

bool IsLoaded(const std::string& path);

// Every test here starts with an empty folder of test sources and the
// manager loaded into this process; both are gone again afterwards (the
// application first, so that no source is still loaded from the folder).
class ManagerTest : public ::testing::Test {
protected:
    SourceFolder folder;
    Application app;
};

}  // namespace dsmtest
