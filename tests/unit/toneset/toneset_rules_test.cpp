// The brightness and contrast dialog's arithmetic: its tables, which tables
// a channel writes, the scroll bars, and where the picture is drawn.
#include "common/tone_picture.h"
#include "toneset/toneset_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

TEST(BrightnessContrastTable, FollowsTheDocumentedValues) {
    const auto brightest = BrightnessContrastTable(12, -12);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(brightest[i], std::min(255, static_cast<int>(std::floor(0.9 * i + 38.25)))) << i;
    EXPECT_EQ(brightest[0], 38);
    EXPECT_EQ(brightest[255], 255);

    const auto neutral = BrightnessContrastTable(0, 0);
    EXPECT_EQ(neutral[0], 0);
    EXPECT_EQ(neutral[128], 129) << "0/0 is not the identity";
    EXPECT_EQ(neutral[255], 255) << "256 is held to 255";

    const auto darkest = BrightnessContrastTable(-12, 12);
    EXPECT_EQ(darkest[0], 0) << "negative values are held to 0";
    EXPECT_LT(darkest[128], neutral[128]);
}

TEST(ChannelTables, EachChannelWritesOnlyItsOwnTables) {
    constexpr size_t kBlue = 0, kGreen = 256, kRed = 512, kGrey = 768;
    const ToneAdjustPair pairs[4] = {{3, 1}, {-5, 2}, {7, -7}, {0, 9}};
    struct Case {
        ToneChannel channel;
        bool deep;
        std::vector<size_t> written;
        size_t checked;       // a written table and the pair it must hold
        ToneAdjustPair from;  // the bar values are 12 / -12
    } cases[] = {
        {ToneChannel::Red, false, {kRed}, kRed, {12, -12}},
        {ToneChannel::Rgb, false, {kBlue, kGreen, kRed}, kBlue, {12, -12}},
        {ToneChannel::Gray, true, {kGrey}, kGrey, {12, -12}},
        {ToneChannel::Green, true, {kGreen}, kGreen, pairs[kToneGreen]},
        {ToneChannel::Rgb, true, {kBlue, kGreen, kRed}, kBlue, pairs[kToneBlue]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.channel) << " deep " << c.deep);
        uint8_t tables[1024];
        std::fill(std::begin(tables), std::end(tables), uint8_t{0xAA});
        WriteChannelTables(tables, c.channel, pairs, 12, -12, c.deep);
        for (size_t at : {kBlue, kGreen, kRed, kGrey}) {
            const bool expected = std::find(c.written.begin(), c.written.end(), at) != c.written.end();
            const bool touched = std::any_of(tables + at, tables + at + 256,
                                             [](uint8_t v) { return v != 0xAA; });
            EXPECT_EQ(touched, expected) << "table at " << at;
        }
        const auto table = BrightnessContrastTable(c.from.brightness, c.from.contrast);
        EXPECT_TRUE(std::equal(table.begin(), table.end(), tables + c.checked));
    }
}

TEST(ToneBars, StepAndStoreAsTheDialogDocuments) {
    struct Case {
        ToneScroll action;
        int current, thumb, value;
    } cases[] = {
        {ToneScroll::LineLeft, 0, 0, -1},  {ToneScroll::LineRight, 0, 0, 1},
        {ToneScroll::PageLeft, 0, 0, -4},  {ToneScroll::PageRight, 10, 0, 12},
        {ToneScroll::PageLeft, -10, 0, -12}, {ToneScroll::Thumb, 0, 7, 7},
        {ToneScroll::Thumb, 0, 40, 12},    {ToneScroll::LeftEnd, -3, 0, 12},
        {ToneScroll::RightEnd, 3, 0, -12}, {ToneScroll::Other, 5, 9, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrolledToneValue(c.action, c.current, c.thumb), c.value)
            << static_cast<int>(c.action) << " from " << c.current;

    ToneAdjustPair pairs[4] = {};
    StoreBarValues(pairs, ToneChannel::Rgb, 6, -2);
    for (int p : {kToneRed, kToneGreen, kToneBlue}) {
        EXPECT_EQ(pairs[p].brightness, 6);
        EXPECT_EQ(pairs[p].contrast, -2);
    }
    EXPECT_EQ(pairs[kToneGrey].brightness, 0);
    StoreBarValues(pairs, ToneChannel::Blue, 1, 1);
    EXPECT_EQ(pairs[kToneBlue].brightness, 1);
    EXPECT_EQ(pairs[kToneRed].brightness, 6) << "another channel keeps its pair";
}

TEST(TonePicture, APrescanIsDrawnAtItsShareOfTheFourteenInches) {
    const PreviewRect area{10, 20, 199, 330};
    const PreviewRect half = ToneImageRect(area, false, 252);
    EXPECT_EQ(half.bottom - half.top, 155);
    EXPECT_EQ(half.left, 10);
    EXPECT_EQ(half.right, 199);
    EXPECT_EQ(ToneImageRect(area, true, 252).bottom, 330) << "the sample fills the area";
    const PreviewRect zoom = ToneZoomRect(half);
    EXPECT_EQ(zoom.right - zoom.left, 2 * 189);
    EXPECT_EQ(zoom.bottom - zoom.top, 2 * 155);
    EXPECT_STREQ(TonePictureFile(true, true), "FLOWER.BMP");
    EXPECT_STREQ(TonePictureFile(false, false), "QZLG0000.BMP");
}
