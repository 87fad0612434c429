// A user at the halftone cell editor, opened from the option menu's "User
// Defined" cell: a cell started from a built-in one and confirmed scans
// like that cell, one of one's own scans otherwise, Cancel changes
// nothing, and without the module the window goes on.
#include "tests/support/dialog_watcher.h"
#include "tests/win/ds/setup_fixture.h"

using namespace wintest;

namespace {

constexpr int kGrid = 300, kCells = 302, kUse = 303;

// A click in the middle of a place of the 8 x 8 grid.
void ClickPlace(HWND dialog, int place) {
    RECT grid{};
    GetWindowRect(GetDlgItem(dialog, kGrid), &grid);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&grid), 2);
    const int w = (grid.right - grid.left) / 8, h = (grid.bottom - grid.top) / 8;
    const int x = grid.left + (place % 8) * w + w / 2, y = grid.top + (place / 8) * h + h / 2;
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

}  // namespace

class HalftoneTest : public SetupWindowTest {
protected:
    void UseEditor(const std::function<void(HWND)>& act) {
        DialogWatcher editor(kUse, act);
        Command(1083);
        EXPECT_EQ(editor.Handled(), 1) << "the editor did not open";
    }
};

TEST_F(HalftoneTest, ACellStartedFromABuiltInOneScansLikeItAndOneOfOnesOwnDoesNot) {
    UseLog();
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 1);  // Halftone
    g_settings.Block.Grain = 0;
    g_settings.Block.GrainBuiltIn = 0;
    const std::vector<uint8_t> builtIn = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "builtin"), "0");
    UseEditor([](HWND d) {
        SendDlgItemMessageA(d, kCells, CB_SETCURSEL, 0, 0);
        PressButton(d, kUse);
        PressButton(d, IDOK);
    });
    EXPECT_EQ(g_settings.Block.GrainBuiltIn, 1);
    const std::vector<uint8_t> same = ScanFromWindow();
    EXPECT_EQ(Field(LastStart(), "builtin"), "1");
    EXPECT_EQ(same, builtIn) << "the user cell holds the built-in cell's order";

    UseEditor([](HWND d) {
        PressButton(d, 301);  // Clear: then the places in row order turn black
        for (int place = 63; place >= 0; --place) ClickPlace(d, place);
        PressButton(d, IDOK);
    });
    EXPECT_EQ(g_settings.Block.GrainCode[63], 63) << "the first place clicked turns white last";
    EXPECT_EQ(g_settings.Block.GrainCode[0], 0);
    EXPECT_NE(ScanFromWindow(), builtIn);
}

TEST_F(HalftoneTest, CancelChangesNothingAndWithoutTheModuleTheWindowGoesOn) {
    ASSERT_TRUE(OpenWindow());
    g_settings.Block.GrainCode[5] = 77;
    UseEditor([](HWND d) {
        ClickPlace(d, 3);
        PressButton(d, IDCANCEL);
    });
    EXPECT_EQ(g_settings.Block.GrainCode[5], 77);
    EXPECT_EQ(g_settings.Block.GrainBuiltIn, 1) << "the user cell is chosen before its editor opens";

    ProductFileAway module("dotgrid.dll");
    g_session.conditionCode = TWCC_SUCCESS;
    EXPECT_FALSE(Procedure(WM_COMMAND, MAKEWPARAM(1083, BN_CLICKED), 0));
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_TRUE(Enabled(1001));
}
