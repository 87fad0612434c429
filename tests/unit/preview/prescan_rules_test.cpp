// The prescan's own arithmetic: the scanner models, the Start block for the
// glass, the transparency adapter and the feeder, the chunking of reads,
// where the samples of each pass land, the disk margin and the messages.
#include "prescan/prescan_rules.h"

#include "common/preview_render.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace prescan;

namespace {
const PrescanModel kModel600{600, 300, 600};
const PrescanModel kModel606{606, 600, 1200};
}  // namespace

TEST(PrescanMessages, TwentyIdsPerLanguageAndEnglishForTheOthers) {
    EXPECT_EQ(MessageId(0, 4), 4);
    EXPECT_EQ(MessageId(1, 4), 24);
    EXPECT_EQ(MessageId(2, 17), 57);
    for (uint16_t language : {3, 4, 5, 99}) EXPECT_EQ(MessageId(language, 15), 15) << language;
}

TEST(PrescanMessages, DriverStatusesSelectTheirTexts) {
    EXPECT_EQ(MessageForStatus(0x8217), kMsgPaperJam);
    EXPECT_EQ(MessageForStatus(0x8321), kMsgNoPaper);
    EXPECT_EQ(MessageForStatus(0x8414), kMsgCoverOpen);
    EXPECT_EQ(MessageForStatus(0x00FF), kMsgNotReady);
    EXPECT_EQ(MessageForStatus(0x0001), kMsgNotReady);
    EXPECT_EQ(MessageForInquiry(0x00FF), kMsgNotReady);
    EXPECT_EQ(MessageForInquiry(0x0002), kMsgNotFound);
    EXPECT_TRUE(IsChecklistMessage(kMsgNotReady));
    EXPECT_TRUE(IsChecklistMessage(kMsgNotFound));
    EXPECT_FALSE(IsChecklistMessage(kMsgPaperJam));
    EXPECT_FALSE(IsChecklistMessage(kMsgWriteError));
}

TEST(PrescanModels, FourScannersAndNothingElse) {
    auto m = ModelFromNumber(6060);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->modelCode, 606);
    EXPECT_EQ(m->baseResolution, 600);
    EXPECT_EQ(m->codeSent, 1200);
    EXPECT_EQ(ModelFromNumber(6000)->baseResolution, 300);
    EXPECT_EQ(ModelFromNumber(8000)->baseResolution, 400);
    EXPECT_EQ(ModelFromNumber(12000)->codeSent, 1200);
    EXPECT_FALSE(ModelFromNumber(0));
    EXPECT_FALSE(ModelFromNumber(9000));
}

TEST(PrescanModels, ModelFieldReadAsLeadingDecimal) {
    auto n = [](const char* five) { return ModelNumber(reinterpret_cast<const uint8_t*>(five)); };
    EXPECT_EQ(n("12000"), 12000);
    EXPECT_EQ(n("06000"), 6000);
    EXPECT_EQ(n(" 8000"), 8000);
    EXPECT_EQ(n("6060X"), 6060);
    EXPECT_EQ(n("AB123"), 0);
}

TEST(PrescanLength, EqualHeightsScanTheFourteenInchGlass) {
    EXPECT_EQ(PrescanLength(300, 720, 720), 4200);
    EXPECT_EQ(PrescanLength(400, 504, 504), 5600);
    EXPECT_EQ(PrescanLength(600, 100, 100), 8400);
    EXPECT_EQ(PrescanLength(300, 360, 720), 2100);  // half the glass
    EXPECT_EQ(PrescanLength(300, 100, 301), 1395);  // 300*504*100/301/36 = 1395.3
}

TEST(PrescanLength, UnusableRectanglesScanNothing) {
    EXPECT_FALSE(PrescanLength(300, 100, 0));
    EXPECT_FALSE(PrescanLength(300, 0, 100));
    EXPECT_FALSE(PrescanLength(300, -5, 100));
    EXPECT_FALSE(PrescanLength(600, 1000, 1));  // beyond 16 bits
}

TEST(PrescanStart, GreyGlassBlock) {
    ScanParameterBlock b;
    std::memset(&b, 0xCD, sizeof b);
    FillStartBlock(b, kModel600, 4200, false, 0x00010003, 0);
    EXPECT_EQ(b.LengthUnit, 1);
    EXPECT_EQ(b.PaperLength, 4200);
    EXPECT_EQ(b.FrameUnit, 1);
    EXPECT_EQ(b.Frame[0], 0);
    EXPECT_EQ(b.Frame[1], 0);
    EXPECT_EQ(b.Frame[2], 2550);  // 8.5 inches of 300
    EXPECT_EQ(b.Frame[3], 4200);
    EXPECT_EQ(b.BackgroundCode, 0);
    EXPECT_EQ(b.BackgroundUnit, 1);
    EXPECT_EQ(b.BackgroundWinNum, 0);
    for (auto& region : b.RegionList)
        for (uint16_t v : region) EXPECT_EQ(v, 0);
    EXPECT_EQ(b.ContrastCode, 12);
    EXPECT_EQ(b.BrightnessCode, 12);
    EXPECT_EQ(b.ModelCode, 600);
    EXPECT_EQ(b.ScanRes, 36);
    EXPECT_EQ(b.Velocity, 1);  // the film word counts only on the adapter
    EXPECT_EQ(b.PassNumber, 0);
    EXPECT_EQ(b.Gamma, 1);
    EXPECT_EQ(b.GammaSize, 0);
    for (uint8_t v : b.GrainCode) EXPECT_EQ(v, 0);
    for (uint8_t v : b.GammaCode) EXPECT_EQ(v, 0);
    EXPECT_EQ(b.ShadowLevel, 0);
    EXPECT_EQ(b.HighlightLevel, 255);
    EXPECT_EQ(b.ScanSource, 0);
    EXPECT_EQ(b.Header.Status, 0);
}

TEST(PrescanStart, TransparencyAdapterNarrowsTheFrameAndCarriesTheFilm) {
    ScanParameterBlock b;
    FillStartBlock(b, kModel606, 8400, true, 0x00010003, 1);  // negative film, type 3
    EXPECT_EQ(b.Frame[0], 9);
    EXPECT_EQ(b.Frame[2], 600 * 8 + 9);
    EXPECT_EQ(b.ModelCode, 1200);  // the 606 sends 1200
    EXPECT_EQ(b.Velocity, 1 | (3 << 4) | (1 << 7));
    EXPECT_EQ(b.PassNumber, 1);    // colour starts with red
    EXPECT_EQ(b.ScanSource, 1);
    FillStartBlock(b, kModel600, 4200, false, 0x00000003, 1);  // positive film
    EXPECT_EQ(b.Velocity, 0x31);
    EXPECT_EQ(b.Frame[2], 2409);
}

TEST(PrescanStart, FeederPrescansLikeTheGlass) {
    ScanParameterBlock b;
    FillStartBlock(b, kModel600, 4200, false, 0x00010003, 2);
    EXPECT_EQ(b.ScanSource, 0);
    EXPECT_EQ(b.Frame[0], 0);
    EXPECT_EQ(b.Frame[2], 2550);
    EXPECT_EQ(b.Velocity, 1);
}

TEST(PrescanReads, NeverMoreThanReadyFitsOrIsLeft) {
    EXPECT_EQ(LinesNow(100, 504, 504, 0), 100);
    EXPECT_EQ(LinesNow(600, 504, 504, 0), 504);   // capacity
    EXPECT_EQ(LinesNow(600, 1000, 504, 500), 4);  // a driver offering too much
    EXPECT_EQ(LinesNow(0, 504, 504, 0), 0);
    EXPECT_EQ(LinesNow(10, 504, 504, 504), 0);
}

TEST(PrescanReads, CapacityInWholeLinesWithinSixteenBits) {
    EXPECT_EQ(LineCapacity(308 * 504, 306), 507);  // rounded-up rows leave room
    EXPECT_EQ(LineCapacity(920 * 504, 306), 1515);
    EXPECT_EQ(LineCapacity(4000000, 10), 0xFFFF);
    EXPECT_EQ(LineCapacity(100, 0), 0);
}

TEST(PrescanDisk, PictureBytesPlusTheMargin) {
    EXPECT_EQ(DiskSpaceNeeded(308, 504), 308u * 504u + 1078u);
}

TEST(PrescanStore, GreyLinesGoThroughTheGammaAndLeaveThePadding) {
    const auto gamma = preview::DisplayGammaTable();
    const uint8_t samples[5] = {0, 1, 64, 192, 255};
    uint8_t row[8];
    std::memset(row, 0xEE, sizeof row);
    StoreLine(samples, 5, false, 0, gamma.data(), row);
    const uint8_t expected[8] = {0, 12, 118, 218, 255, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(std::memcmp(row, expected, 8), 0);
}

TEST(PrescanStore, ThreePassesFillRedGreenBlueInReverseByteOrder) {
    const auto gamma = preview::DisplayGammaTable();
    const uint8_t red[2] = {128, 0}, green[2] = {2, 255}, blue[2] = {64, 1};
    std::vector<uint8_t> row(8, 0xEE);
    StoreLine(red, 2, true, 0, gamma.data(), row.data());
    StoreLine(green, 2, true, 1, gamma.data(), row.data());
    StoreLine(blue, 2, true, 2, gamma.data(), row.data());
    // Pixel bytes are blue, green, red.
    EXPECT_EQ(row, (std::vector<uint8_t>{118, 17, 174, 12, 255, 0, 0xEE, 0xEE}));
}
