#include "ds/twain/scan_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

ScanSettings OnModel(uint16_t modelCode, uint16_t mode = kModeGray) {
    ScanSettings s = DefaultScanSettings();
    s.ModelCode = modelCode;
    ChooseScanMode(s, mode);
    return s;
}

// Prepares a scan of the default letter frame with the given regions.
void Prepare(ScanSettings& s, bool native, bool& interpolate,
             const std::array<uint16_t, 16>& regions = {}, unsigned count = 0) {
    const std::array<uint16_t, 4> frame{94, 0, 2551, 3484};
    PrepareBlockForScan(s, frame, regions, count, 112, native, interpolate);
}

// A tone store whose gamma curve n is filled with the byte 0xA0 + n.
std::vector<uint8_t> ToneStore() {
    std::vector<uint8_t> store(kToneStoreSize, 0);
    for (size_t n = 0; n < 4; ++n)
        std::memset(&store[kToneStoreGammaOffset + kToneCurveSize * n], int(0xA0 + n),
                    kToneCurveSize);
    return store;
}

}  // namespace

TEST(ScanSettingsRecord, ModuleRecordStartsInTheStartStateAndResetReturnsToIt) {
    EXPECT_TRUE(g_settings == DefaultScanSettings());
    EXPECT_EQ(g_settings.ScanMode, kModeGray);
    EXPECT_EQ(g_settings.Block.GrainCode[63], '0');
    EXPECT_EQ(g_settings.ChunkyPixels, 1u);

    ScanSettings s = OnModel(800, kModeColor);
    s.FeederPresent = 1;
    s.Brightness[1] = -7;
    ResetScanSettings(s);
    EXPECT_TRUE(s == DefaultScanSettings());
}

TEST(ScannerModels, ReportedNumbersMapToCodesSectionsAndCeilings) {
    struct Row {
        long reported;
        uint16_t code;
        const char* section;
        uint16_t base, ceiling;
    };
    const Row rows[] = {{6000, 600, "ZEB-B200CX", 300, 600},
                        {6060, 606, "ZEB-D400CX", 600, 0},
                        {8000, 800, "ZEB-C300CX", 400, 800},
                        {12000, 1200, "ZEB-A100CX", 600, 1200}};
    for (const Row& r : rows) {
        ScanSettings s = DefaultScanSettings();
        TakeReportedModel(s, r.reported);
        EXPECT_EQ(s.ModelCode, r.code) << r.reported;
        EXPECT_STREQ(ModelSectionName(r.code), r.section);
        EXPECT_EQ(ModelBaseResolution(r.code), r.base);
        EXPECT_EQ(ModelResolutionCeiling(r.code), r.ceiling);
    }
    // An unknown number keeps the model; no model means no section.
    ScanSettings s = OnModel(800);
    TakeReportedModel(s, 7000);
    EXPECT_EQ(s.ModelCode, 800);
    EXPECT_STREQ(ModelSectionName(0), "");
    EXPECT_GT(ModelBaseResolution(0), 0);  // safe to divide by before detection
}

TEST(ScannerModels, ModelNumberIsReadFromTheFiveCharacterFieldOnly) {
    std::array<uint8_t, 96> data{};
    std::memcpy(&data[kInquiryModelOffset], "1200077", 7);  // the next field follows directly
    EXPECT_EQ(ReportedModelNumber(data), 12000);
    std::memcpy(&data[kInquiryModelOffset], " 6060", 5);
    EXPECT_EQ(ReportedModelNumber(data), 6060);
    const char terminated[5] = {'8', '0', '0', '\0', '9'};
    std::memcpy(&data[kInquiryModelOffset], terminated, 5);
    EXPECT_EQ(ReportedModelNumber(data), 800);
}

TEST(Detection, PaperInTheFeederMakesTheFeederTheSourceUntilItIsTakenOut) {
    ScanSettings s = DefaultScanSettings();
    TakeDetectedOptions(s, true, true, true);
    EXPECT_EQ(s.AdapterPresent + s.FeederPresent + s.FeederEnabled + s.FeederSelected, 4u);
    EXPECT_EQ(s.Block.ScanSource, kSourceFeeder);

    TakeDetectedOptions(s, true, true, false);
    EXPECT_EQ(s.FeederPresent, 1u);
    EXPECT_EQ(s.FeederEnabled + s.FeederSelected, 0u);
    EXPECT_EQ(s.Block.ScanSource, kSourceGlass);
}

TEST(Detection, WithoutAFeederNoFeederFieldStaysSetButTheAdapterSourceDoes) {
    ScanSettings s = DefaultScanSettings();
    s.FeederEnabled = s.FeederSelected = 1;
    s.Block.ScanSource = kSourceFeeder;
    TakeDetectedOptions(s, false, false, true);  // a paper bit without a feeder means nothing
    EXPECT_EQ(s.FeederPresent + s.FeederEnabled + s.FeederSelected, 0u);
    EXPECT_EQ(s.Block.ScanSource, kSourceGlass);

    s.Block.ScanSource = kSourceAdapter;
    TakeDetectedOptions(s, true, false, false);
    EXPECT_EQ(s.Block.ScanSource, kSourceAdapter);
}

TEST(ScanModeChoice, SetsModePassBackgroundAndGammaTogether) {
    ScanSettings s = DefaultScanSettings();
    s.Block.Gamma = kGammaCurveSupplied;
    ASSERT_TRUE(ChooseScanMode(s, kModeLineArt));
    EXPECT_EQ(s.Block.BackgroundCode, 84);
    EXPECT_EQ(s.Block.Gamma, kGammaCurveSupplied);  // one-bit modes leave the selector
    ASSERT_TRUE(ChooseScanMode(s, kModeHalftone));
    EXPECT_EQ(s.Block.BackgroundCode, 72);
    ASSERT_TRUE(ChooseScanMode(s, kModeColor));
    EXPECT_EQ(s.Block.BackgroundCode, 0);
    EXPECT_EQ(s.ColorPass, 1);
    EXPECT_EQ(s.Block.Gamma, 1);
    s.Block.Gamma = kGammaCurveSupplied;
    ASSERT_TRUE(ChooseScanMode(s, kModeGray));
    EXPECT_EQ(s.ColorPass, 0);
    EXPECT_EQ(s.Block.Gamma, 1);

    // Unknown codes change nothing.
    const ScanSettings before = s;
    EXPECT_FALSE(ChooseScanMode(s, 1015));
    EXPECT_FALSE(TakeStoredScanMode(s, 1010));
    EXPECT_TRUE(s == before);
}

TEST(DisplayUnit, InchesAndPixelsSetTheBlockUnitsCentimetresAndMillimetresDoNot) {
    ScanSettings s = DefaultScanSettings();
    ASSERT_TRUE(ChooseDisplayUnit(s, kUnitPixels));
    EXPECT_EQ(s.Block.LengthUnit + s.Block.FrameUnit + s.Block.BackgroundUnit, 3);
    ASSERT_TRUE(ChooseDisplayUnit(s, kUnitMm));
    EXPECT_EQ(s.UnitFlag, kUnitMm);
    EXPECT_EQ(s.Block.FrameUnit, 1);
    ASSERT_TRUE(ChooseDisplayUnit(s, kUnitInches));
    EXPECT_EQ(s.Block.LengthUnit + s.Block.FrameUnit + s.Block.BackgroundUnit, 0);
    EXPECT_FALSE(ChooseDisplayUnit(s, 4));
    EXPECT_FALSE(ChooseDisplayUnit(s, -1));
    EXPECT_EQ(s.UnitFlag, kUnitInches);
}

TEST(ScanPreparation, FillsGeometryUnitsAndTheModelWordSent) {
    ScanSettings s = OnModel(606);
    bool interpolate = false;
    Prepare(s, false, interpolate, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}, 2);
    const ScanParameterBlock& b = s.Block;
    EXPECT_EQ(b.LengthUnit + b.FrameUnit, 2);
    EXPECT_EQ(b.PaperLength, 112);
    EXPECT_EQ(b.Frame[3], 3484);
    EXPECT_EQ(b.BackgroundWinNum, 2);
    EXPECT_EQ(b.RegionList[1][3], 8);
    EXPECT_EQ(b.RegionList[2][0], 0);  // beyond the count: left as it was
    EXPECT_EQ(b.ModelCode, 1200);      // model 606 is sent as 1200
}

TEST(ScanPreparation, ARegionCountAboveFourIsHeldToTheFourRegionsOfTheBlock) {
    ScanSettings s = OnModel(600);
    std::array<uint16_t, 16> regions;
    regions.fill(9);
    bool interpolate = false;
    Prepare(s, false, interpolate, regions, 60000);
    EXPECT_EQ(s.Block.BackgroundWinNum, 4);
    EXPECT_EQ(s.Block.RegionList[3][3], 9);
    EXPECT_EQ(s.Block.ContrastCode, 0);  // the word after the list is untouched
}

TEST(ScanPreparation, AboveTheCeilingAMemoryTransferScansAtHalfResolution) {
    ScanSettings s = OnModel(600);
    s.Resolution = 700;
    bool interpolate = false;
    Prepare(s, false, interpolate);
    EXPECT_TRUE(interpolate);
    EXPECT_EQ(s.Block.ScanRes, 350);

    s.ModelCode = 606;  // no ceiling
    Prepare(s, false, interpolate);
    EXPECT_FALSE(interpolate);
    EXPECT_EQ(s.Block.ScanRes, 700);

    s.ModelCode = 800;  // scaling counts for the ceiling, not for the half resolution
    s.Resolution = 600;
    s.Scaling = 150;
    Prepare(s, false, interpolate);
    EXPECT_TRUE(interpolate);
    EXPECT_EQ(s.Block.ScanRes, 300);
    s.Scaling = 120;
    Prepare(s, false, interpolate);
    EXPECT_FALSE(interpolate);
    EXPECT_EQ(s.Block.ScanRes, 720);
}

TEST(ScanPreparation, ANativeTransferKeepsTheFlagAndIsClampedToTheCeiling) {
    ScanSettings s = OnModel(1200);
    s.Resolution = 2400;
    bool interpolate = false;
    Prepare(s, true, interpolate);
    EXPECT_FALSE(interpolate);
    EXPECT_EQ(s.Block.ScanRes, 1200);

    interpolate = true;
    s.Resolution = 300;
    Prepare(s, true, interpolate);
    EXPECT_TRUE(interpolate);
    EXPECT_EQ(s.Block.ScanRes, 150);
}

TEST(PassPreparation, ColourPassesTakeTheirChannelAndGammaCurve) {
    ScanSettings s = OnModel(600, kModeColor);
    s.Block.Gamma = kGammaCurveSupplied;
    s.Brightness[1] = 5;
    s.Contrast[1] = -12;
    s.Shadow[1] = 20;
    s.Hilight[1] = 230;
    const std::vector<uint8_t> store = ToneStore();
    const ScanParameterBlock& b = s.Block;

    s.ColorPass = 2;
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(b.PassNumber, 2);
    EXPECT_EQ(b.BrightnessCode, 17);
    EXPECT_EQ(b.ContrastCode, 0);
    EXPECT_EQ(b.ShadowLevel, 20);
    EXPECT_EQ(b.HighlightLevel, 230);
    EXPECT_EQ(b.GammaCode[0], 0xA1);  // channel 1: the second curve
    EXPECT_EQ(b.GammaCode[255], 0xA1);
    s.ColorPass = 1;
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(b.GammaCode[0], 0xA2);  // channel 0: the third curve
    s.ColorPass = 3;
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(b.GammaCode[128], 0xA0);
    EXPECT_EQ(b.Gamma, kGammaCurveSupplied);
}

TEST(PassPreparation, GrayUsesTheSingleChannelAndTheFourthCurveOnlyWhenSelected) {
    ScanSettings s = OnModel(600);
    s.Shadow[3] = 7;
    s.Brightness[3] = -13;
    s.Contrast[3] = 250;
    s.Block.GammaCode[0] = 10;
    const std::vector<uint8_t> store = ToneStore();
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(s.Block.PassNumber, 0);
    EXPECT_EQ(s.Block.ShadowLevel, 7);
    EXPECT_EQ(s.Block.BrightnessCode, 255);  // low bytes only
    EXPECT_EQ(s.Block.ContrastCode, 6);
    EXPECT_EQ(s.Block.GammaCode[0], 10);  // selector 1: the table is left alone

    s.Block.Gamma = kGammaCurveSupplied;
    s.Brightness[3] = INT32_MAX;  // no overflow, just the low byte
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(s.Block.GammaCode[0], 0xA3);
    EXPECT_EQ(s.Block.BrightnessCode, 11);
}

TEST(PassPreparation, OneBitModesKeepTheLevelsAndDropTheGammaTable) {
    ScanSettings s = OnModel(600, kModeHalftone);
    s.Block.ShadowLevel = 3;
    s.Block.HighlightLevel = 250;
    s.Shadow[3] = 40;
    s.Block.Gamma = kGammaCurveSupplied;
    s.Block.GammaSize = 256;
    ASSERT_TRUE(PrepareBlockForPass(s, nullptr));
    EXPECT_EQ(s.Block.ShadowLevel, 3);
    EXPECT_EQ(s.Block.HighlightLevel, 250);
    EXPECT_EQ(s.Block.Gamma, 0);
    EXPECT_EQ(s.Block.GammaSize, 0);
}

TEST(PassPreparation, AColourPassOutsideOneToThreeIsRefusedUntouched) {
    ScanSettings s = OnModel(600, kModeColor);
    for (uint16_t pass : {0, 4, 65535}) {
        s.ColorPass = pass;
        const ScanSettings before = s;
        EXPECT_EQ(PassChannel(s), -1);
        EXPECT_FALSE(PrepareBlockForPass(s, nullptr));
        EXPECT_TRUE(s == before);
    }
}
