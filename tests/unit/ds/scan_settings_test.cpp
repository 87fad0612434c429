#include "ds/twain/scan_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

ScanSettings OnModel(uint16_t modelCode) {
    ScanSettings s = DefaultScanSettings();
    s.ModelCode = modelCode;
    return s;
}

struct Scan {
    std::array<uint16_t, 4> frame{94, 0, 2551, 3484};
    std::array<uint16_t, 16> regions{};
    unsigned count = 0;
    uint16_t paper = 112;
};

void Prepare(ScanSettings& s, bool native, bool& interpolate, const Scan& scan = {}) {
    PrepareBlockForScan(s, scan.frame, scan.regions, scan.count, scan.paper, native, interpolate);
}

// A tone store whose gamma curve n is filled with the byte 0xA0 + n.
std::vector<uint8_t> ToneStore() {
    std::vector<uint8_t> store(kToneStoreSize, 0);
    for (size_t n = 0; n < 4; ++n)
        std::memset(store.data() + kToneStoreGammaOffset + kToneCurveSize * n,
                    static_cast<int>(0xA0 + n), kToneCurveSize);
    return store;
}

}  // namespace

TEST(ScanSettingsRecord, ModuleRecordStartsGrayAt300DpiWithTheDefaultFrame) {
    const ScanSettings& s = g_settings;
    EXPECT_EQ(s.ScanMode, kModeGray);
    EXPECT_EQ(s.ColorPass, 0);
    EXPECT_EQ(s.Resolution, 300);
    EXPECT_EQ(s.Scaling, 100);
    EXPECT_EQ(s.Block.ScanRes, 300);
    EXPECT_EQ(s.Block.PaperLength, 88);
    EXPECT_EQ(s.Block.Velocity, 1);
    EXPECT_EQ(s.Block.Grain, 2);
    EXPECT_EQ(s.Block.Gamma, 1);
    EXPECT_EQ(s.Block.Frame[0], 78);
    EXPECT_EQ(s.Block.Frame[3], 145);
    EXPECT_EQ(s.Block.GrainCode[0], '0');
    EXPECT_EQ(s.Block.GrainCode[63], '0');
    EXPECT_EQ(s.Midtone[3], 128);
    EXPECT_EQ(s.Hilight[0], 255);
    EXPECT_EQ(s.Ratio[2], 50);
    EXPECT_EQ(s.ChunkyPixels, 1u);
    EXPECT_EQ(s.ModelCode, 0);
    EXPECT_EQ(s.FeederPresent, 0u);
}

TEST(ScanSettingsRecord, ResetForgetsEverythingIncludingTheDetectedScanner) {
    ScanSettings s = OnModel(800);
    s.FeederPresent = 1;
    s.Block.ScanRes = 1200;
    s.Brightness[1] = -7;
    ResetScanSettings(s);
    EXPECT_TRUE(s == DefaultScanSettings());
}

TEST(ScannerModels, ReportedNumbersMapToCodesSectionsAndCeilings) {
    struct Row { long reported; uint16_t code; const char* section; uint16_t base, ceiling; };
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
}

TEST(ScannerModels, AnUnknownNumberKeepsTheModelAndGivesNoSection) {
    ScanSettings s = OnModel(800);
    TakeReportedModel(s, 7000);
    EXPECT_EQ(s.ModelCode, 800);
    EXPECT_STREQ(ModelSectionName(0), "");
    EXPECT_STREQ(ModelSectionName(1000), "");
    EXPECT_EQ(ModelResolutionCeiling(0), 0);
    EXPECT_GT(ModelBaseResolution(0), 0);  // safe to divide by before detection
}

TEST(ScannerModels, ModelNumberIsReadFromTheFiveCharacterFieldOnly) {
    std::array<uint8_t, 96> data{};
    std::memcpy(data.data() + kInquiryModelOffset, "12000", 5);
    std::memcpy(data.data() + kInquiryModelOffset + 5, "77", 2);  // next field, no terminator
    EXPECT_EQ(ReportedModelNumber(data), 12000);
    std::memcpy(data.data() + kInquiryModelOffset, " 6060", 5);
    EXPECT_EQ(ReportedModelNumber(data), 6060);
    std::memcpy(data.data() + kInquiryModelOffset, "800\0" "9", 5);
    EXPECT_EQ(ReportedModelNumber(data), 800);
}

TEST(Detection, PaperInTheFeederMakesTheFeederTheSource) {
    ScanSettings s = DefaultScanSettings();
    TakeDetectedOptions(s, true, true, true);
    EXPECT_EQ(s.AdapterPresent, 1u);
    EXPECT_EQ(s.FeederPresent, 1u);
    EXPECT_EQ(s.FeederEnabled, 1u);
    EXPECT_EQ(s.FeederSelected, 1u);
    EXPECT_EQ(s.Block.ScanSource, kSourceFeeder);

    // The paper is taken out and the scanner is detected again.
    TakeDetectedOptions(s, true, true, false);
    EXPECT_EQ(s.FeederPresent, 1u);
    EXPECT_EQ(s.FeederEnabled, 0u);
    EXPECT_EQ(s.FeederSelected, 0u);
    EXPECT_EQ(s.Block.ScanSource, kSourceGlass);
}

TEST(Detection, WithoutAFeederNoFeederFieldStaysSet) {
    ScanSettings s = DefaultScanSettings();
    s.FeederEnabled = s.FeederSelected = 1;
    s.Block.ScanSource = kSourceFeeder;
    TakeDetectedOptions(s, false, false, true);  // a paper bit without a feeder means nothing
    EXPECT_EQ(s.FeederPresent, 0u);
    EXPECT_EQ(s.FeederEnabled, 0u);
    EXPECT_EQ(s.FeederSelected, 0u);
    EXPECT_EQ(s.Block.ScanSource, kSourceGlass);

    s.Block.ScanSource = kSourceAdapter;
    TakeDetectedOptions(s, true, false, false);
    EXPECT_EQ(s.Block.ScanSource, kSourceAdapter);
}

TEST(ScanModeChoice, SetsModePassBackgroundAndGammaTogether) {
    ScanSettings s = DefaultScanSettings();
    s.Block.Gamma = kGammaCurveSupplied;
    ASSERT_TRUE(ChooseScanMode(s, kModeLineArt));
    EXPECT_EQ(s.ScanMode, kModeLineArt);
    EXPECT_EQ(s.Block.BackgroundCode, 84);
    EXPECT_EQ(s.ColorPass, 0);
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
}

TEST(ScanModeChoice, UnknownCodesChangeNothing) {
    ScanSettings s = DefaultScanSettings();
    ChooseScanMode(s, kModeColor);
    const ScanSettings before = s;
    EXPECT_FALSE(ChooseScanMode(s, 1015));
    EXPECT_FALSE(ChooseScanMode(s, 1010));
    EXPECT_FALSE(TakeStoredScanMode(s, 0));
    EXPECT_TRUE(s == before);
}

TEST(ScanModeChoice, AStoredModeSetsOnlyModeAndPass) {
    ScanSettings s = DefaultScanSettings();
    s.Block.Gamma = kGammaCurveSupplied;
    ASSERT_TRUE(TakeStoredScanMode(s, kModeColor));
    EXPECT_EQ(s.ColorPass, 1);
    EXPECT_EQ(s.Block.Gamma, kGammaCurveSupplied);
    ASSERT_TRUE(TakeStoredScanMode(s, kModeLineArt));
    EXPECT_EQ(s.ColorPass, 0);
    EXPECT_EQ(s.Block.BackgroundCode, 0);
}

TEST(DisplayUnit, InchesAndPixelsSetTheBlockUnitsCentimetresAndMillimetresDoNot) {
    ScanSettings s = DefaultScanSettings();
    ASSERT_TRUE(ChooseDisplayUnit(s, kUnitPixels));
    EXPECT_EQ(s.UnitFlag, kUnitPixels);
    EXPECT_EQ(s.Block.LengthUnit, 1);
    EXPECT_EQ(s.Block.FrameUnit, 1);
    EXPECT_EQ(s.Block.BackgroundUnit, 1);
    ASSERT_TRUE(ChooseDisplayUnit(s, kUnitMm));
    EXPECT_EQ(s.UnitFlag, kUnitMm);
    EXPECT_EQ(s.Block.FrameUnit, 1);
    ASSERT_TRUE(ChooseDisplayUnit(s, kUnitInches));
    EXPECT_EQ(s.Block.LengthUnit, 0);
    EXPECT_EQ(s.Block.BackgroundUnit, 0);
    EXPECT_FALSE(ChooseDisplayUnit(s, 4));
    EXPECT_FALSE(ChooseDisplayUnit(s, -1));
    EXPECT_EQ(s.UnitFlag, kUnitInches);
}

TEST(ScanPreparation, FillsGeometryUnitsAndTheModelWordSent) {
    ScanSettings s = OnModel(606);
    Scan scan;
    scan.regions = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    scan.count = 2;
    scan.paper = 80;
    bool interpolate = false;
    Prepare(s, false, interpolate, scan);
    const ScanParameterBlock& b = s.Block;
    EXPECT_EQ(b.LengthUnit, 1);
    EXPECT_EQ(b.FrameUnit, 1);
    EXPECT_EQ(b.PaperLength, 80);
    EXPECT_EQ(b.Frame[2], 2551);
    EXPECT_EQ(b.Frame[3], 3484);
    EXPECT_EQ(b.BackgroundWinNum, 2);
    EXPECT_EQ(b.RegionList[1][3], 8);
    EXPECT_EQ(b.RegionList[2][0], 0);  // beyond the count: left as it was
    EXPECT_EQ(b.ModelCode, 1200);      // model 606 is sent as 1200

    s.ModelCode = 800;
    Prepare(s, false, interpolate, scan);
    EXPECT_EQ(s.Block.ModelCode, 800);
}

TEST(ScanPreparation, ARegionCountAboveFourIsHeldToTheFourRegionsOfTheBlock) {
    ScanSettings s = OnModel(600);
    Scan scan;
    scan.regions.fill(9);
    scan.count = 60000;
    bool interpolate = false;
    Prepare(s, false, interpolate, scan);
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

    s = OnModel(606);
    s.Resolution = 700;
    Prepare(s, false, interpolate);
    EXPECT_FALSE(interpolate);  // model 606 has no ceiling
    EXPECT_EQ(s.Block.ScanRes, 700);
}

TEST(ScanPreparation, ScalingCountsForTheCeilingButNotForTheHalfResolution) {
    ScanSettings s = OnModel(800);
    s.Resolution = 600;
    s.Scaling = 150;
    bool interpolate = true;
    Prepare(s, false, interpolate);
    EXPECT_TRUE(interpolate);  // 900 dpi is above 800
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
    ScanSettings s = OnModel(600);
    ChooseScanMode(s, kModeColor);
    s.Block.Gamma = kGammaCurveSupplied;
    s.Brightness[1] = 5;
    s.Contrast[1] = -12;
    s.Shadow[1] = 20;
    s.Hilight[1] = 230;
    const std::vector<uint8_t> store = ToneStore();

    s.ColorPass = 2;
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    const ScanParameterBlock& b = s.Block;
    EXPECT_EQ(b.PassNumber, 2);
    EXPECT_EQ(b.BrightnessCode, 17);
    EXPECT_EQ(b.ContrastCode, 0);
    EXPECT_EQ(b.ShadowLevel, 20);
    EXPECT_EQ(b.HighlightLevel, 230);
    EXPECT_EQ(b.GammaCode[0], 0xA1);  // channel 1: the second curve
    EXPECT_EQ(b.GammaCode[255], 0xA1);
    EXPECT_EQ(b.Gamma, kGammaCurveSupplied);

    s.ColorPass = 1;
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(b.GammaCode[0], 0xA2);  // channel 0: the third curve
    s.ColorPass = 3;
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(b.GammaCode[128], 0xA0);
}

TEST(PassPreparation, CodesKeepOnlyTheLowByte) {
    ScanSettings s = OnModel(600);
    s.Brightness[3] = -13;
    s.Contrast[3] = 250;
    ASSERT_TRUE(PrepareBlockForPass(s, nullptr));
    EXPECT_EQ(s.Block.BrightnessCode, 255);
    EXPECT_EQ(s.Block.ContrastCode, 6);
    s.Brightness[3] = INT32_MAX;  // no overflow, just the low byte
    ASSERT_TRUE(PrepareBlockForPass(s, nullptr));
    EXPECT_EQ(s.Block.BrightnessCode, 11);
}

TEST(PassPreparation, GrayUsesTheSingleChannelAndTheFourthCurve) {
    ScanSettings s = OnModel(600);
    s.Block.Gamma = kGammaCurveSupplied;
    s.Shadow[3] = 7;
    const std::vector<uint8_t> store = ToneStore();
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(s.Block.PassNumber, 0);
    EXPECT_EQ(s.Block.ShadowLevel, 7);
    EXPECT_EQ(s.Block.GammaCode[10], 0xA3);
}

TEST(PassPreparation, WithoutTheCurveSelectorTheTableIsLeftAlone) {
    ScanSettings s = OnModel(600);
    s.Block.GammaSize = 2;
    s.Block.GammaCode[0] = 10;
    const std::vector<uint8_t> store = ToneStore();
    ASSERT_TRUE(PrepareBlockForPass(s, store.data()));
    EXPECT_EQ(s.Block.GammaCode[0], 10);
    EXPECT_EQ(s.Block.GammaSize, 2);
}

TEST(PassPreparation, OneBitModesKeepTheLevelsAndDropTheGammaTable) {
    ScanSettings s = OnModel(600);
    ChooseScanMode(s, kModeHalftone);
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
    ScanSettings s = OnModel(600);
    ChooseScanMode(s, kModeColor);
    for (uint16_t pass : {0, 4, 65535}) {
        s.ColorPass = pass;
        const ScanSettings before = s;
        EXPECT_EQ(PassChannel(s), -1);
        EXPECT_FALSE(PrepareBlockForPass(s, nullptr));
        EXPECT_TRUE(s == before);
    }
}
