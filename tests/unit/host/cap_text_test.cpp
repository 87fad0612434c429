// Capability values as --caps prints them and --set reads them.
#include "host/twacquire/cap_text.h"

#include <gtest/gtest.h>

using namespace twacquire;

namespace {

CapItem Item(TW_UINT32 number) {
    CapItem item;
    item.number = number;
    return item;
}

Container Enumeration(TW_UINT16 type, std::vector<TW_UINT32> values, TW_UINT32 current,
                      TW_UINT32 def) {
    Container c;
    c.conType = TWON_ENUMERATION;
    c.itemType = type;
    for (TW_UINT32 v : values) c.items.push_back(Item(v));
    c.currentIndex = current;
    c.defaultIndex = def;
    return c;
}

Container OneValue(TW_UINT16 type, TW_UINT32 value) {
    Container c;
    c.conType = TWON_ONEVALUE;
    c.itemType = type;
    c.items.push_back(Item(value));
    return c;
}

}  // namespace

TEST(TwacquireCapText, ListValuesCarryTheirTwainNames) {
    EXPECT_EQ(FormatItem(ICAP_PIXELTYPE, TWTY_UINT16, Item(TWPT_RGB)), "2 (TWPT_RGB)");
    EXPECT_EQ(FormatItem(ICAP_XFERMECH, TWTY_UINT16, Item(TWSX_MEMORY)), "2 (TWSX_MEMORY)");
    EXPECT_EQ(FormatItem(ICAP_XRESOLUTION, TWTY_UINT32, Item(300)), "300")
        << "numbers without names stay plain";
    EXPECT_EQ(FormatItem(CAP_SUPPORTEDCAPS, TWTY_UINT16, Item(ICAP_UNITS)), "ICAP_UNITS");
}

TEST(TwacquireCapText, SignedFixedAndBooleanValues) {
    EXPECT_EQ(FormatItem(CAP_XFERCOUNT, TWTY_INT16, Item(0xFFFFFFFF)), "-1");
    EXPECT_EQ(FormatItem(CAP_XFERCOUNT, TWTY_INT16, Item(0xFFFF)), "-1")
        << "only the item's own width counts";
    EXPECT_EQ(FormatItem(ICAP_BRIGHTNESS, TWTY_FIX32, Item(Fix32ToUint32(DoubleToFix32(-12.5)))),
              "-12.5");
    EXPECT_EQ(FormatItem(ICAP_XRESOLUTION, TWTY_FIX32, Item(Fix32ToUint32(DoubleToFix32(300)))),
              "300");
    EXPECT_EQ(FormatItem(CAP_FEEDERENABLED, TWTY_BOOL, Item(1)), "TRUE");
    EXPECT_EQ(FormatItem(CAP_FEEDERENABLED, TWTY_BOOL, Item(0)), "FALSE");
}

TEST(TwacquireCapText, AnEnumerationShowsCurrentDefaultAndChoices) {
    const Container get = Enumeration(TWTY_UINT16, {0, 1, 2}, 2, 0);
    EXPECT_EQ(DescribeCapability(ICAP_PIXELTYPE, get, std::nullopt, std::nullopt),
              "UINT16, current 2 (TWPT_RGB), default 0 (TWPT_BW), one of 0 (TWPT_BW), "
              "1 (TWPT_GRAY), 2 (TWPT_RGB)");
}

TEST(TwacquireCapText, TheAnswersToGetCurrentAndGetDefaultComeFirst) {
    const Container get = OneValue(TWTY_UINT32, 300);
    EXPECT_EQ(DescribeCapability(ICAP_XRESOLUTION, get, OneValue(TWTY_UINT32, 200),
                                 OneValue(TWTY_UINT32, 300)),
              "UINT32, current 200, default 300");
    EXPECT_EQ(DescribeCapability(ICAP_XRESOLUTION, get, std::nullopt, std::nullopt),
              "UINT32, current 300") << "a ONEVALUE alone has no default";
}

TEST(TwacquireCapText, ARangeShowsItsLimitsAndStep) {
    Container range;
    range.conType = TWON_RANGE;
    range.itemType = TWTY_FIX32;
    for (double v : {-1000.0, 1000.0, 0.5, 0.0, 250.0})
        range.items.push_back(Item(Fix32ToUint32(DoubleToFix32(v))));
    EXPECT_EQ(DescribeCapability(ICAP_BRIGHTNESS, range, std::nullopt, std::nullopt),
              "FIX32, current 250, default 0, range -1000 to 1000 step 0.5");
}

TEST(TwacquireCapText, SetValuesAreReadInTheTypeTheSourceReports) {
    std::string error;
    EXPECT_EQ(ParseItem(ICAP_XRESOLUTION, TWTY_UINT32, "600", error)->number, 600u);
    EXPECT_EQ(ParseItem(ICAP_XRESOLUTION, TWTY_FIX32, "600", error)->number,
              Fix32ToUint32(DoubleToFix32(600)))
        << "the same resolution to a source that reports FIX32";
    EXPECT_EQ(ParseItem(ICAP_CONTRAST, TWTY_FIX32, "-2.25", error)->number,
              Fix32ToUint32(DoubleToFix32(-2.25)));
    EXPECT_EQ(ParseItem(CAP_XFERCOUNT, TWTY_INT16, "-1", error)->number, 0xFFFFFFFFu);
    EXPECT_EQ(ParseItem(ICAP_COMPRESSION, TWTY_UINT16, "0x0001", error)->number, 1u);
    EXPECT_EQ(ParseItem(CAP_AUTOFEED, TWTY_BOOL, "yes", error)->number, 1u);
    EXPECT_EQ(ParseItem(CAP_AUTOFEED, TWTY_BOOL, "False", error)->number, 0u);
    EXPECT_EQ(ParseItem(CAP_CAPTION, TWTY_STR32, std::string(40, 'x'), error)->text.size(), 33u)
        << "a string is cut to its field";
}

TEST(TwacquireCapText, ValueNamesAreAcceptedWithOrWithoutPrefix) {
    std::string error;
    EXPECT_EQ(ParseItem(ICAP_PIXELTYPE, TWTY_UINT16, "TWPT_GRAY", error)->number, TWPT_GRAY);
    EXPECT_EQ(ParseItem(ICAP_PIXELTYPE, TWTY_UINT16, "rgb", error)->number, TWPT_RGB);
    EXPECT_EQ(ParseItem(ICAP_XFERMECH, TWTY_UINT16, "twsx_file", error)->number, TWSX_FILE);
    EXPECT_FALSE(ParseItem(ICAP_UNITS, TWTY_UINT16, "TWPT_RGB", error))
        << "another capability's name is not a value of this one";
    EXPECT_EQ(error, "'TWPT_RGB' is not a number or a value name of ICAP_UNITS");
}

TEST(TwacquireCapText, ValuesOutsideTheTypeAreRefusedWithTheReason) {
    std::string error;
    EXPECT_FALSE(ParseItem(ICAP_PIXELTYPE, TWTY_UINT16, "70000", error));
    EXPECT_EQ(error, "70000 is outside the range of UINT16 (0 to 65535)");
    EXPECT_FALSE(ParseItem(ICAP_PIXELTYPE, TWTY_UINT16, "-1", error));
    EXPECT_FALSE(ParseItem(ICAP_BRIGHTNESS, TWTY_FIX32, "40000", error));
    EXPECT_FALSE(ParseItem(ICAP_BRIGHTNESS, TWTY_FIX32, "bright", error));
    EXPECT_FALSE(ParseItem(CAP_AUTOFEED, TWTY_BOOL, "maybe", error));
    EXPECT_EQ(error, "'maybe' is not TRUE or FALSE");
    EXPECT_FALSE(ParseItem(ICAP_FRAMES, TWTY_FRAME, "1,2,3", error));
}

TEST(TwacquireCapText, AFrameIsFourDecimals) {
    std::string error;
    const std::optional<CapItem> f = ParseItem(ICAP_FRAMES, TWTY_FRAME, "0,0.5,8.5,11", error);
    ASSERT_TRUE(f) << error;
    EXPECT_EQ(Fix32ToDouble(f->frame.Top), 0.5);
    EXPECT_EQ(FormatItem(ICAP_FRAMES, TWTY_FRAME, *f), "0,0.5,8.5,11");
}

TEST(TwacquireCapText, TheValuesOfferedNameTheChoicesOfAListOrRange) {
    EXPECT_EQ(OfferedValues(ICAP_XFERMECH, Enumeration(TWTY_UINT16, {0, 2}, 0, 0)),
              "0 (TWSX_NATIVE), 2 (TWSX_MEMORY)");
    Container range;
    range.conType = TWON_RANGE;
    range.itemType = TWTY_UINT32;
    for (TW_UINT32 v : {50u, 1200u, 1u, 300u, 300u}) range.items.push_back(Item(v));
    EXPECT_EQ(OfferedValues(ICAP_XRESOLUTION, range), "50 to 1200 step 1");
    EXPECT_EQ(OfferedValues(ICAP_XRESOLUTION, OneValue(TWTY_UINT32, 300)), "")
        << "a single value offers no choice";
}
