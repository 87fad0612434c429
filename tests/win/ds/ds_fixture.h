// A host's view of pavo.ds for the Windows tests: the data source linked
// into the test program (so its session can be inspected), its strings read
// from the installed module, and WIN.INI keys put back afterwards.
#pragma once

#include "common/twain.h"
#include "ds/twain/operations.h"
#include "ds/twain/session.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

extern "C" TW_UINT16 PAVO_TWAIN_CALL DS_Entry(TW_IDENTITY* origin, TW_UINT32 group,
                                              TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

class DataSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        resources_ = LoadLibraryExA(wintest::ProductFile("pavo.ds").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(resources_, nullptr) << "pavo.ds is not installed in the product folder";
        // A data file mapping is marked in the low bits of its handle;
        // resource functions accept it as it is.
        g_instance = reinterpret_cast<HINSTANCE>(resources_);
        ini_.Keep("ZEBINFO", "BRAND");
        ini_.Keep("ZEBINFO", "DRIVER");
        ini_.Keep("ZEBINFO", "LANGUAGE");
        InitSourceAtLoad();
        app_ = MakeApp(0x1234, "Test Host");
    }

    void TearDown() override {
        if (g_session.state >= kState4Open) Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
        if (resources_) FreeLibrary(resources_);
        g_instance = nullptr;
    }

    static TW_IDENTITY MakeApp(TW_UINT32 id, const char* product) {
        TW_IDENTITY app{};
        app.Id = id;
        std::strncpy(app.ProductName, product, sizeof app.ProductName - 1);
        app.ProtocolMajor = 1;
        app.ProtocolMinor = 5;
        app.SupportedGroups = DG_CONTROL | DG_IMAGE;
        return app;
    }

    TW_UINT16 Call(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, void* data) {
        return DS_Entry(&app_, group, dat, msg, data);
    }

    // Opens the source as a source manager would: the identity passed in
    // carries the Id the manager assigned.
    TW_UINT16 Open() {
        TW_IDENTITY source = g_session.ownIdentity;
        source.Id = 77;
        return Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
    }

    TW_UINT16 Status() {
        TW_STATUS status{};
        Call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }

    HMODULE resources_ = nullptr;
    wintest::WinIniKeys ini_;
    TW_IDENTITY app_{};
};
