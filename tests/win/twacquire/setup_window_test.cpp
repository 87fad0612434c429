// twacquire --ui: the user works in the data source's own window; Scan hands
// the page to twacquire, closing the window ends the run as cancelled.
#include "tests/win/twacquire/twacquire_run.h"

using namespace twtest;

namespace {

constexpr char kTitle[] = "Tavlen  Flatbed Scanner Setup V1.0";

// The setup window once twacquire shows it (waiting at most 20 seconds).
HWND WaitForSetupWindow() {
    for (int i = 0; i < 400; ++i) {
        HWND window = FindWindowA("#32770", kTitle);
        if (window && IsWindowVisible(window)) return window;
        Sleep(50);
    }
    ADD_FAILURE() << "the setup window did not appear";
    return nullptr;
}

class SetupWindowRunTest : public TwacquireTest {
protected:
    void SetUp() override {
        TwacquireTest::SetUp();
        ini_.KeepSetupWindowKeys();
    }
};

}  // namespace

TEST_F(SetupWindowRunTest, TheUserPrescansAndScansAndThePageIsSaved) {
    const ProgramRun run = RunTwacquire("--ui -q -o " + Out("page.tif"), [] {
        HWND window = WaitForSetupWindow();
        if (!window) return;
        // Each click returns when the window has done what it asks.
        SendMessageA(GetDlgItem(window, 1002), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(window, 1001), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const ImageHeader h = ReadImageHeader(Out("page.tif"));
    EXPECT_EQ(h.format, "TIFF");
    EXPECT_EQ(h.bitsPerPixel, 8) << "the window opens in Gray";
    EXPECT_GT(h.width, 0u);
    EXPECT_EQ(run.out.rfind(Out("page.tif") + ": ", 0), 0u) << run.out;
}

TEST_F(SetupWindowRunTest, ClosingTheWindowEndsTheRunAsCancelled) {
    const ProgramRun run = RunTwacquire("--ui -q -o " + Out("none.tif"), [] {
        if (HWND window = WaitForSetupWindow()) PostMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(run.exitCode, 6u) << run.err;
    EXPECT_TRUE(Files().empty());
}
