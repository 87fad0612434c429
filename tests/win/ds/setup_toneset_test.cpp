// A user at the brightness and contrast dialog, opened from the setup
// window's tool button: channels, scroll bars, Cancel and OK, the picture
// it shows and hands back, and the scan the values reach.
#include "tests/support/dialog_watcher.h"
#include "tests/win/ds/setup_fixture.h"

#include "ds/acquire/tone_tables.h"

#include <cstring>
#include <numeric>

using namespace wintest;

namespace {

constexpr int kBrightnessBar = 3001, kContrastBar = 3011, kOk = 3012, kCancel = 3013;
constexpr size_t kRed = 512;

void ScrollDialog(HWND dialog, int bar, int code, int thumb = 0) {
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(code, thumb),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, bar)));
}

// Waits until the dialog's loop has painted (the tables are written then).
void LetItPaint(HWND dialog) {
    for (int i = 0; i < 20 && GetUpdateRect(dialog, nullptr, FALSE); ++i) Sleep(10);
    Sleep(30);
}

double Mean(const std::vector<uint8_t>& image) {
    return image.empty() ? 0 : std::accumulate(image.begin(), image.end(), 0.0) / image.size();
}

}  // namespace

class TonesetTest : public SetupWindowTest {
protected:
    // Clicks the brightness/contrast tool button and lets `act` use the dialog.
    void UseDialog(const std::function<void(HWND)>& act) {
        DialogWatcher toneset(kOk, act);
        ClickDrawn(1111);
        EXPECT_EQ(toneset.Handled(), 1) << "the dialog did not open";
    }
    std::vector<uint8_t> Tables() const {
        return std::vector<uint8_t>(g_tone.address, g_tone.address + 1024);
    }
};

TEST_F(TonesetTest, WithRedOnDisplayOnlyTheRedTableChangesAndOkKeepsTheValues) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);  // Color
    Command(1063);    // colour prescans
    std::vector<uint8_t> before, after;
    UseDialog([&](HWND d) {
        PressButton(d, 3004);  // Red
        LetItPaint(d);
        before = Tables();
        ScrollDialog(d, kBrightnessBar, SB_PAGERIGHT);
        ScrollDialog(d, kContrastBar, SB_LINELEFT);
        EXPECT_EQ(ControlText(d, 3018), "4");
        EXPECT_EQ(ControlText(d, 3019), "-1");
        LetItPaint(d);
        after = Tables();
        PressButton(d, kOk);
    });
    ASSERT_EQ(before.size(), 1024u);
    for (size_t i = 0; i < 1024; ++i) {
        if (i < kRed || i >= kRed + 256) {
            ASSERT_EQ(after[i], before[i]) << "table byte " << i;
        }
    }
    EXPECT_NE(std::memcmp(after.data() + kRed, before.data() + kRed, 256), 0);
    EXPECT_EQ(g_settings.Brightness[0], 4);
    EXPECT_EQ(g_settings.Contrast[0], -1);
    EXPECT_EQ(g_settings.Brightness[1], 0) << "green keeps its pair";
}

TEST_F(TonesetTest, RgbSetsEveryColourAlikeAndTheBarEndsAreTwelve) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);
    Command(1063);
    g_settings.Brightness[1] = 5;  // green differs before the dialog
    UseDialog([&](HWND d) {
        ScrollDialog(d, kBrightnessBar, SB_LINERIGHT);
        HWND contrast = GetDlgItem(d, kContrastBar);
        SendMessageA(contrast, WM_KEYDOWN, VK_END, 0);
        EXPECT_EQ(ControlText(d, 3019), "-12") << "End";
        SendMessageA(GetDlgItem(d, kBrightnessBar), WM_KEYDOWN, VK_HOME, 0);
        EXPECT_EQ(ControlText(d, 3018), "12") << "Home";
        PressButton(d, kOk);
    });
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(g_settings.Brightness[c], 12) << c;
        EXPECT_EQ(g_settings.Contrast[c], -12) << c;
    }
    EXPECT_EQ(g_settings.Brightness[3], 0) << "grey is not a colour";
}

TEST_F(TonesetTest, CancelReturnsTheValuesAsReceivedAndKeepsTheWindowsPicture) {
    ASSERT_TRUE(OpenWindow());
    g_settings.Brightness[3] = -3;
    void* picture = g_setup.picture.viewDC;
    const PixelRect area = g_setup.PreviewArea;
    UseDialog([&](HWND d) {
        ScrollDialog(d, kBrightnessBar, SB_PAGERIGHT);
        LetItPaint(d);
        PressButton(d, kCancel);
    });
    EXPECT_EQ(g_settings.Brightness[3], -3);
    EXPECT_EQ(g_setup.picture.viewDC, picture) << "no new picture comes back";
    EXPECT_EQ(g_setup.PreviewArea, area);
    EXPECT_FALSE(g_setup.pressedTool) << "the tool button is let go";
}

TEST_F(TonesetTest, AHalfLengthPrescanIsShownAtHalfHeightAndOkAdoptsItsRendering) {
    ProductFileAway stored("QZLC0000.BMP", false);
    TempFile prescan(ProductFile("QZLC0000.BMP"));
    WriteStoredPrescan(prescan.path(), 100, 252);
    ASSERT_TRUE(OpenWindow());
    Command(1063);
    void* picture = g_setup.picture.viewDC;
    UseDialog([&](HWND d) {
        EXPECT_TRUE(ControlEnabled(d, 3017));
        PressButton(d, 3016);  // the sample picture, then OK goes back to the prescan
        PressButton(d, kOk);
    });
    ASSERT_NE(g_setup.picture.viewDC, nullptr);
    EXPECT_NE(g_setup.picture.viewDC, picture) << "the new rendering is the window's picture";
    EXPECT_EQ(g_setup.PreviewArea.Height(), g_setup.previewHeight * 252 / 504);
    BITMAP view{};
    GetObjectA(static_cast<HBITMAP>(g_setup.picture.viewBitmap), sizeof view, &view);
    EXPECT_EQ(view.bmHeight, g_setup.PreviewArea.Height());
}

TEST_F(TonesetTest, TheValuesReachTheNextScan) {
    UseLog();
    ASSERT_TRUE(OpenWindow());
    const std::vector<uint8_t> plain = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "brightness"), "12");
    UseDialog([&](HWND d) {
        for (int i = 0; i < 6; ++i) ScrollDialog(d, kBrightnessBar, SB_LINERIGHT);
        PressButton(d, kOk);
    });
    EXPECT_EQ(g_settings.Brightness[3], 6);
    const std::vector<uint8_t> brighter = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "brightness"), "18") << "+6 is sent as 18";
    EXPECT_GT(Mean(brighter), Mean(plain) + 5);
}

TEST_F(TonesetTest, WithoutAnyPictureTheDialogSaysSoAndCloses) {
    ProductFileAway grey("QZLG0000.BMP", false), sample("GIRL.BMP", false);
    ASSERT_TRUE(OpenWindow());
    MessageBoxWatcher boxes;
    DialogWatcher toneset(kOk, [](HWND) {});
    Command(1111);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Open bitmap file procedure failed.");
    EXPECT_EQ(boxes.Boxes()[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(Enabled(1001)) << "the window works on";
}

TEST_F(TonesetTest, AMissingModuleEndsTheCommandWithConditionCodeFive) {
    ProductFileAway module("toneset.dll");
    ASSERT_TRUE(OpenWindow());
    g_session.conditionCode = TWCC_SUCCESS;
    EXPECT_FALSE(Procedure(WM_COMMAND, MAKEWPARAM(1111, BN_CLICKED), 0));
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
}
