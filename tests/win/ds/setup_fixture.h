// A host that enables pavo.ds with its setup window, and a user at the
// window: commands, scroll bars, typing, list choices, clicks on the drawn
// buttons; what the window shows is read back from its controls.
#pragma once

#include "tests/support/menu_watcher.h"
#include "tests/win/ds/acquisition_fixture.h"
#include "tests/win/ds/notification_recorder.h"

#include "ds/twain/scan_settings.h"
#include "ds/ui/setup_state.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

extern "C" INT_PTR CALLBACK SetupDlgProc(HWND, UINT, WPARAM, LPARAM);

// Moves an installed file of the product folder away for the life of the
// object; a file that must be there is expected to be.
class ProductFileAway {
public:
    explicit ProductFileAway(const std::string& name, bool mustExist = true)
        : path_(wintest::ProductFile(name)), away_(path_ + ".away") {
        moved_ = MoveFileExA(path_.c_str(), away_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (mustExist) {
            EXPECT_TRUE(moved_) << name;
        }
    }
    ~ProductFileAway() {
        if (moved_) MoveFileExA(away_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    ProductFileAway(const ProductFileAway&) = delete;
    ProductFileAway& operator=(const ProductFileAway&) = delete;

private:
    std::string path_, away_;
    bool moved_ = false;
};

// A 24-bit BMP of `lines` lines as a stored prescan: every pixel grey, of
// the level `value` gives for its place (0x80 without one).
inline void WriteStoredPrescan(const std::string& path, int width, int lines,
                               uint8_t (*value)(int x, int y) = nullptr) {
    const int row = (width * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + static_cast<size_t>(row) * lines, 0x80);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(6, 0, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(width), 4);
    put(22, static_cast<uint32_t>(lines), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(30, 0, 24);
    if (value) {
        for (int y = 0; y < lines; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) file[54 + static_cast<size_t>(y) * row + 3 * x + c] = value(x, y);
    }
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(f);
}

class SetupWindowTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        // Every key a scan from the window or a prescan may write.
        ini_.KeepSetupWindowKeys();
        ini_.Keep(kScanner, "LineDelay");
    }

    void TearDown() override {
        AcquisitionTest::TearDown();
        EXPECT_EQ(g_setup.window, nullptr) << "closing the source destroys the setup window";
        if (!log_.empty()) DeleteFileA(log_.c_str());
    }

    // The virtual scanner logs its requests for this test.
    void UseLog() {
        log_ = wintest::TempPath("requests.log");
        ini_.Set(kScanner, "Log", log_);
    }
    // The last Start request the scanner received, and its frame.
    std::string LastStart() const {
        std::string start;
        for (const std::string& line : wintest::LogLines(log_))
            if (line.rfind("5 Start ", 0) == 0) start = line;
        return start;
    }
    std::array<unsigned, 4> StartFrame() const {
        std::array<unsigned, 4> f{};
        std::sscanf(wintest::Field(LastStart(), "frame").c_str(), "%u,%u,%u,%u", &f[0], &f[1],
                    &f[2], &f[3]);
        return f;
    }

    // Opens the source (with the virtual scanner's keys set beforehand) and
    // enables it with the setup window.
    HWND OpenWindow(TW_UINT16 mechanism = TWSX_MEMORY, TW_UINT16 planarChunky = TWPC_PLANAR) {
        EXPECT_EQ(Open(), TWRC_SUCCESS);
        EXPECT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
        EXPECT_EQ(SetCap(ICAP_PLANARCHUNKY, TWTY_UINT16, planarChunky), TWRC_SUCCESS);
        ui_ = TW_USERINTERFACE{1, 0, nullptr};
        EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui_), TWRC_SUCCESS);
        window_ = g_session.setupWindow;
        EXPECT_NE(window_, nullptr);
        return window_;
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool Shown(int id) const { return IsWindowVisible(Item(id)) != FALSE; }
    std::string Text(int id) const {
        char text[256] = {};
        GetDlgItemTextA(window_, id, text, sizeof text);
        return text;
    }
    std::string Title() const {
        char text[256] = {};
        GetWindowTextA(window_, text, sizeof text);
        return text;
    }

    void Command(int id, int notification = BN_CLICKED) {
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, notification), 0);
    }
    // What the dialog procedure itself answers (a dialog's SendMessage
    // result does not carry it).
    INT_PTR Procedure(UINT message, WPARAM wParam, LPARAM lParam) {
        return SetupDlgProc(window_, message, wParam, lParam);
    }
    void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    void Scroll(int bar, int code, int thumb = 0) {
        SendMessageA(window_, WM_HSCROLL, MAKEWPARAM(code, thumb),
                     reinterpret_cast<LPARAM>(Item(bar)));
    }
    // Typing into the resolution field: the edit tells the window.
    void Type(const std::string& text) { SetDlgItemTextA(window_, 1025, text.c_str()); }
    void Choose(int list, int position) {
        SendMessageA(Item(list), CB_SETCURSEL, position, 0);
        Command(list, CBN_SELCHANGE);
    }
    int Chosen(int list) const {
        return static_cast<int>(SendMessageA(Item(list), CB_GETCURSEL, 0, 0));
    }
    // A click of the left mouse button in the middle of a drawn button.
    void ClickDrawn(int id) {
        const PixelRect r = ControlRect(id);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(window_, WM_LBUTTONUP, 0, at);
    }
    // The entries of a pop-up menu that a command shows.
    std::vector<wintest::MenuItem> MenuOf(int command) {
        wintest::MenuWatcher watcher;
        Command(command);
        return watcher.Items();
    }

    // A scan from the window's Scan button, taken by memory transfer.
    std::vector<uint8_t> ScanFromWindow() {
        Click(1001);
        std::vector<uint8_t> image;
        EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE);
        EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
        return image;
    }

    TW_UINT16 EndTransfer() {
        TW_PENDINGXFERS pending{};
        return Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    }

    // Every strip of a memory transfer, joined; the return code of the last.
    TW_UINT16 TakeMemory(std::vector<uint8_t>& image) {
        std::vector<uint8_t> buffer(65536);
        TW_UINT16 rc = TWRC_SUCCESS;
        while (rc == TWRC_SUCCESS) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
            xfer.Memory.Length = static_cast<TW_UINT32>(buffer.size());
            xfer.Memory.TheMem = buffer.data();
            rc = Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            image.insert(image.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
        }
        return rc;
    }

    HWND window_ = nullptr;
    TW_USERINTERFACE ui_{};
    std::string log_;
};
