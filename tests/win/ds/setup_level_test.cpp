// A user at the level dialog, opened from the setup window's tool button:
// markers dragged with the mouse, Auto, Cancel and OK, a damaged picture,
// and the scan the levels reach.
#include "tests/support/dialog_watcher.h"
#include "tests/support/message_box_watcher.h"
#include "tests/win/ds/setup_fixture.h"

#include "ds/acquire/tone_tables.h"
#include "level/level_rules.h"
#include "outside/scanner/tone.h"

#include <fstream>

using namespace wintest;

namespace {

constexpr int kOk = 7006, kCancel = 7007, kAuto = 7009;
constexpr int kShadow = 7003, kMidtone = 7004, kHighlight = 7005, kRatio = 7022;

void LetItPaint(HWND dialog) {
    for (int i = 0; i < 20 && GetUpdateRect(dialog, nullptr, FALSE); ++i) Sleep(10);
    Sleep(30);
}

// A press on the marker of `value`, a move by dx pixels and the release.
void DragMarker(HWND dialog, int value, int dx) {
    RECT bar{};
    GetWindowRect(GetDlgItem(dialog, 7029), &bar);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bar), 2);
    const int x = MarkerX(value, bar.left, bar.right - bar.left), y = bar.top + 2;
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx / 2, y));
    SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, y));
    SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
}

std::vector<uint8_t> Table(size_t at) {
    return std::vector<uint8_t>(g_tone.address + at, g_tone.address + at + 256);
}

// The stored grey prescan spans the levels 20 to 230.
uint8_t Span(int x, int) { return static_cast<uint8_t>(20 + x * 210 / 99); }

}  // namespace

class LevelTest : public SetupWindowTest {
protected:
    void SetUp() override {
        SetupWindowTest::SetUp();
        g_tone.LevelsApplied = false;  // as a session without levels has it
    }
    void UseDialog(const std::function<void(HWND)>& act) {
        DialogWatcher level(kAuto, act);
        ClickDrawn(1112);
        EXPECT_EQ(level.Handled(), 1) << "the dialog did not open";
    }
};

TEST_F(LevelTest, DraggedMarkersChangeTheTextsAndOkHandsTheLevelsBack) {
    ProductFileAway stored("QZLC0000.BMP", false);
    TempFile prescan(ProductFile("QZLC0000.BMP"));
    WriteStoredPrescan(prescan.path(), 100, 252, Span);
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);  // Color
    Command(1063);
    void* picture = g_setup.picture.viewDC;
    UseDialog([&](HWND d) {
        LetItPaint(d);
        EXPECT_EQ(ControlText(d, 7000), "RGB");
        DragMarker(d, 255, -40);
        EXPECT_EQ(ControlText(d, kHighlight), std::to_string(255 - 40));
        EXPECT_EQ(ControlText(d, kMidtone), std::to_string(215 / 2)) << "the ratio ties the midtone";
        DragMarker(d, 0, 30);
        EXPECT_EQ(ControlText(d, kShadow), "30");
        EXPECT_EQ(ControlText(d, kRatio), "50");
        LetItPaint(d);
        PressButton(d, kOk);
    });
    EXPECT_EQ(g_settings.Shadow[0], 30);
    EXPECT_EQ(g_settings.Hilight[0], 215);
    EXPECT_EQ(g_settings.Midtone[0], (30 + 215) / 2);
    EXPECT_EQ(g_settings.Hilight[1], 255) << "RGB edits the red group";
    EXPECT_EQ(g_tone.LevelChannel, 7014);
    EXPECT_TRUE(g_tone.LevelsApplied);
    const std::vector<uint8_t> red = Table(kLevelRed);
    EXPECT_EQ(Table(kLevelGreen), red) << "RGB writes the same table to every colour";
    const LevelTable expected = TableOf(LevelGroup{30, 122, 215, 50, 0});
    for (int i = 0; i < 256; ++i) ASSERT_EQ(red[i], expected[i]) << i;
    EXPECT_NE(g_setup.picture.viewDC, picture) << "the new rendering is the window's picture";
}

TEST_F(LevelTest, AfterOkTheScanIsTheScannersThroughTheLevelCurve) {
    UseLog();
    ASSERT_TRUE(OpenWindow());
    const std::vector<uint8_t> plain = ScanFromWindow();
    const scanner::ToneTable neutral = scanner::BuildToneTable(scanner::ToneSettings{});
    for (int i = 0; i < 256; ++i) ASSERT_EQ(neutral[i], i) << "the plain scan is the raw samples";
    UseDialog([&](HWND d) {
        EXPECT_EQ(ControlText(d, 7000), "Gray");
        DragMarker(d, 0, 40);
        PressButton(d, kOk);
    });
    const LevelGroup grey{g_settings.Shadow[3], g_settings.Midtone[3], g_settings.Hilight[3],
                          g_settings.Ratio[3], 0};
    EXPECT_EQ(grey.shadow, 40);
    EXPECT_EQ(g_tone.LevelChannel, 7018);
    const std::vector<uint8_t> toned = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "shadow"), "40");
    // The scanner stretches from the shadow it is sent; the level curve
    // follows on every line.
    scanner::ToneSettings sent;
    sent.shadow = 40;
    const scanner::ToneTable stretch = scanner::BuildToneTable(sent);
    const LevelTable curve = TableOf(grey);
    ASSERT_EQ(toned.size(), plain.size());
    size_t differing = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (toned[i] != curve[stretch[plain[i]]]) ++differing;
    }
    EXPECT_EQ(differing, 0u);
}

TEST_F(LevelTest, AutoTakesThePicturesExtremes) {
    ProductFileAway stored("QZLG0000.BMP", false);
    TempFile prescan(ProductFile("QZLG0000.BMP"));
    WriteStoredPrescan(prescan.path(), 100, 120, Span);
    ASSERT_TRUE(OpenWindow());
    UseDialog([&](HWND d) {
        EXPECT_TRUE(ControlEnabled(d, 7013)) << "the prescan is on display";
        PressButton(d, kAuto);
        EXPECT_EQ(ControlText(d, kShadow), "20");
        EXPECT_EQ(ControlText(d, kMidtone), "125");
        EXPECT_EQ(ControlText(d, kHighlight), "230");
        PressButton(d, kOk);
    });
    EXPECT_EQ(g_settings.Shadow[3], 20);
    EXPECT_EQ(g_settings.Hilight[3], 230);
}

TEST_F(LevelTest, CancelReturnsTheLevelsAsReceivedAndTheScanKeepsItsCurves) {
    ASSERT_TRUE(OpenWindow());
    g_settings.Shadow[3] = 5;
    const std::vector<uint8_t> before = Table(kLevelGrey);
    UseDialog([&](HWND d) {
        EXPECT_EQ(ControlText(d, kShadow), "5");
        DragMarker(d, 5, 60);
        LetItPaint(d);
        EXPECT_NE(Table(kLevelGrey), before) << "the dialog shows the levels it tries";
        PressButton(d, kCancel);
    });
    EXPECT_EQ(g_settings.Shadow[3], 5);
    EXPECT_FALSE(g_tone.LevelsApplied);
    EXPECT_EQ(Table(kLevelGrey), before);
    // The close box is a Cancel too.
    UseDialog([&](HWND d) {
        DragMarker(d, 5, 60);
        PostMessageA(d, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(g_settings.Shadow[3], 5);
    EXPECT_EQ(Table(kLevelGrey), before);
}

TEST_F(LevelTest, ADamagedPictureIsReportedAndNeverRead) {
    ProductFileAway stored("QZLG0000.BMP", false), sample("GIRL.BMP", false);
    TempFile damaged(ProductFile("QZLG0000.BMP"));
    WriteStoredPrescan(damaged.path(), 100, 120);
    {
        // A header that promises far more rows than the file holds.
        std::fstream f(damaged.path(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(22);
        const uint32_t lines = 60000;
        f.write(reinterpret_cast<const char*>(&lines), 4);
    }
    ASSERT_TRUE(OpenWindow());
    MessageBoxWatcher boxes;
    DialogWatcher level(kAuto, [](HWND) {});
    Command(1112);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Open bitmap file procedure failed.");
    EXPECT_EQ(boxes.Boxes()[0].icon, BoxIcon::Stop);
    EXPECT_FALSE(g_tone.LevelsApplied);
    EXPECT_TRUE(Enabled(1001));
}

TEST_F(LevelTest, AMissingModuleEndsTheCommandWithConditionCodeFive) {
    ProductFileAway module("level.dll");
    ASSERT_TRUE(OpenWindow());
    g_session.conditionCode = TWCC_SUCCESS;
    EXPECT_FALSE(Procedure(WM_COMMAND, MAKEWPARAM(1112, BN_CLICKED), 0));
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
}
