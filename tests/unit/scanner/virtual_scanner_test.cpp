// The virtual scanner driven request by request, the way the data source and
// the prescan module drive it: detection, a scan with its read loop, the
// feeder, every configured fault, and the request log.
#include "outside/scanner/virtual_scanner.h"
#include "tests/unit/scanner/blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace scanner;
using scannertest::GreyBlock;

namespace {

struct Rig {
    explicit Rig(ScannerConfig config = {})
        : scanner(std::move(config),
                  ScannerHooks{[this](const std::string& l) { log.push_back(l); },
                               [this] { ++escapes; },
                               [this](unsigned ms) { slept += ms; }}) {}

    InquiryRequest Inquire() {
        InquiryRequest r;
        std::memset(&r, 0, sizeof r);
        scanner.Call(&r, kDriverInquire);
        return r;
    }
    uint16_t Start(ScanParameterBlock block) {
        scanner.Call(&block, kDriverStart);
        return block.Header.Status;
    }
    ScanStatusRequest Status() {
        ScanStatusRequest r;
        std::memset(&r, 0, sizeof r);
        scanner.Call(&r, kDriverScanStatus);
        return r;
    }
    // Reads `lines` lines into `memory` (whose size and capacity are given).
    uint16_t Read(unsigned bytesPerLine, unsigned lines, unsigned delivered, std::vector<uint8_t>& memory,
                  uint16_t capacity) {
        TransferBuffer buffer{static_cast<uint32_t>(memory.size()), capacity, 0, memory.data()};
        ReadRequest r;
        std::memset(&r, 0, sizeof r);
        r.BytesPerLine = static_cast<uint16_t>(bytesPerLine);
        r.LinesToRead = lines;
        r.LinesDelivered = delivered;
        r.DescriptorCount = 1;
        r.Buffer = &buffer;
        scanner.Call(&r, kDriverRead);
        return r.Header.Status;
    }
    uint16_t Stop() {
        StopRequest r;
        std::memset(&r, 0, sizeof r);
        scanner.Call(&r, kDriverStop);
        return r.Header.Status;
    }
    // Reads a whole pass the way the data source does: ask for what is left,
    // at most what the buffer holds. Returns every byte of the pass.
    std::vector<uint8_t> ReadPass(unsigned capacityLines = 64) {
        ScanStatusRequest s = Status();
        const unsigned bpl = s.BytesPerLine;
        std::vector<uint8_t> image, buffer(static_cast<size_t>(bpl) * capacityLines);
        unsigned done = 0;
        while (true) {
            unsigned left = Status().LinesRemaining;
            if (left == 0) break;
            unsigned now = std::min(left, capacityLines);
            EXPECT_EQ(Read(bpl, now, done, buffer, static_cast<uint16_t>(capacityLines)), 0);
            image.insert(image.end(), buffer.begin(), buffer.begin() + static_cast<size_t>(now) * bpl);
            done += now;
        }
        return image;
    }

    std::vector<std::string> log;
    int escapes = 0;
    unsigned slept = 0;
    VirtualScanner scanner;
};

std::string Text(const uint8_t* at, size_t n) { return std::string(reinterpret_cast<const char*>(at), n); }

// A whole-glass grey block for the model that reports `number`.
ScanParameterBlock SmallBlock() { return GreyBlock(1200, 100, 0, 0, 1200, 600); }  // 200 x 100

}  // namespace

TEST(Detection, InquiryReportsModelFirmwareAndOptions) {
    for (unsigned model : {6000u, 6060u, 8000u, 12000u}) {
        ScannerConfig config;
        config.model = model;
        config.firmware = "2.3";
        Rig rig(config);
        InquiryRequest r = rig.Inquire();
        EXPECT_EQ(r.Header.Status, 0);
        EXPECT_EQ(std::stoi(Text(r.Data + kInquiryModelOffset, kInquiryModelLength)), static_cast<int>(model));
        EXPECT_EQ(Text(r.Data + kInquiryFirmwareOffset, kInquiryFirmwareLength), "2.3 ");
        EXPECT_EQ(r.Data[kInquiryOptionsByte], 0) << "no adapter, no feeder";
    }
    ScannerConfig config;
    config.adapter = true;
    config.feeder = true;
    config.pages = 2;
    config.colourWithFeeder = true;
    InquiryRequest r = Rig(config).Inquire();
    EXPECT_EQ(r.Data[kInquiryOptionsByte], kInquiryAdapterFitted | kInquiryFeederFitted | kInquiryPaperInFeeder);
    EXPECT_EQ(r.Data[kInquiryColourFeederByte] & kInquiryColourWithFeeder, kInquiryColourWithFeeder);
    config.pages = 0;
    config.colourWithFeeder = false;
    r = Rig(config).Inquire();
    EXPECT_EQ(r.Data[kInquiryOptionsByte], kInquiryAdapterFitted | kInquiryFeederFitted);
    EXPECT_EQ(r.Data[kInquiryColourFeederByte] & kInquiryColourWithFeeder, 0);
}

TEST(Detection, ConfiguredInquiryStatusAndNotReadyPolls) {
    ScannerConfig config;
    config.inquiryStatus = 0x0042;
    EXPECT_EQ(Rig(config).Inquire().Header.Status, 0x0042);

    config = {};
    config.notReadyPolls = 2;
    Rig rig(config);
    EXPECT_EQ(rig.Inquire().Header.Status, 0) << "detection";
    EXPECT_EQ(rig.Inquire().Header.Status, kStatusNotReady);
    EXPECT_EQ(rig.Inquire().Header.Status, kStatusNotReady);
    EXPECT_EQ(rig.Inquire().Header.Status, 0);
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    rig.ReadPass();
    EXPECT_EQ(rig.Inquire().Header.Status, kStatusNotReady) << "again after each Start";
    EXPECT_EQ(rig.Inquire().Header.Status, kStatusNotReady);
    EXPECT_EQ(rig.Inquire().Header.Status, 0);
}

TEST(GreyScan, StartStatusAndReadsDeliverThePass) {
    Rig rig;
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    ScanStatusRequest s = rig.Status();
    EXPECT_EQ(s.Header.Status, 0);
    EXPECT_EQ(s.BytesPerLine, 200);
    EXPECT_EQ(s.LinesRemaining, 100u);

    std::vector<uint8_t> buffer(200 * 30 + 16, 0xEE);
    EXPECT_EQ(rig.Read(200, 30, 0, buffer, 30), 0);
    EXPECT_EQ(rig.Status().LinesRemaining, 70u);
    for (size_t k = 200 * 30; k < buffer.size(); ++k) ASSERT_EQ(buffer[k], 0xEE) << "beyond the lines read";
    EXPECT_EQ(buffer[0], 255) << "white paper in the corner";
    EXPECT_EQ(rig.Read(200, 0, 30, buffer, 30), 0) << "nothing asked, nothing done";
    EXPECT_EQ(rig.Status().LinesRemaining, 70u);
}

TEST(GreyScan, SameBlockGivesTheSameBytesAndChunkingDoesNotMatter) {
    auto block = GreyBlock(800, 150, 200, 1800, 2800, 2400);
    block.Gamma = kGammaCurveSupplied;
    for (int i = 0; i < 256; ++i) block.GammaCode[i] = static_cast<uint8_t>(i / 2 + 64);
    Rig a, b;
    ASSERT_EQ(a.Start(block), 0);
    ASSERT_EQ(b.Start(block), 0);
    auto first = a.ReadPass(7), second = b.ReadPass(64);
    EXPECT_EQ(first.size(), size_t{975} * 225);
    EXPECT_EQ(first, second);
    EXPECT_NE(std::count(first.begin(), first.end(), 64), 0) << "black through the curve";
}

TEST(GreyScan, ReadsThatCannotBeHonouredAreRefusedWithoutWriting) {
    Rig rig;
    std::vector<uint8_t> buffer(200 * 10, 0xEE);
    EXPECT_EQ(rig.Read(200, 1, 0, buffer, 10), kStatusNoPass) << "no Start yet";
    EXPECT_EQ(rig.Status().Header.Status, kStatusNoPass);
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    EXPECT_EQ(rig.Read(200, 11, 0, buffer, 11), kStatusBadRead) << "more bytes than the buffer's size";
    EXPECT_EQ(rig.Read(200, 6, 0, buffer, 5), kStatusBadRead) << "more lines than its capacity";
    EXPECT_EQ(rig.Read(100, 2, 0, buffer, 10), kStatusBadRead) << "wrong bytes per line";
    for (uint8_t v : buffer) ASSERT_EQ(v, 0xEE);
    std::vector<uint8_t> big(200 * 200);
    EXPECT_EQ(rig.Read(200, 101, 0, big, 200), kStatusBadRead) << "more lines than the pass has";
    EXPECT_EQ(rig.Read(200, 100, 0, big, 200), 0);
    EXPECT_EQ(rig.Read(200, 1, 100, big, 200), kStatusBadRead) << "the pass is over";
    EXPECT_EQ(rig.Status().LinesRemaining, 0u);

    ReadRequest r;
    std::memset(&r, 0, sizeof r);
    r.BytesPerLine = 200;
    r.LinesToRead = 1;
    r.DescriptorCount = 1;
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    rig.scanner.Call(&r, kDriverRead);
    EXPECT_EQ(r.Header.Status, kStatusBadRead) << "no buffer";
}

TEST(GreyScan, ARefusedStartLeavesNoPass) {
    Rig rig;
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    auto bad = SmallBlock();
    bad.ScanRes = 0;
    EXPECT_EQ(rig.Start(bad), kStatusBadBlock);
    EXPECT_EQ(rig.Status().Header.Status, kStatusNoPass);
    EXPECT_EQ(rig.scanner.pass(), nullptr);
}

TEST(ColourScan, ThreePassesGiveTheComponentsOfThePatches) {
    // A 1-inch strip through the colour patches of model 6000 (base 300).
    auto block = GreyBlock(600, 50, 150, 900, 2400, 1000);
    Rig rig;
    std::vector<std::vector<uint8_t>> passes;
    for (uint16_t word = 1; word <= 3; ++word) {
        block.PassNumber = word;
        ASSERT_EQ(rig.Start(block), 0);
        passes.push_back(rig.ReadPass());
    }
    // Line 8, sample of the red patch centre (x = 0.97 in -> sample 23).
    const size_t at = 8 * 375 + 23;
    EXPECT_EQ(passes[0][at], 255);
    EXPECT_EQ(passes[1][at], 0);
    EXPECT_EQ(passes[2][at], 0);
}

TEST(Faults, StartOfAChosenPassFails) {
    ScannerConfig config;
    config.startFaultPass = 2;
    config.startFaultStatus = kStatusCoverOpen;
    Rig rig(config);
    auto block = SmallBlock();
    block.PassNumber = 1;
    EXPECT_EQ(rig.Start(block), 0);
    block.PassNumber = 2;
    EXPECT_EQ(rig.Start(block), kStatusCoverOpen);
    EXPECT_EQ(rig.Start(block), kStatusCoverOpen) << "every time";
}

TEST(Faults, LaterPassesAreRefusedNTimesEach) {
    ScannerConfig config;
    config.startRefusals = 2;
    Rig rig(config);
    auto block = SmallBlock();
    block.PassNumber = 1;
    ASSERT_EQ(rig.Start(block), 0);
    rig.ReadPass();
    for (uint16_t word : {2, 3}) {
        block.PassNumber = word;
        EXPECT_EQ(rig.Start(block), kStatusNotReady);
        EXPECT_EQ(rig.Start(block), kStatusNotReady);
        EXPECT_EQ(rig.Start(block), 0) << "pass " << word;
        rig.ReadPass();
    }
    block.PassNumber = 0;
    EXPECT_EQ(rig.Start(block), 0) << "one-pass scans are never refused";
}

TEST(Faults, SingleNoPaperReadIsClearedByTheNextRead) {
    ScannerConfig config;
    config.readFaultLine = 40;
    config.readFaultStatus = kStatusNoPaper;
    config.readFaultCount = 1;
    Rig rig(config);
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    std::vector<uint8_t> buffer(200 * 30, 0xEE);
    EXPECT_EQ(rig.Read(200, 30, 0, buffer, 30), 0);
    EXPECT_EQ(rig.Read(200, 30, 30, buffer, 30), kStatusNoPaper) << "covers line 40";
    EXPECT_EQ(rig.Status().LinesRemaining, 70u) << "nothing delivered";
    EXPECT_EQ(rig.Read(200, 30, 30, buffer, 30), 0) << "the same read again";
    EXPECT_EQ(rig.Status().LinesRemaining, 40u);
}

TEST(Faults, JamStaysUntilTheScanIsOver) {
    ScannerConfig config;
    config.readFaultLine = 0;
    config.readFaultStatus = kStatusPaperJam;
    config.readFaultPass = 2;
    Rig rig(config);
    auto block = SmallBlock();
    block.PassNumber = 1;
    ASSERT_EQ(rig.Start(block), 0);
    EXPECT_EQ(rig.ReadPass().size(), 200u * 100) << "another pass reads fine";
    block.PassNumber = 2;
    ASSERT_EQ(rig.Start(block), 0);
    std::vector<uint8_t> buffer(200 * 10);
    EXPECT_EQ(rig.Read(200, 10, 0, buffer, 10), kStatusPaperJam);
    EXPECT_EQ(rig.Read(200, 10, 0, buffer, 10), kStatusPaperJam);
}

TEST(Faults, ZeroLineCountAfterStart) {
    ScannerConfig config;
    config.zeroLineCount = true;
    Rig rig(config);
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    ScanStatusRequest s = rig.Status();
    EXPECT_EQ(s.Header.Status, 0);
    EXPECT_EQ(s.BytesPerLine, 200);
    EXPECT_EQ(s.LinesRemaining, 0u);
}

TEST(Faults, EscapeIsPressedOnceAfterNLines) {
    ScannerConfig config;
    config.escapeAfterLines = 150;
    Rig rig(config);
    auto block = SmallBlock();  // 100 lines a pass
    block.PassNumber = 1;
    ASSERT_EQ(rig.Start(block), 0);
    rig.ReadPass(64);
    EXPECT_EQ(rig.escapes, 0);
    block.PassNumber = 2;
    ASSERT_EQ(rig.Start(block), 0);
    std::vector<uint8_t> buffer(200 * 64);
    EXPECT_EQ(rig.Read(200, 40, 0, buffer, 64), 0);
    EXPECT_EQ(rig.escapes, 0);
    EXPECT_EQ(rig.Read(200, 40, 40, buffer, 64), 0);
    EXPECT_EQ(rig.escapes, 1) << "line 150 of the scan has been read";
    EXPECT_EQ(rig.Read(200, 20, 80, buffer, 64), 0);
    EXPECT_EQ(rig.escapes, 1);
}

TEST(Faults, LineDelayWaitsPerLine) {
    ScannerConfig config;
    config.lineDelayMs = 3;
    Rig rig(config);
    ASSERT_EQ(rig.Start(SmallBlock()), 0);
    std::vector<uint8_t> buffer(200 * 64);
    ASSERT_EQ(rig.Read(200, 17, 0, buffer, 64), 0);
    EXPECT_EQ(rig.slept, 51u);
}

TEST(Feeder, PagesAreCountedDownAndAnEmptyFeederRefusesTheStart) {
    ScannerConfig config;
    config.feeder = true;
    config.pages = 2;
    Rig rig(config);
    auto block = SmallBlock();
    block.ScanSource = 2;
    block.BackgroundCode = kBackgroundLineArt;
    for (int page = 0; page < 2; ++page) {
        EXPECT_TRUE(rig.Inquire().Data[kInquiryOptionsByte] & kInquiryPaperInFeeder);
        ASSERT_EQ(rig.Start(block), 0);
        EXPECT_TRUE(rig.scanner.pageInScanner());
        EXPECT_EQ(rig.ReadPass().size(), 25u * 100);
        EXPECT_FALSE(rig.scanner.pageInScanner()) << "released after its last line";
    }
    EXPECT_FALSE(rig.Inquire().Data[kInquiryOptionsByte] & kInquiryPaperInFeeder);
    EXPECT_EQ(rig.Start(block), kStatusNoPaper);
    EXPECT_EQ(rig.scanner.pagesInFeeder(), 0u);
}

TEST(Feeder, AColourPageTakesThreePassesAndStopReleasesIt) {
    ScannerConfig config;
    config.feeder = true;
    config.pages = 2;
    Rig rig(config);
    auto block = SmallBlock();
    block.ScanSource = 2;
    for (uint16_t word = 1; word <= 3; ++word) {
        block.PassNumber = word;
        ASSERT_EQ(rig.Start(block), 0) << word;
        EXPECT_EQ(rig.scanner.pagesInFeeder(), 1u) << "one page for all three passes";
        rig.ReadPass();
    }
    block.PassNumber = 1;
    ASSERT_EQ(rig.Start(block), 0);
    EXPECT_EQ(rig.scanner.pagesInFeeder(), 0u);
    EXPECT_EQ(rig.Stop(), 0);
    EXPECT_FALSE(rig.scanner.pageInScanner());
    block.PassNumber = 2;
    EXPECT_EQ(rig.Start(block), kStatusNoPaper) << "the page has gone";
}

TEST(RequestLog, OneLinePerRequestWithItsKeyFieldsAndStatus) {
    Rig rig;
    rig.Inquire();
    auto block = SmallBlock();
    block.PassNumber = 1;
    block.Gamma = kGammaCurveSupplied;
    rig.Start(block);
    std::vector<uint8_t> buffer(200 * 64);
    rig.Status();
    rig.Read(200, 64, 0, buffer, 64);
    rig.Stop();
    uint16_t unknown[4] = {};
    rig.scanner.Call(unknown, 9);
    EXPECT_EQ(unknown[1], kStatusBadOperation);
    const std::vector<std::string> expected = {
        "1 Inquire status=0x0000",
        "5 Start model=1200 res=100 frame=0,0,1200,600 background=0 pass=1 source=0 velocity=0x0001 "
        "brightness=12 contrast=12 gamma=39 shadow=0 highlight=255 grain=0 builtin=0 status=0x0000",
        "8 ScanStatus bytes=200 lines=100 status=0x0000",
        "6 Read bytes=200 lines=64 delivered=0 status=0x0000",
        "7 Stop status=0x0000",
        "9 Unknown status=0x0004",
    };
    EXPECT_EQ(rig.log, expected);
}

TEST(RequestLog, AnUnreadablePictureIsReportedAndTheChartScanned) {
    ScannerConfig config;
    config.picture = "/nonexistent/picture.bmp";
    Rig rig(config);
    EXPECT_FALSE(rig.scanner.pictureLoaded());
    ASSERT_EQ(rig.log.size(), 1u);
    EXPECT_NE(rig.log[0].find("unreadable"), std::string::npos);
    EXPECT_EQ(rig.Start(SmallBlock()), 0);
}
