// A host that opens, scans with and closes the source again and again in one
// process, as a long-running application does: nothing may pile up in the
// host — kernel handles, committed memory or GDI objects.
#include "tests/support/installed_source.h"
#include "tests/support/wine_support.h"

#include "common/twain.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct Footprint {
    int handles = 0;
    SIZE_T committed = 0;  // private committed bytes
    DWORD gdiObjects = 0;
};

// Wine reports no handle count, so every possible handle value is asked
// whether it names an open handle.
int OpenHandles() {
    int count = 0;
    for (ULONG_PTR h = 4; h < 0x10000; h += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    }
    return count;
}

SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

Footprint Measure() {
    return {OpenHandles(), CommittedPrivateBytes(),
            GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)};
}

// Runs `step` a few times to settle what is taken once per process, then
// `rounds` times, and checks what those left behind.
void ExpectNoGrowth(const std::function<void()>& step, int rounds = 100) {
    for (int i = 0; i < 5; ++i) {
        step();
        if (::testing::Test::HasFatalFailure()) return;
    }
    const Footprint before = Measure();
    for (int i = 0; i < rounds; ++i) {
        step();
        if (::testing::Test::HasFatalFailure()) return;
    }
    const Footprint after = Measure();
    EXPECT_LE(after.handles, before.handles) << "kernel handles left open";
    // Wine reports no GDI objects (always 0); Windows does.
    EXPECT_LE(after.gdiObjects, before.gdiObjects) << "GDI objects left behind";
    // The heap may keep a little of what it was given back; a pool lost at
    // every unload (about 73 KB) comes to megabytes, a few KB a round to
    // more than this.
    const SIZE_T grown = after.committed > before.committed ? after.committed - before.committed : 0;
    EXPECT_LT(grown, SIZE_T{128} * 1024) << grown / 1024 << " KB more committed";
}

// One whole session: open, a native scan of a one-inch square at 72 dpi
// without the setup window, close, unload.
void OneSession() {
    wintest::InstalledSource source;
    ASSERT_TRUE(source.loaded());
    ASSERT_EQ(source.Open(), TWRC_SUCCESS);
    ASSERT_EQ(source.SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
    ASSERT_EQ(source.SetCap(ICAP_XRESOLUTION, TWTY_UINT32, 72), TWRC_SUCCESS);
    TW_IMAGELAYOUT layout{};
    layout.Frame = {DoubleToFix32(1.0), DoubleToFix32(1.0), DoubleToFix32(2.0),
                    DoubleToFix32(2.0)};
    ASSERT_EQ(source.Call(DG_CONTROL, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    ASSERT_EQ(source.Enable(false), TWRC_SUCCESS);
    TW_HANDLE bitmap = nullptr;
    ASSERT_EQ(source.Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &bitmap), TWRC_XFERDONE);
    GlobalFree(static_cast<HGLOBAL>(bitmap));
    TW_PENDINGXFERS pending{};
    source.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    source.Close();
}

}  // namespace

TEST(LongRunningHost, AHundredScanSessionsLeaveNothingBehind) {
    ExpectNoGrowth(OneSession);
}

TEST(LongRunningHost, EveryModuleLoadedAgainAndAgainLeavesNothingBehind) {
    for (const char* module : {"pavo.ds", "PAVO.DLL", "prescan.dll", "toneset.dll", "gamma.dll",
                               "level.dll", "bitview.dll", "dotgrid.dll", "About.dll"}) {
        SCOPED_TRACE(module);
        const std::string path = wintest::ProductFile(module);
        ExpectNoGrowth([&path] {
            HMODULE loaded = LoadLibraryA(path.c_str());
            ASSERT_NE(loaded, nullptr);
            FreeLibrary(loaded);
        }, 30);
    }
}

