// A user at the gamma curve dialog, opened from the setup window's tool
// button: the curve menu, a curve of one's own dragged with the mouse, the
// gamma value, curve files, OK and Cancel, and the scan the curve reaches.
#include "tests/support/dialog_watcher.h"
#include "tests/support/message_box_watcher.h"
#include "tests/win/ds/setup_fixture.h"

#include "ds/acquire/tone_tables.h"
#include "gamma/gamma_rules.h"

#include <cstring>
#include <fstream>

using namespace wintest;

namespace {

constexpr int kOk = 2002, kCancel = 2003, kUser = 2020, kType = 2022, kLoad = 2054, kSave = 2055;

void LetItPaint(HWND dialog) {
    for (int i = 0; i < 20 && GetUpdateRect(dialog, nullptr, FALSE); ++i) Sleep(10);
    Sleep(30);
}

// A click on a check box, as the user gives it.
void Tick(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Where a curve point of input x and output y is on the dialog.
POINT PointOnDialog(HWND dialog, int x, int y) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, 2057), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    return {r.left + x * w / 256, r.top + std::min(h - 1, h - y * h / 256)};
}

// The left button pressed on a point, moved and let go.
void DragPoint(HWND dialog, POINT from, POINT to) {
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    const POINT half{(from.x + to.x) / 2, (from.y + to.y) / 2};
    for (POINT p : {half, to}) SendMessageA(dialog, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

std::vector<uint8_t> Curve(size_t at) {
    return std::vector<uint8_t>(g_tone.address + at, g_tone.address + at + 256);
}

std::string FileText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

}  // namespace

class GammaTest : public SetupWindowTest {
protected:
    void UseDialog(const std::function<void(HWND)>& act) {
        DialogWatcher gamma(kType, act);
        ClickDrawn(1110);
        EXPECT_EQ(gamma.Handled(), 1) << "the dialog did not open";
    }
};

TEST_F(GammaTest, DarkenHilightsOnRgbWritesTheColourCurvesAndOkReturnsItsNumber) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);  // Color
    Command(1063);
    const std::vector<uint8_t> grey = Curve(kGammaGrey);
    UseDialog([&](HWND d) {
        EXPECT_FALSE(ControlEnabled(d, 2008)) << "single colours wait for a curve of one's own";
        EXPECT_FALSE(ControlEnabled(d, kLoad));
        PressButton(d, 2107);  // Monitor > Darken Hilights
        EXPECT_EQ(ControlText(d, kType), "Monitor");
        PressButton(d, kOk);
    });
    for (size_t at : {kGammaBlue, kGammaGreen, kGammaRed}) EXPECT_EQ(Curve(at)[255], 190) << at;
    EXPECT_EQ(Curve(kGammaGrey), grey);
    EXPECT_EQ(g_settings.Block.Gamma, 7);
    EXPECT_EQ(g_settings.Block.GammaSize, 0);
    EXPECT_EQ(g_tone.GammaChannel, 2007);
}

TEST_F(GammaTest, ADraggedCurveOfOnesOwnReachesTheScanner) {
    UseLog();
    ASSERT_TRUE(OpenWindow());
    const std::vector<uint8_t> plain = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "gamma"), "1");
    UseDialog([&](HWND d) {
        Tick(d, kUser);
        EXPECT_TRUE(ControlEnabled(d, kSave));
        LetItPaint(d);
        // P5 from (150, 150) down to an output near 60.
        DragPoint(d, PointOnDialog(d, 150, 150), PointOnDialog(d, 150, 60));
        LetItPaint(d);
        PressButton(d, kOk);
    });
    EXPECT_EQ(g_settings.Block.Gamma, 39);
    EXPECT_EQ(g_settings.Block.GammaSize, 256);
    EXPECT_EQ(g_tone.GammaChannel, 2011);
    const std::vector<uint8_t> curve = Curve(kGammaGrey);
    EXPECT_NEAR(curve[150], 60, 3) << "the point went where the mouse let go";
    EXPECT_EQ(curve[30], 30) << "the other points stay";

    const std::vector<uint8_t> toned = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "gamma"), "39");
    ASSERT_EQ(toned.size(), plain.size());
    size_t differing = 0;
    for (size_t i = 0; i < plain.size(); ++i) {
        if (toned[i] != curve[plain[i]]) ++differing;
    }
    EXPECT_EQ(differing, 0u) << "every sample went through the curve once";
}

TEST_F(GammaTest, CancelReturnsTheSettingsAsReceivedAndTheScanKeepsItsCurves) {
    ASSERT_TRUE(OpenWindow());
    g_settings.Block.Gamma = 39;  // a curve of one's own is in use
    const std::vector<uint8_t> before = Curve(kGammaGrey);
    void* picture = g_setup.picture.viewDC;
    UseDialog([&](HWND d) {
        PressButton(d, 2113);  // LaserJet > Darken Hilights
        LetItPaint(d);
        EXPECT_EQ(Curve(kGammaGrey)[255], 190) << "the dialog shows the curve it tries";
        PressButton(d, kCancel);
    });
    EXPECT_EQ(g_settings.Block.Gamma, 39);
    EXPECT_EQ(Curve(kGammaGrey), before) << "the next scan has the curve it had";
    EXPECT_EQ(g_tone.GammaChannel, 2011);
    EXPECT_EQ(g_setup.picture.viewDC, picture);
}

TEST_F(GammaTest, OpenedWithACurveOfOnesOwnAndOkWithoutIt) {
    ASSERT_TRUE(OpenWindow());
    g_settings.Block.Gamma = 39;
    g_settings.Block.GammaSize = 256;
    for (size_t i = 0; i < 256; ++i) g_tone.address[kGammaGrey + i] = static_cast<uint8_t>(255 - i);
    const std::vector<uint8_t> own = Curve(kGammaGrey);
    UseDialog([&](HWND d) {
        EXPECT_EQ(ControlText(d, kType), "Standard");
        PressButton(d, kOk);
    });
    EXPECT_EQ(g_settings.Block.Gamma, 39);
    EXPECT_EQ(g_settings.Block.GammaSize, 0);
    EXPECT_EQ(Curve(kGammaGrey), own) << "looking at a curve of one's own does not replace it";
}

TEST_F(GammaTest, TheGammaValueDialogTakesATenthToBelowEight) {
    ASSERT_TRUE(OpenWindow());
    std::vector<bool> okEnabled;
    UseDialog([&](HWND d) {
        DialogWatcher value(2045, [&](HWND v) {
            EXPECT_EQ(ControlText(v, 2004), "1.0");
            for (const char* text : {"8", "0.1", "abc", "2"}) {
                TypeInto(v, 2004, text);
                okEnabled.push_back(ControlEnabled(v, 2045));
            }
            PressButton(v, 2045);
        });
        PressButton(d, 2120);  // greyed without a curve of one's own: nothing opens
        EXPECT_EQ(value.Handled(), 0);
        Tick(d, kUser);
        PressButton(d, 2120);
        EXPECT_EQ(value.Handled(), 1);
        EXPECT_EQ(ControlText(d, kType), "Gamma Value");
        PressButton(d, kOk);
    });
    EXPECT_EQ(okEnabled, (std::vector<bool>{false, true, false, true}));
    // Gamma 2 moves P1 to input 4: the curve reaches 30 there.
    EXPECT_EQ(Curve(kGammaGrey)[4], 30);
}

TEST_F(GammaTest, ASavedCurveLoadsBackAndADamagedFileChangesNothing) {
    TempFile saved(ProductFile("TEST.PAL")), damaged(ProductFile("BAD.PAL"));
    { std::ofstream(damaged.path(), std::ios::binary) << "0xzz\r\nnot a curve"; }
    ASSERT_TRUE(OpenWindow());
    std::vector<uint8_t> written, standard, afterBad, afterLoad;
    MessageBoxWatcher boxes;
    UseDialog([&](HWND d) {
        Tick(d, kUser);
        PressButton(d, 2104);  // Monitor > Lighten Hilights
        written = Curve(kGammaGrey);
        DialogWatcher save(610, [](HWND s) {
            TypeInto(s, 608, "TEST.PAL");
            PressButton(s, 610);
        });
        PressButton(d, kSave);
        PressButton(d, 2101);  // Standard
        standard = Curve(kGammaGrey);
        DialogWatcher load(510, [&](HWND l) {
            EXPECT_TRUE(ChooseEntry(l, 505, "bad.pal") || ChooseEntry(l, 505, "BAD.PAL"));
            PressButton(l, 510);
            EXPECT_TRUE(boxes.WaitFor(1));
            afterBad = Curve(kGammaGrey);
            TypeInto(l, 508, "TEST.PAL");
            PressButton(l, 510);
        });
        PressButton(d, kLoad);
        afterLoad = Curve(kGammaGrey);
        PressButton(d, kOk);
    });
    GammaCurve table;
    std::copy(written.begin(), written.end(), table.begin());
    EXPECT_EQ(FileText(saved.path()), CurveFileText(table));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Save halftone pattern file procedure failed.");
    EXPECT_EQ(boxes.Boxes()[0].icon, BoxIcon::Stop);
    EXPECT_EQ(afterBad, standard) << "the damaged file left the curve in place";
    EXPECT_EQ(afterLoad, written) << "the saved curve came back";
}

TEST_F(GammaTest, AMissingModuleEndsTheCommandWithConditionCodeFive) {
    ProductFileAway module("gamma.dll");
    ASSERT_TRUE(OpenWindow());
    g_session.conditionCode = TWCC_SUCCESS;
    EXPECT_FALSE(Procedure(WM_COMMAND, MAKEWPARAM(1110, BN_CLICKED), 0));
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
}
