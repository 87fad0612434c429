// Capability containers as sources hand them over and as twacquire sends
// them.
#include "host/twacquire/cap_container.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace twacquire;

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

}  // namespace

TEST(TwacquireCapContainer, AnEnumerationOfResolutionsWithItsCurrentAndDefault) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_FIX32);
    Put32(b, 3);  // items
    Put32(b, 2);  // current
    Put32(b, 1);  // default
    for (double dpi : {100.0, 150.5, 300.0}) Put32(b, Fix32ToUint32(DoubleToFix32(dpi)));
    const std::optional<Container> c = DecodeContainer(TWON_ENUMERATION, b);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->itemType, TWTY_FIX32);
    ASSERT_EQ(c->items.size(), 3u);
    EXPECT_EQ(Fix32ToDouble(Uint32ToFix32(c->items[1].number)), 150.5);
    EXPECT_EQ(Fix32ToDouble(Uint32ToFix32(CurrentItem(*c)->number)), 300.0);
    EXPECT_EQ(Fix32ToDouble(Uint32ToFix32(DefaultItem(*c)->number)), 150.5);
}

TEST(TwacquireCapContainer, AnEnumerationLongerThanItsBlockIsRefused) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_UINT16);
    Put32(b, 4);
    Put32(b, 0);
    Put32(b, 0);
    Put16(b, 1);
    Put16(b, 2);
    Put16(b, 3);  // one item short
    EXPECT_FALSE(DecodeContainer(TWON_ENUMERATION, b));
    Put16(b, 4);
    EXPECT_TRUE(DecodeContainer(TWON_ENUMERATION, b));
}

TEST(TwacquireCapContainer, AnEnumerationWhoseCurrentIndexIsOutsideHasNoCurrentValue) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_UINT16);
    Put32(b, 1);
    Put32(b, 5);
    Put32(b, 0);
    Put16(b, 9);
    const std::optional<Container> c = DecodeContainer(TWON_ENUMERATION, b);
    ASSERT_TRUE(c);
    EXPECT_FALSE(CurrentItem(*c));
    EXPECT_EQ(DefaultItem(*c)->number, 9u);
}

TEST(TwacquireCapContainer, ARangeKeepsItsFiveValues) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_INT16);
    for (uint32_t v : {static_cast<uint32_t>(-100), 100u, 5u, 0u, 25u}) Put32(b, v);
    const std::optional<Container> c = DecodeContainer(TWON_RANGE, b);
    ASSERT_TRUE(c);
    ASSERT_EQ(c->items.size(), 5u);
    EXPECT_EQ(static_cast<int16_t>(c->items[0].number), -100);
    EXPECT_EQ(c->items[2].number, 5u);
    EXPECT_EQ(CurrentItem(*c)->number, 25u);
    EXPECT_EQ(DefaultItem(*c)->number, 0u);
    b.pop_back();
    EXPECT_FALSE(DecodeContainer(TWON_RANGE, b)) << "a range is 22 bytes";
}

TEST(TwacquireCapContainer, AnArrayOfCapabilityCodes) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_UINT16);
    Put32(b, 2);
    Put16(b, ICAP_XRESOLUTION);
    Put16(b, CAP_XFERCOUNT);
    const std::optional<Container> c = DecodeContainer(TWON_ARRAY, b);
    ASSERT_TRUE(c);
    ASSERT_EQ(c->items.size(), 2u);
    EXPECT_EQ(c->items[0].number, ICAP_XRESOLUTION);
    EXPECT_FALSE(CurrentItem(*c)) << "an array has no current value";
}

TEST(TwacquireCapContainer, OneValuesOfStringsAndFrames) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_STR32);
    const char text[34] = "Kerno scanner";
    b.insert(b.end(), text, text + sizeof text);
    const std::optional<Container> s = DecodeContainer(TWON_ONEVALUE, b);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->items[0].text, "Kerno scanner");

    CapItem frame;
    frame.frame = {DoubleToFix32(0.5), DoubleToFix32(1), DoubleToFix32(8.5), DoubleToFix32(11)};
    const std::vector<uint8_t> encoded = EncodeOneValue(TWTY_FRAME, frame);
    EXPECT_EQ(encoded.size(), 18u);
    const std::optional<Container> f = DecodeContainer(TWON_ONEVALUE, encoded);
    ASSERT_TRUE(f);
    EXPECT_EQ(Fix32ToDouble(f->items[0].frame.Right), 8.5);
    EXPECT_EQ(Fix32ToDouble(f->items[0].frame.Top), 1.0);
}

TEST(TwacquireCapContainer, AOneValueForSetHasTheItemAtItsWidthInAFourByteField) {
    CapItem item;
    item.number = 0x12345678;
    const std::vector<uint8_t> word = EncodeOneValue(TWTY_UINT16, item);
    EXPECT_EQ(word, (std::vector<uint8_t>{TWTY_UINT16, 0, 0x78, 0x56, 0, 0}));
    const std::vector<uint8_t> whole = EncodeOneValue(TWTY_UINT32, item);
    EXPECT_EQ(whole, (std::vector<uint8_t>{TWTY_UINT32, 0, 0x78, 0x56, 0x34, 0x12}));
    EXPECT_TRUE(EncodeOneValue(0x77, item).empty());
}

TEST(TwacquireCapContainer, UnknownTypesAndShortBlocksAreRefused) {
    std::vector<uint8_t> b;
    Put16(b, TWTY_UINT32);
    Put16(b, 0);  // half an item
    EXPECT_FALSE(DecodeContainer(TWON_ONEVALUE, b));
    EXPECT_FALSE(DecodeContainer(99, b));
    std::vector<uint8_t> unknown;
    Put16(unknown, 0x55);
    Put32(unknown, 0);
    EXPECT_FALSE(DecodeContainer(TWON_ONEVALUE, unknown));
}
