// A host acquires from pavo.ds and the virtual scanner without the setup
// window: open, detection and its messages, negotiation, enable, image
// information, the native bitmap, pending transfers and close.
#include "tests/win/ds/acquisition_fixture.h"

#include "ds/acquire/scan_job.h"
#include "ds/twain/acquisition.h"

#include <vector>

using wintest::BoxIcon;
using wintest::MessageBoxWatcher;


TEST_F(AcquisitionTest, OpeningDetectsTheScannerAndItsModel) {
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState4Open);
    EXPECT_EQ(g_settings.ModelCode, 1200);
    EXPECT_EQ(g_session.appIdentity.Id, app_.Id);
    EXPECT_EQ(g_session.ownIdentity.Id, 77u);
    EXPECT_NE(g_session.driverModule, nullptr);

    TW_IDENTITY identity{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity), TWRC_SUCCESS);
    EXPECT_EQ(identity.Id, 77u);

    TW_SETUPFILEXFER file{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &file), TWRC_SUCCESS);
    const std::string name = file.FileName;
    EXPECT_EQ(name.substr(name.size() - 4), ".TIF");
    EXPECT_NE(name.find("\\TAV"), std::string::npos) << name;
    EXPECT_FALSE(wintest::FileExists(name)) << "the made-up name must not leave a file behind";

    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState3Loaded);
    EXPECT_EQ(g_session.driverModule, nullptr);
    EXPECT_EQ(g_session.appIdentity.Id, 0u);
}

TEST_F(AcquisitionTest, ASecondApplicationIsIgnoredAndASecondOpenRefused) {
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    TW_IDENTITY other = MakeApp(0x9999, "Other Host");
    TW_IDENTITY source = g_session.ownIdentity;
    // The other application sees the last outcome and changes nothing.
    EXPECT_EQ(DS_Entry(&other, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState4Open);
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
    EXPECT_EQ(DS_Entry(&other, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_MAXCONNECTIONS);
    EXPECT_EQ(Status(), TWCC_SUCCESS) << "reading the status clears it";
    EXPECT_EQ(g_session.appIdentity.Id, app_.Id);
}

TEST_F(AcquisitionTest, AScannerThatIsNotReadyIsReportedWithTheCheckList) {
    ini_.Set(kScanner, "InquiryStatus", "0x00FF");
    MessageBoxWatcher watcher;
    EXPECT_EQ(Open(), TWRC_FAILURE);
    EXPECT_EQ(g_session.conditionCode, TWCC_OPERATIONERROR);
    EXPECT_EQ(g_session.state, kState3Loaded);
    EXPECT_EQ(g_session.driverModule, nullptr);
    ASSERT_TRUE(watcher.WaitFor(1));
    const auto box = watcher.Boxes()[0];
    EXPECT_EQ(box.caption, "Tavlen  Flatbed Scanner not ready.");
    EXPECT_EQ(box.text,
              " Please make sure : 1. The Scanner is turned on. 2. The cables are connected."
              " 3. The Scanner is set up correctly and card address does not conflict"
              " with other devices.");
    EXPECT_EQ(box.icon, BoxIcon::Information);
}

TEST_F(AcquisitionTest, AMissingScannerIsReportedInTheConfiguredLanguageAndBrand) {
    ini_.Set(kScanner, "InquiryStatus", "0x0002");
    ini_.Set("ZEBINFO", "LANGUAGE", "German");
    ini_.Set("ZEBINFO", "BRAND", "Acme");
    MessageBoxWatcher watcher;
    EXPECT_EQ(Open(), TWRC_FAILURE);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].caption, "Acme  Flachbettscanner nicht gefunden.");
    EXPECT_EQ(watcher.Boxes()[0].text.substr(0, 18), " Bitte pr\xFC" "fen Sie ");
}

TEST_F(AcquisitionTest, AGreyNativeScanDeliversTheScannersLinesBottomUp) {
    StartNativeScan(TWPT_GRAY);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.ImageWidth, 300);
    EXPECT_EQ(info.ImageLength, 300);
    EXPECT_EQ(info.XResolution.Whole, 300);
    EXPECT_EQ(info.BitsPerPixel, 8);
    EXPECT_EQ(info.PixelType, TWPT_GRAY);
    const ScanParameterBlock sent = g_settings.Block;

    HGLOBAL dib = TakeNative();
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(g_session.state, kState7Transferring);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(dib));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biWidth, 300);
    EXPECT_EQ(header->biHeight, 300);
    EXPECT_EQ(header->biBitCount, 8);
    EXPECT_EQ(header->biClrUsed, 256u);
    EXPECT_EQ(GlobalSize(dib), 40u + 1024u + 300u * 300u);
    EXPECT_EQ(bytes[40 + 4 * 200], 200);  // grey ramp colour table

    uint16_t bytesPerLine;
    uint32_t lines;
    const std::vector<uint8_t> expected = ReferencePass(sent, 0, bytesPerLine, lines);
    ASSERT_EQ(lines, 300u);
    const uint8_t* rows = bytes + 40 + 1024;
    for (uint32_t line = 0; line < lines; ++line)
        ASSERT_EQ(0, std::memcmp(rows + (lines - 1 - line) * 300, &expected[line * 300], 300))
            << "line " << line;
    GlobalUnlock(dib);
    GlobalFree(dib);

    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(g_session.state, kState5Enabled);
    TW_USERINTERFACE ui{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState4Open);
}

TEST_F(AcquisitionTest, AColourNativeScanInterleavesThePassesAsBlueGreenRed) {
    StartNativeScan(TWPT_RGB);
    const ScanParameterBlock sent = g_settings.Block;
    HGLOBAL dib = TakeNative();
    ASSERT_NE(dib, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(dib));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    ASSERT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biClrUsed, 0u);
    const uint8_t* rows = bytes + 40;
    for (uint16_t pass = 1; pass <= 3; ++pass) {
        uint16_t bytesPerLine;
        uint32_t lines;
        const std::vector<uint8_t> expected = ReferencePass(sent, pass, bytesPerLine, lines);
        ASSERT_EQ(bytesPerLine, 300);
        for (uint32_t line = 0; line < lines; ++line) {
            const uint8_t* row = rows + (lines - 1 - line) * 900;
            for (uint32_t x = 0; x < 300; ++x)
                ASSERT_EQ(row[3 * x + 3 - pass], expected[line * 300 + x])
                    << "pass " << pass << " line " << line << " pixel " << x;
        }
    }
    GlobalUnlock(dib);
    GlobalFree(dib);
    EXPECT_EQ(g_settings.ColorPass, 1) << "a Color scan leaves the pass at red for the next";
}

TEST_F(AcquisitionTest, ALineArtNativeScanIsOneBitBlackAndWhite) {
    StartNativeScan(TWPT_BW);
    HGLOBAL dib = TakeNative();
    ASSERT_NE(dib, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(dib));
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(bytes);
    EXPECT_EQ(header->biBitCount, 1);
    EXPECT_EQ(header->biWidth, 304);  // 38 bytes of 8 pixels
    EXPECT_EQ(header->biClrUsed, 2u);
    EXPECT_EQ(GlobalSize(dib), 40u + 8u + 40u * 300u);
    const uint8_t white[4] = {255, 255, 255, 0};
    EXPECT_EQ(0, std::memcmp(bytes + 44, white, 4));
    GlobalUnlock(dib);
    GlobalFree(dib);
}

TEST_F(AcquisitionTest, EscDuringTheRedPassCancelsWithoutStartingGreen) {
    wintest::TempFile log(wintest::TempPath("escape.log"));
    ini_.Set(kScanner, "Log", log.path());
    ini_.Set(kScanner, "EscapeAfterLines", "100");
    StartNativeScan(TWPT_RGB);
    EXPECT_EQ(TakeNative(TWRC_CANCEL), nullptr);
    EXPECT_EQ(g_session.state, kState7Transferring);
    ini_.Remove(kScanner, "Log");
    Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);

    const auto text = wintest::ReadWholeFile(log.path());
    const std::string requests(text.begin(), text.end());
    size_t starts = 0;
    for (size_t at = requests.find("\n5 Start"); at != std::string::npos;
         at = requests.find("\n5 Start", at + 1))
        ++starts;
    EXPECT_EQ(starts, 1u) << requests;
    EXPECT_NE(requests.find("7 Stop"), std::string::npos);
}

TEST_F(AcquisitionTest, APaperJamAtTheFirstStartIsAJobFailureAndTheHostIsAskedToClose) {
    ini_.Set(kScanner, "StartFaultPass", "0");
    ini_.Set(kScanner, "StartFaultStatus", "0x8217");
    MessageBoxWatcher watcher;
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY);
    EXPECT_EQ(EnableWithoutUi(), TWRC_CANCEL);
    EXPECT_EQ(g_session.state, kState4Open);
    EXPECT_EQ(Status(), TWCC_OPERATIONERROR);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Paper Jammed in Automatic Document Feeder");
    EXPECT_EQ(watcher.Boxes()[0].caption, "Tavlen   Flatbed Scanner");
    EXPECT_EQ(watcher.Boxes()[0].icon, BoxIcon::Stop);
}

TEST_F(AcquisitionTest, AnOpenCoverAtTheFirstStartIsOnlyShown) {
    ini_.Set(kScanner, "StartFaultPass", "0");
    ini_.Set(kScanner, "StartFaultStatus", "0x8414");
    MessageBoxWatcher watcher;
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY);
    EXPECT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState4Open);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " Slide Scanner Cover not Closed!");
}

// An installation with the slow-speed version and a source language of its
// own scans grey at the slow speed; colour keeps the normal one.
TEST_F(AcquisitionTest, TheSlowSpeedInstallationSlowsGreyScansButNotColour) {
    ini_.Set("ZEBINFO", "SLOWSPEEDVER", "Yes");
    ini_.Set("ZEBINFO", "DSLANGUAGE", "Deutsch");
    StartNativeScan(TWPT_GRAY);
    EXPECT_EQ(g_settings.Block.Velocity & 0x000F, 2);
    EXPECT_EQ(g_speedIndicator, 2);
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);

    StartNativeScan(TWPT_RGB);
    EXPECT_EQ(g_settings.Block.Velocity & 0x000F, 0);
    EXPECT_EQ(g_speedIndicator, 1);
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);

    // Where the source speaks English, grey keeps the normal speed too.
    ini_.Set("ZEBINFO", "DSLANGUAGE", "English");
    StartNativeScan(TWPT_GRAY);
    EXPECT_EQ(g_settings.Block.Velocity & 0x000F, 0);
}

TEST_F(AcquisitionTest, ImageInformationIsRefusedBeforeAScanIsReady) {
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    EXPECT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(Status(), TWCC_SEQERROR);
}

TEST_F(AcquisitionTest, WithoutAFeederOneImageIsPendingAndEndingItReturnsToState5) {
    StartNativeScan(TWPT_GRAY);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 1);
    HGLOBAL dib = TakeNative();
    GlobalFree(dib);
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(g_session.state, kState5Enabled);
}

TEST_F(AcquisitionTest, ClosingDuringATransferStopsTheScanner) {
    StartNativeScan(TWPT_GRAY);
    EXPECT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(g_session.state, kState3Loaded);
    EXPECT_FALSE(g_job.Started);
}

namespace {

class FeederBatchTest : public AcquisitionTest {
protected:
    void SetUp() override {
        AcquisitionTest::SetUp();
        ini_.Set(kScanner, "Feeder", "1");
        ini_.Set(kScanner, "Pages", "3");
    }

    // The host asks for the feeder, optionally with automatic feeding, and
    // asks whether it is loaded, which makes the source count its pages.
    void NegotiateFeeder(bool autoFeed) {
        ASSERT_EQ(Open(), TWRC_SUCCESS);
        EXPECT_TRUE(g_settings.FeederSelected) << "paper in the feeder selects it at open";
        ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
        ASSERT_EQ(SetLayout(0, 0, 1, 1), TWRC_SUCCESS);
        ASSERT_EQ(SetCap(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
        if (autoFeed) {
            ASSERT_EQ(SetCap(CAP_AUTOFEED, TWTY_BOOL, 1), TWRC_SUCCESS);
        }
        TW_CAPABILITY loaded{CAP_FEEDERLOADED, TWON_DONTCARE16, nullptr};
        ASSERT_EQ(Call(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &loaded), TWRC_SUCCESS);
        auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(loaded.hContainer));
        EXPECT_EQ(one->Item, 1u);
        GlobalUnlock(loaded.hContainer);
        GlobalFree(loaded.hContainer);
    }

    // Takes one page and ends its transfer; gives the count the source
    // answers.
    TW_UINT16 TakePage() {
        HGLOBAL dib = TakeNative();
        EXPECT_NE(dib, nullptr);
        if (dib) GlobalFree(dib);
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        return pending.Count;
    }
};

}  // namespace

TEST_F(FeederBatchTest, AnAutomaticBatchOfThreePagesEndsWhenTheFeederIsEmpty) {
    NegotiateFeeder(true);
    ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    ASSERT_EQ(g_session.state, kState6XferReady);
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0xFFFF) << "an open-ended batch";
    EXPECT_FALSE(g_session.firstScanPending);

    EXPECT_EQ(TakePage(), 0xFFFF);
    EXPECT_EQ(g_session.state, kState6XferReady) << "the next page is ready at once";
    EXPECT_EQ(TakePage(), 0xFFFF);
    EXPECT_EQ(g_session.state, kState6XferReady);
    EXPECT_EQ(TakePage(), 0);
    EXPECT_EQ(g_session.state, kState5Enabled);
}

TEST_F(FeederBatchTest, WithoutAutomaticFeedingTheNextPageIsScannedWhenTheHostTakesIt) {
    NegotiateFeeder(false);
    ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    EXPECT_EQ(TakePage(), 0xFFFF);
    EXPECT_EQ(g_session.state, kState6XferReady);
    EXPECT_EQ(TakePage(), 0xFFFF);
    EXPECT_EQ(TakePage(), 0);
    EXPECT_EQ(g_session.state, kState5Enabled);
}

TEST_F(FeederBatchTest, AnEmptyFeederAtTheFirstScanIsReported) {
    ini_.Set(kScanner, "Pages", "0");
    MessageBoxWatcher watcher;
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    EXPECT_FALSE(g_settings.FeederSelected) << "no paper: the glass stays the source";
    ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    // Scanning without the dialog always takes the feeder when one is fitted.
    EXPECT_EQ(EnableWithoutUi(), TWRC_CANCEL);
    EXPECT_EQ(g_session.state, kState4Open);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].text, " No Paper in Automatic Document Feeder");
}

TEST_F(FeederBatchTest, PlanarColourPagesDeliverAllThreePlanesBeforeTheNextPage) {
    NegotiateFeeder(true);
    ASSERT_EQ(SetCap(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_PLANAR), TWRC_SUCCESS);
    ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    std::vector<uint8_t> buffer(1 << 20);
    for (int page = 0; page < 3; ++page) {
        for (int plane = 0; plane < 3; ++plane) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, static_cast<TW_UINT32>(buffer.size()),
                           buffer.data()};
            ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_XFERDONE)
                << "page " << page << " plane " << plane;
            EXPECT_EQ(xfer.YOffset, 0u);
            TW_PENDINGXFERS pending{};
            ASSERT_EQ(Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
            const TW_UINT16 expected = plane < 2 ? 2 - plane : (page < 2 ? 0xFFFF : 0);
            EXPECT_EQ(pending.Count, expected) << "page " << page << " plane " << plane;
        }
    }
    EXPECT_EQ(g_session.state, kState5Enabled);
}

TEST_F(AcquisitionTest, AReopenedSourceForgetsTheLastSessionsSwitches) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "3");
    ASSERT_EQ(Open(), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(CAP_AUTOFEED, TWTY_BOOL, 1), TWRC_SUCCESS);
    ASSERT_EQ(SetCap(ICAP_PLANARCHUNKY, TWTY_UINT16, TWPC_CHUNKY), TWRC_SUCCESS);
    ASSERT_EQ(g_session.autoFeed, 1u);
    ASSERT_EQ(Call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr), TWRC_SUCCESS);

    ASSERT_EQ(Open(), TWRC_SUCCESS);
    EXPECT_EQ(g_session.autoFeed, 0u) << "no feeder scans the host never asked for";
    ASSERT_EQ(SetCap(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
    ASSERT_EQ(SetLayout(1.0, 1.0, 2.0, 2.0), TWRC_SUCCESS);
    ASSERT_EQ(EnableWithoutUi(), TWRC_SUCCESS);
    TW_IMAGEINFO info{};
    ASSERT_EQ(Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.Planar, 1) << "memory strips are planar until this host asks otherwise";
}
