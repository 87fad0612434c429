// Scanning and prescanning from the setup window: what the host receives,
// the refusals, the close request, modules that are missing, and a scanner
// that fails while the window waits for the image.
#include "tests/win/ds/setup_fixture.h"

#include "ds/acquire/scan_job.h"
#include "ds/ui/scan_frame.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using wintest::BoxIcon;
using wintest::MessageBoxWatcher;

namespace {

// A file's bytes put back (or the file removed again) when the object goes.
class KeptFile {
public:
    explicit KeptFile(std::string path) : path_(std::move(path)) {
        existed_ = wintest::FileExists(path_);
        if (existed_) bytes_ = wintest::ReadWholeFile(path_);
    }
    ~KeptFile() {
        if (!existed_) {
            DeleteFileA(path_.c_str());
            return;
        }
        if (FILE* f = std::fopen(path_.c_str(), "wb")) {
            std::fwrite(bytes_.data(), 1, bytes_.size(), f);
            std::fclose(f);
        }
    }

private:
    std::string path_;
    bool existed_ = false;
    std::vector<unsigned char> bytes_;
};

// Files of the scan job left in the temporary folder.
int JobFilesLeft() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    int n = 0;
    WIN32_FIND_DATAA found;
    for (const char* pattern : {"tQk*", "Interp.Tmp"}) {
        HANDLE h = FindFirstFileA((std::string(folder) + pattern).c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) continue;
        do ++n;
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return n;
}

}  // namespace

class SetupScanTest : public SetupWindowTest {
protected:
    // A frame on the picture, in dialog pixels from its top left corner.
    void SetFrame(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        const PixelRect& a = g_setup.PreviewArea;
        g_setup.FrameRect = {a.left + left, a.top + top, a.left + right, a.top + bottom};
        Command(1037, CBN_SELCHANGE);  // any change brings the read-out up to date
    }

    // The image of a transfer of the given mechanism, as the host gets it.
    std::vector<uint8_t> TakeImage(TW_UINT16 mechanism, const std::string& file) {
        std::vector<uint8_t> image;
        if (mechanism == TWSX_NATIVE) {
            TW_HANDLE h = nullptr;
            EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h), TWRC_XFERDONE);
            if (h) {
                auto* bytes = static_cast<uint8_t*>(GlobalLock(h));
                image.assign(bytes, bytes + GlobalSize(h));
                GlobalUnlock(h);
                GlobalFree(h);
            }
        } else if (mechanism == TWSX_FILE) {
            EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
            const auto bytes = wintest::ReadWholeFile(file);
            image.assign(bytes.begin(), bytes.end());
        } else {
            EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE);
        }
        EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
        return image;
    }

    void SetFileName(const std::string& file) {
        TW_SETUPFILEXFER setup{};
        std::strncpy(setup.FileName, file.c_str(), sizeof setup.FileName - 1);
        setup.Format = TWFF_TIFF;
        ASSERT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    }

};

TEST_F(SetupScanTest, AScanFromTheWindowDeliversWhatTheSameFrameGivesWithoutIt) {
    UseLog();
    for (TW_UINT16 mechanism : {TWSX_NATIVE, TWSX_MEMORY, TWSX_FILE}) {
        SCOPED_TRACE(mechanism);
        const std::string file = wintest::TempPath("window.tif");
        wintest::TempFile kept(file);
        NotificationRecorder recorder;
        ASSERT_TRUE(OpenWindow(mechanism));
        if (mechanism == TWSX_FILE) SetFileName(file);
        // Drawn from bottom right to top left: the same area as the ordered frame.
        SetFrame(120, 110, 20, 30);
        Click(1001);
        ASSERT_EQ(g_session.state, kState6XferReady);
        EXPECT_EQ(recorder.Messages(), std::vector<TW_UINT16>{MSG_XFERREADY});
        EXPECT_FALSE(Enabled(1001));
        EXPECT_FALSE(Enabled(1002));
        char frameText[32];
        std::snprintf(frameText, sizeof frameText, "%-4d%-4d%-4d%-4d", g_setup.FrameRect.left,
                      g_setup.FrameRect.top, g_setup.FrameRect.right, g_setup.FrameRect.bottom);
        std::string stored = frameText;
        stored.erase(stored.find_last_not_of(' ') + 1);  // a profile keeps no trailing blank
        EXPECT_EQ(wintest::ReadWinIni("ZEB-A100CX", "Frame").value_or(""), stored)
            << "the frame is kept for the next time";
        const std::vector<uint8_t> fromWindow = TakeImage(mechanism, file);
        EXPECT_EQ(g_session.state, kState5Enabled);
        EXPECT_TRUE(Enabled(1001)) << "the window is idle again";
        EXPECT_TRUE(Enabled(1002));
        const std::string start = LastStart();
        const std::array<unsigned, 4> frame = StartFrame();
        Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);

        // The host asks for the same frame without the window.
        ASSERT_EQ(Open(), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, mechanism), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
        if (mechanism == TWSX_FILE) SetFileName(file);
        auto inches = [](unsigned units) { return (units + 0.5) / 600.0; };
        ASSERT_EQ(SetLayout(inches(frame[0]), inches(frame[1]), inches(frame[2]), inches(frame[3])),
                  TWRC_SUCCESS);
        ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
        EXPECT_EQ(LastStart(), start);
        EXPECT_EQ(TakeImage(mechanism, file), fromWindow);
        Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
    }
}

TEST_F(SetupScanTest, TooLongAColourLineIsRefusedWithInsufficientMemory) {
    ASSERT_TRUE(OpenWindow());
    Choose(1022, 3);
    Type("2400");
    ASSERT_EQ(g_settings.Resolution, 2400);
    // The widest frame under 10666 pixels a line, and one pixel more.
    const double inchesPerPixel = g_setup.InchesPerPixelX;
    int32_t widest = 1;
    while (2400 * (widest + 1) * inchesPerPixel < 10666) ++widest;
    SetFrame(0, 0, widest, 8);
    {
        MessageBoxWatcher watcher;
        Click(1001);
        EXPECT_EQ(g_session.state, kState6XferReady);
        EXPECT_TRUE(watcher.Boxes().empty());
    }
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_TRUE(Enabled(1001));

    SetFrame(0, 0, widest + 1, 8);
    MessageBoxWatcher watcher;
    Click(1001);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Insufficient Memory.");
    EXPECT_EQ(watcher.Boxes()[0].caption, "Tavlen   Flatbed Scanner");
    EXPECT_EQ(g_session.state, kState5Enabled);
    EXPECT_TRUE(Enabled(1001));
    EXPECT_TRUE(Enabled(1002));

    // Grey lines of the whole glass fit at 2400 dpi.
    Choose(1022, 2);
    SetFrame(0, 0, g_setup.previewWidth, 8);
    Click(1001);
    EXPECT_EQ(g_session.state, kState6XferReady);
}

TEST_F(SetupScanTest, CancelAsksTheHostToCloseExceptWhileAScanRuns) {
    NotificationRecorder recorder;
    ASSERT_TRUE(OpenWindow());
    Click(1003);
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(recorder.Messages(), (std::vector<TW_UINT16>{MSG_CLOSEDSREQ, MSG_CLOSEDSREQ}));
    EXPECT_EQ(g_session.state, kState5Enabled) << "the host closes, not the source";
    EXPECT_TRUE(IsWindow(window_));

    Click(1001);
    ASSERT_EQ(g_session.state, kState6XferReady);
    Command(1003);
    SendMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(recorder.Messages().size(), 3u) << "nothing while both buttons are disabled";
    std::vector<uint8_t> image;
    EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE);
    EndTransfer();
    Click(1003);
    EXPECT_EQ(recorder.Messages().back(), MSG_CLOSEDSREQ);
}

TEST_F(SetupScanTest, WhileTheHostTakesTheImageTheWindowChangesNothing) {
    ASSERT_TRUE(OpenWindow());
    Click(1001);
    ASSERT_EQ(g_session.state, kState6XferReady);
    const ScanSettings scanning = g_settings;
    // A user who keeps working in the window meanwhile.
    Choose(1022, 3);
    Type("600");
    Scroll(1030, SB_PAGERIGHT);
    Command(1004);
    Command(1219);
    EXPECT_EQ(g_settings, scanning);
    EXPECT_FALSE(Enabled(1001)) << "typing does not bring Scan back";
    std::vector<uint8_t> image;
    EXPECT_EQ(TakeMemory(image), TWRC_XFERDONE);
    EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
    // Then the controls show the settings that were scanned.
    EXPECT_EQ(Chosen(1022), 2);
    EXPECT_EQ(Text(1025), "300");
    EXPECT_TRUE(Enabled(1001));
}

TEST_F(SetupScanTest, APrescanShowsTheNewPictureAndKeepsIt) {
    KeptFile grey(wintest::ProductFile("QZLG0000.BMP"));
    KeptFile colour(wintest::ProductFile("QZLC0000.BMP"));
    ASSERT_TRUE(OpenWindow());
    const int32_t height = g_setup.PreviewArea.Height();
    Click(1002);
    ASSERT_NE(g_setup.picture.viewDC, nullptr);
    BITMAP view{};
    GetObjectA(static_cast<HBITMAP>(g_setup.picture.viewBitmap), sizeof view, &view);
    EXPECT_EQ(view.bmWidth, g_setup.previewWidth);
    EXPECT_EQ(view.bmHeight, height);
    EXPECT_TRUE(Enabled(1001));
    EXPECT_TRUE(Enabled(1002));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(wintest::FileExists(wintest::ProductFile("QZLG0000.BMP")));
    EXPECT_EQ(wintest::ReadWinIni("ZEB-A1000CX", "PaperLength"),
              std::to_string(PaperLengthEighths(height, g_setup.previewHeight)));
    EXPECT_EQ(wintest::ReadWinIni("ZEB-A1000C", "PrescanMode"), "0");

    Command(1063);
    void* before = g_setup.picture.viewDC;
    Click(1002);
    EXPECT_NE(g_setup.picture.viewDC, nullptr);
    EXPECT_NE(g_setup.picture.viewDC, before) << "the colour picture replaces the grey one";
    EXPECT_TRUE(wintest::FileExists(wintest::ProductFile("QZLC0000.BMP")));
    EXPECT_EQ(wintest::ReadWinIni("ZEB-A1000C", "PrescanMode"), "1");

    // The next window shows the stored picture; Reset opens it again.
    Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
    ASSERT_TRUE(OpenWindow());
    EXPECT_NE(g_setup.picture.viewDC, nullptr);
    // 504 lines stand for the glass: the stored picture's height comes back
    // within a pixel.
    EXPECT_NEAR(g_setup.PreviewArea.Height(), height, 1);
    Command(1004);
    EXPECT_NE(g_setup.picture.viewDC, nullptr);
}

TEST_F(SetupScanTest, MissingModulesLeaveTheWindowUsable) {
    ASSERT_TRUE(OpenWindow());
    {
        ProductFileAway away("prescan.dll");
        g_session.conditionCode = TWCC_SUCCESS;
        Click(1002);
        EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
        EXPECT_TRUE(Enabled(1001));
        EXPECT_TRUE(Enabled(1002));
        EXPECT_EQ(GetCapture(), nullptr);
    }
    Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
    ProductFileAway away("bitview.dll");
    ASSERT_TRUE(OpenWindow());
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(g_setup.picture.viewDC, nullptr);
    EXPECT_EQ(g_setup.paperPosition, g_setup.previewHeight * 360 / 504);
    Click(1001);
    EXPECT_EQ(g_session.state, kState6XferReady) << "a scan still starts";
}

struct Failure {
    const char* name;
    std::vector<std::pair<const char*, const char*>> keys;
    TW_UINT16 mechanism;
    bool atStart;         // the scan is refused at once
    const char* message;  // text of the box, or null for none
};

TEST_F(SetupScanTest, AFailingScannerReturnsTheWindowToIdle) {
    const Failure failures[] = {
        {"paper jam at the start", {{"StartFaultPass", "0"}, {"StartFaultStatus", "0x8217"}},
         TWSX_MEMORY, true, " Paper Jammed in Automatic Document Feeder"},
        {"cover open at the start", {{"StartFaultPass", "0"}, {"StartFaultStatus", "0x8414"}},
         TWSX_NATIVE, true, " Slide Scanner Cover not Closed!"},
        {"read fault in the green pass of a colour file",
         {{"ReadFaultLine", "20"}, {"ReadFaultStatus", "0x8217"}, {"ReadFaultPass", "2"}},
         TWSX_FILE, false, " Paper Jammed in Automatic Document Feeder"},
        {"ESC during a memory transfer", {{"EscapeAfterLines", "40"}}, TWSX_MEMORY, false, nullptr},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        for (const auto& [key, value] : f.keys) ini_.Set(kScanner, key, value);
        const std::string file = wintest::TempPath("failed.tif");
        const int filesBefore = JobFilesLeft();
        // Chunky strips read the scanner strip by strip, so that the ESC the
        // scanner presses after 40 lines comes while lines are still to read.
        ASSERT_TRUE(OpenWindow(f.mechanism, TWPC_CHUNKY));
        if (f.mechanism == TWSX_FILE) {
            SetFileName(file);
            Choose(1022, 3);
        }
        MessageBoxWatcher watcher;
        Click(1001);
        if (f.atStart) {
            EXPECT_EQ(g_session.state, kState5Enabled);
        } else {
            ASSERT_EQ(g_session.state, kState6XferReady);
            std::vector<uint8_t> image;
            if (f.mechanism == TWSX_FILE)
                EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_CANCEL);
            else
                EXPECT_EQ(TakeMemory(image), TWRC_CANCEL);
            EXPECT_EQ(EndTransfer(), TWRC_SUCCESS);
        }
        if (f.message) {
            ASSERT_TRUE(watcher.WaitFor(1));
            EXPECT_EQ(watcher.Boxes()[0].text, f.message);
        } else {
            wintest::PumpMessages(200);
            EXPECT_TRUE(watcher.Boxes().empty());
        }
        EXPECT_EQ(g_session.state, kState5Enabled);
        EXPECT_TRUE(Enabled(1001)) << "ready for the next scan";
        EXPECT_TRUE(Enabled(1002));
        EXPECT_FALSE(wintest::FileExists(file));
        EXPECT_EQ(JobFilesLeft(), filesBefore) << "no temporary file stays";
        Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
        for (const auto& [key, value] : f.keys) ini_.Remove(kScanner, key);
    }
}

TEST_F(SetupScanTest, AFeederScanTakesThePageFrameAndKeepsPrescanOff) {
    UseLog();
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "2");
    ASSERT_TRUE(OpenWindow());
    Click(1008);
    Click(1001);
    ASSERT_EQ(g_session.state, kState6XferReady);
    EXPECT_EQ(StartFrame(), (std::array<unsigned, 4>{49, 0, 5102, 6543})) << "Letter at 600 dpi";
    EXPECT_EQ(wintest::Field(LastStart(), "source"), "2");
    TW_PENDINGXFERS pending{};
    Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    EXPECT_TRUE(Enabled(1001));
    EXPECT_FALSE(Enabled(1002));

    // A refused scan leaves Prescan off too.
    ini_.Set(kScanner, "StartFaultPass", "0");
    ini_.Set(kScanner, "StartFaultStatus", "0x8414");
    Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
    ASSERT_TRUE(OpenWindow());
    MessageBoxWatcher watcher;
    Click(1001);
    EXPECT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(g_session.state, kState5Enabled);
    EXPECT_TRUE(Enabled(1001));
    EXPECT_FALSE(Enabled(1002));
}
