// Native bitmaps of every model and mode, compared with what the virtual
// scanner delivered for the same request, and the device conditions a scan
// can meet on the way.
#include "tests/win/ds/acquisition_fixture.h"
#include "tests/win/ds/notification_recorder.h"

#include "ds/acquire/scan_job.h"
#include "ds/twain/acquisition.h"

#include <string>
#include <vector>

using wintest::MessageBoxWatcher;

namespace {

uint8_t ReverseBits(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1 << i)) r |= static_cast<uint8_t>(0x80 >> i);
    return r;
}

class NativeScanTest : public AcquisitionTest {
protected:
    // Takes the native bitmap of the running scan and compares every row with
    // the scanner's lines for the block it was sent: inverted and mirrored
    // as the settings say, colour passes as blue, green, red, bottom-up.
    void TakeAndCompare(int passes, bool oneBit) {
        const ScanParameterBlock sent = g_settings.Block;
        const bool invert = g_settings.IsInvert != 0;
        const bool mirror = g_settings.FeederSelected != 0;
        HGLOBAL dib = TakeNative();
        ASSERT_NE(dib, nullptr);
        const auto* bytes = static_cast<const uint8_t*>(GlobalLock(dib));
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
        const uint32_t colours = header->biClrUsed;
        const uint8_t* rows = bytes + 40 + 4 * colours;
        for (int p = 0; p < passes; ++p) {
            uint16_t lineBytes;
            uint32_t lines;
            const std::vector<uint8_t> raw =
                ReferencePass(sent, passes == 3 ? p + 1 : 0, lineBytes, lines);
            ASSERT_EQ(static_cast<uint32_t>(header->biHeight), lines);
            const uint32_t rowBytes = (lineBytes * passes + 3u) & ~3u;
            for (uint32_t line = 0; line < lines; ++line) {
                const uint8_t* row = rows + size_t{lines - 1 - line} * rowBytes;
                for (uint32_t x = 0; x < lineBytes; ++x) {
                    const uint32_t from = mirror ? lineBytes - 1 - x : x;
                    uint8_t v = raw[size_t{line} * lineBytes + from];
                    if (invert) v = static_cast<uint8_t>(255 - v);
                    if (mirror && oneBit) v = ReverseBits(v);
                    const uint8_t got = passes == 3 ? row[3 * x + 2 - p] : row[x];
                    ASSERT_EQ(got, v) << "pass " << p << " line " << line << " byte " << x;
                }
                for (uint32_t x = lineBytes * passes; x < rowBytes; ++x)
                    ASSERT_EQ(row[x], 0) << "padding of line " << line;
            }
        }
        GlobalUnlock(dib);
        GlobalFree(dib);
    }

    std::string RequestLog() {
        const auto text = wintest::ReadWholeFile(log_);
        return std::string(text.begin(), text.end());
    }

    void UseLog() {
        log_ = wintest::TempPath("requests.log");
        ini_.Set(kScanner, "Log", log_);
    }

    void TearDown() override {
        AcquisitionTest::TearDown();
        if (!log_.empty()) DeleteFileA(log_.c_str());
    }

    std::string log_;
};

}  // namespace

TEST_F(NativeScanTest, EveryModelDeliversEveryNegotiableModeExactly) {
    for (const char* model : {"6000", "6060", "8000", "12000"}) {
        for (TW_UINT16 type : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
            SCOPED_TRACE(std::string("model ") + model + " pixel type " + std::to_string(type));
            ini_.Set(kScanner, "Model", model);
            StartNativeScan(type);
            if (HasFatalFailure()) return;
            TakeAndCompare(type == TWPT_RGB ? 3 : 1, type == TWPT_BW);
            TearDown();
            SetUp();
        }
    }
}

TEST_F(NativeScanTest, HalftoneFromTheScanCommandIsOneBitPerPixel) {
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
    ChooseScanMode(g_settings, kModeHalftone);
    g_settings.Resolution = 300;
    // The setup window's Scan command: a frame of one inch on the 600 dpi base.
    ASSERT_TRUE(StartAcquisition(nullptr, FilmSelection{}, {600, 1200, 1200, 1500}, {}, 0, 112));
    EXPECT_EQ(g_session.state, kState6XferReady);
    EXPECT_EQ(g_settings.Block.BackgroundCode, 72);
    TakeAndCompare(1, true);
}

TEST_F(NativeScanTest, InvertedAndFeederMirroredLinesArriveAsTheUserAskedForThem) {
    for (TW_UINT16 type : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
        SCOPED_TRACE("pixel type " + std::to_string(type));
        ini_.Set("ZEB-A100CX", "IsInvert", "1");
        ini_.Set(kScanner, "Feeder", "1");
        ini_.Set(kScanner, "Pages", "2");
        StartNativeScan(type);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(g_settings.IsInvert);
        ASSERT_TRUE(g_settings.FeederSelected);
        TakeAndCompare(type == TWPT_RGB ? 3 : 1, type == TWPT_BW);
        TearDown();
        SetUp();
    }
}

TEST_F(NativeScanTest, AReadFailureIsReportedAsNotReadyAndStopsTheScanner) {
    UseLog();
    ini_.Set(kScanner, "ReadFaultLine", "120");
    ini_.Set(kScanner, "ReadFaultStatus", "0x8217");
    MessageBoxWatcher watcher;
    StartNativeScan(TWPT_GRAY);
    EXPECT_EQ(TakeNative(TWRC_CANCEL), nullptr);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(g_session.state, kState7Transferring);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].caption, "Tavlen  Flatbed Scanner not ready.");
    EXPECT_NE(RequestLog().find("7 Stop"), std::string::npos);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState5Enabled);
}

TEST_F(NativeScanTest, AnEmptyFeederReportedOnceDuringAReadIsReadAgain) {
    UseLog();
    ini_.Set(kScanner, "ReadFaultLine", "10");
    ini_.Set(kScanner, "ReadFaultStatus", "0x8321");
    ini_.Set(kScanner, "ReadFaultCount", "1");
    StartNativeScan(TWPT_GRAY);
    TakeAndCompare(1, false);
    EXPECT_NE(RequestLog().find("status=0x8321"), std::string::npos);
}

TEST_F(NativeScanTest, AScannerReportingNoLinesFailsTheStart) {
    ini_.Set(kScanner, "ZeroLineCount", "1");
    MessageBoxWatcher watcher;
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    EXPECT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState4Open);
    EXPECT_FALSE(g_job.Started);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].caption, "Tavlen  Flatbed Scanner not ready.");
}

TEST_F(NativeScanTest, AGreenPassTheScannerKeepsRefusingWaitsUntilEsc) {
    UseLog();
    ini_.Set(kScanner, "StartRefusals", "1000000");
    // The ESC comes right after the last line of the red pass.
    ini_.Set(kScanner, "EscapeAfterLines", "300");
    StartNativeScan(TWPT_RGB);
    EXPECT_EQ(TakeNative(TWRC_CANCEL), nullptr);
    const std::string log = RequestLog();
    EXPECT_EQ(log.find("pass=3"), std::string::npos) << "blue never started";
    EXPECT_NE(log.rfind("7 Stop"), std::string::npos);
    EXPECT_EQ(g_settings.ColorPass, 1);
}

TEST_F(NativeScanTest, AGreenPassStillRefusedAfterHalfAMinuteEndsWithTheScannersCondition) {
    NotificationRecorder manager;
    MessageBoxWatcher watcher;
    ini_.Set(kScanner, "StartRefusals", "1000000");
    ini_.Set(kScanner, "StartRefusalStatus", "0x8217");  // paper jam
    StartNativeScan(TWPT_RGB);
    const ULONGLONG since = GetTickCount64();
    EXPECT_EQ(TakeNative(TWRC_FAILURE), nullptr) << "the transfer call returns";
    EXPECT_GE(GetTickCount64() - since, 30000u) << "a busy scanner has had its time";
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    EXPECT_FALSE(g_job.Started);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Paper Jammed in Automatic Document Feeder");
    const std::vector<TW_UINT16> sent = manager.Messages();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), MSG_CLOSEDSREQ), 1);
}

TEST_F(NativeScanTest, AGreenPassRefusedAFewTimesIsRetriedQuietly) {
    ini_.Set(kScanner, "StartRefusals", "3");
    MessageBoxWatcher watcher;
    StartNativeScan(TWPT_RGB);
    TakeAndCompare(3, false);
    EXPECT_TRUE(watcher.Boxes().empty());
}
