#include "common/twain.h"
#include "common/twain_names.h"

#include <gtest/gtest.h>

TEST(Fix32, ConvertsWholeAndFractionalValues) {
    EXPECT_EQ(DoubleToFix32(300.0).Whole, 300);
    EXPECT_EQ(DoubleToFix32(300.0).Frac, 0);
    EXPECT_EQ(DoubleToFix32(8.5).Whole, 8);
    EXPECT_EQ(DoubleToFix32(8.5).Frac, 0x8000);
    EXPECT_DOUBLE_EQ(Fix32ToDouble(DoubleToFix32(-1.25)), -1.25);
    EXPECT_NEAR(Fix32ToDouble(DoubleToFix32(0.1)), 0.1, 1.0 / 65536);
}

TEST(Fix32, TravelsInsideAOneValueItemAsWholeThenFraction) {
    TW_FIX32 f = DoubleToFix32(2.75);
    TW_UINT32 item = Fix32ToUint32(f);
    EXPECT_EQ(item & 0xFFFF, 2u);
    EXPECT_EQ(item >> 16, 0xC000u);
    TW_FIX32 back = Uint32ToFix32(item);
    EXPECT_EQ(back.Whole, f.Whole);
    EXPECT_EQ(back.Frac, f.Frac);
}

TEST(TwainNames, NamesKnownAndUnknownCodes) {
    EXPECT_EQ(TwainConditionName(TWCC_SEQERROR), "TWCC_SEQERROR");
    EXPECT_EQ(TwainConditionName(200), "TWCC_#200");
    EXPECT_EQ(TwainReturnName(TWRC_XFERDONE), "TWRC_XFERDONE");
    EXPECT_EQ(TwainCapabilityName(ICAP_XRESOLUTION), "ICAP_XRESOLUTION");
    EXPECT_EQ(TwainCapabilityName(0x8001), "CAP_0x8001");
}

TEST(TwainNames, FindsCapabilitiesByNameOrNumber) {
    EXPECT_EQ(TwainCapabilityByName("ICAP_PIXELTYPE"), ICAP_PIXELTYPE);
    EXPECT_EQ(TwainCapabilityByName("pixeltype"), ICAP_PIXELTYPE);
    EXPECT_EQ(TwainCapabilityByName("cap_xfercount"), CAP_XFERCOUNT);
    EXPECT_EQ(TwainCapabilityByName("0x1118"), ICAP_XRESOLUTION);
    EXPECT_EQ(TwainCapabilityByName("4376"), ICAP_XRESOLUTION);
    EXPECT_FALSE(TwainCapabilityByName("ICAP_NOSUCHTHING"));
    EXPECT_FALSE(TwainCapabilityByName("0x10000"));
    EXPECT_FALSE(TwainCapabilityByName("12abc"));
    EXPECT_FALSE(TwainCapabilityByName(""));
    EXPECT_EQ(TwainCapabilityItemType(ICAP_XRESOLUTION), TWTY_FIX32);
}
