// Tone of a pass: the block's brightness, contrast, levels and gamma curve
// turned into one table.
#include "outside/scanner/tone.h"
#include "tests/unit/scanner/blocks.h"

#include <gtest/gtest.h>

using namespace scanner;

namespace {

bool IsIdentity(const ToneTable& t) {
    for (int i = 0; i < 256; ++i)
        if (t[i] != i) return false;
    return true;
}

ToneTable FromBlock(const ScanParameterBlock& b, bool negative = false) {
    return BuildToneTable(ToneSettingsFromBlock(b, negative));
}

}  // namespace

TEST(ToneCodes, ValuePlusTwelveInTheLowByte) {
    EXPECT_EQ(DecodeToneCode(12), 0);
    EXPECT_EQ(DecodeToneCode(0), -12);
    EXPECT_EQ(DecodeToneCode(24), 12);
    EXPECT_EQ(DecodeToneCode(17), 5);
    EXPECT_EQ(DecodeToneCode(0xFF00 | 12), 0) << "only the low byte counts";
    EXPECT_EQ(DecodeToneCode(200), -12) << "out of range is limited";
    EXPECT_EQ(DecodeToneCode(40), 12);
}

TEST(ToneTable, NeutralBlockLeavesSamplesAlone) {
    auto b = scannertest::GreyBlock(600, 300, 0, 0, 10, 10);
    EXPECT_TRUE(IsIdentity(FromBlock(b)));
    b.ShadowLevel = 0;
    b.HighlightLevel = 0;  // a block whose levels were never set
    EXPECT_TRUE(IsIdentity(FromBlock(b)));
}

TEST(ToneTable, BrightnessShiftsAndContrastSteepens) {
    auto b = scannertest::GreyBlock(600, 300, 0, 0, 10, 10);
    b.BrightnessCode = 24;  // +12
    ToneTable brighter = FromBlock(b);
    EXPECT_EQ(brighter[0], 26);   // a tenth of the range
    EXPECT_EQ(brighter[128], 154);
    EXPECT_EQ(brighter[250], 255);
    b.BrightnessCode = 0;  // -12
    ToneTable darker = FromBlock(b);
    EXPECT_EQ(darker[0], 0);
    EXPECT_EQ(darker[128], 103);

    b.BrightnessCode = 12;
    b.ContrastCode = 24;
    ToneTable steeper = FromBlock(b);
    EXPECT_LT(steeper[50], 50);
    EXPECT_GT(steeper[200], 200);
    EXPECT_NEAR(steeper[128], 128, 1);
    b.ContrastCode = 0;
    ToneTable flatter = FromBlock(b);
    EXPECT_GT(flatter[0], 0);
    EXPECT_LT(flatter[255], 255);
}

TEST(ToneTable, ShadowAndHighlightStretchTheRange) {
    auto b = scannertest::GreyBlock(600, 300, 0, 0, 10, 10);
    b.ShadowLevel = 50;
    b.HighlightLevel = 200;
    ToneTable t = FromBlock(b);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[50], 0);
    EXPECT_EQ(t[125], 127);
    EXPECT_EQ(t[200], 255);
    EXPECT_EQ(t[230], 255);
    for (int i = 1; i < 256; ++i) EXPECT_GE(t[i], t[i - 1]);

    b.ShadowLevel = 100;
    b.HighlightLevel = 100;  // collapsed: a hard step
    t = FromBlock(b);
    EXPECT_EQ(t[100], 0);
    EXPECT_EQ(t[101], 255);
}

TEST(ToneTable, GammaCurveAppliesOnlyWithSelector39) {
    auto b = scannertest::GreyBlock(600, 300, 0, 0, 10, 10);
    for (int i = 0; i < 256; ++i) b.GammaCode[i] = static_cast<uint8_t>(255 - i);
    EXPECT_TRUE(IsIdentity(FromBlock(b))) << "selector 1: the curve is not for this pass";
    b.Gamma = kGammaCurveSupplied;
    ToneTable t = FromBlock(b);
    EXPECT_EQ(t[0], 255);
    EXPECT_EQ(t[255], 0);
    EXPECT_EQ(t[100], 155);
    // The curve comes after the level stretch.
    b.ShadowLevel = 0;
    b.HighlightLevel = 127;
    EXPECT_EQ(FromBlock(b)[127], 0);
}

TEST(ToneTable, NegativeFilmInvertsBeforeEverythingElse) {
    auto b = scannertest::GreyBlock(600, 300, 0, 0, 10, 10);
    ToneTable t = FromBlock(b, true);
    EXPECT_EQ(t[0], 255);
    EXPECT_EQ(t[255], 0);
    EXPECT_EQ(t[40], 215);
    b.ShadowLevel = 0;
    b.HighlightLevel = 128;
    EXPECT_EQ(FromBlock(b, true)[255], 0);
    EXPECT_EQ(FromBlock(b, true)[127], 255) << "inverted 128 is the highlight";
}
