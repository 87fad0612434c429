// The level dialog's arithmetic: tables, the ratio that ties the midtone,
// the markers, the response curve, the picture's statistics and Auto.
#include "level/level_picture.h"
#include "level/level_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

LevelGroup Group(int s, int m, int h, int ratio = 50) {
    return LevelGroup{s, m, h, static_cast<uint16_t>(ratio), 0};
}

// A colour picture of one row: blue, green, red per pixel.
std::vector<uint8_t> Row(const std::vector<std::array<uint8_t, 3>>& pixels) {
    std::vector<uint8_t> row;
    for (const auto& p : pixels) row.insert(row.end(), p.begin(), p.end());
    row.resize((row.size() + 3) & ~size_t{3});
    return row;
}

}  // namespace

TEST(LevelTable, TheDefaultsAreTheIdentityAndOtherLevelsFollowTheirFormula) {
    const LevelTable identity = TableOf(kDefaultGroup);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(identity[i], i) << i;

    const LevelTable t = TableOf(Group(20, 100, 230));
    EXPECT_EQ(t[20], 0);
    EXPECT_EQ(t[21], 1);   // 1 x 128 / 80
    EXPECT_EQ(t[60], 64);  // 40 x 128 / 80
    EXPECT_EQ(t[100], 128);
    EXPECT_EQ(t[101], 128);  // 1 x 127 / 130 + 128
    EXPECT_EQ(t[229], 254);  // 129 x 127 / 130 + 128
    EXPECT_EQ(t[230], 255);
    EXPECT_EQ(t[10], 0);
}

TEST(LevelTable, RgbWritesTheThreeColourTablesAndRedOnlyItsOwn) {
    const LevelTable table = TableOf(Group(20, 100, 230));
    struct Case {
        LevelChannel channel;
        std::vector<size_t> written;
    } cases[] = {
        {LevelChannel::Rgb, {kLevelBlue, kLevelGreen, kLevelRed}},
        {LevelChannel::Red, {kLevelRed}},
        {LevelChannel::Gray, {kLevelGrey}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> tones(3072, 0xAA);
        WriteLevelTables(tones.data(), c.channel, table);
        for (size_t at : {kLevelBlue, kLevelGreen, kLevelRed, kLevelGrey}) {
            const bool written = std::find(c.written.begin(), c.written.end(), at) != c.written.end();
            EXPECT_EQ(std::equal(table.begin(), table.end(), tones.begin() + at), written)
                << static_cast<int>(c.channel) << " table " << at;
        }
        EXPECT_TRUE(std::all_of(tones.begin(), tones.begin() + 2048, [](uint8_t v) { return v == 0xAA; }));
    }
    EXPECT_EQ(GroupIndex(LevelChannel::Rgb), GroupIndex(LevelChannel::Red)) << "RGB edits the red group";
}

TEST(Markers, MovesKeepTheOrderAndTheRatioTiesTheMidtone) {
    LevelGroup g = Group(0, 128, 255);
    MoveMarker(g, Marker::Highlight, -55);
    EXPECT_EQ(g.highlight, 200);
    EXPECT_EQ(g.midtone, 100) << "ratio 50 between 0 and 200";

    g = Group(10, 30, 60, 40);
    MoveMarker(g, Marker::Midtone, -100);
    EXPECT_EQ(g.midtone, 11) << "held above the shadow";
    EXPECT_EQ(g.ratio, 100 / 50);

    g = Group(0, 128, 255);
    MoveMarker(g, Marker::Midtone, -127);
    EXPECT_EQ(g.ratio, 0) << "100 / 255, truncated";
    MoveMarker(g, Marker::Shadow, 40);
    EXPECT_EQ(g.shadow, 0) << "the shadow stays below the midtone";
    MoveMarker(g, Marker::Highlight, -100);
    EXPECT_EQ(g.highlight, 155);
    EXPECT_EQ(g.midtone, 1) << "ratio 0 would put it on the shadow";
    MoveMarker(g, Marker::Highlight, -500);
    EXPECT_EQ(g.highlight, 2);
    EXPECT_TRUE(IsUsableGroup(g));
}

TEST(Markers, TheHighlightWinsOverTheMidtoneAndTheMidtoneOverTheShadow) {
    // A 256-pixel bar at 0: markers 10 wide and 10 high at their values.
    const LevelGroup crowded = Group(100, 104, 108);
    EXPECT_EQ(GrabbedMarker(crowded, 104, 5, 0, 0, 256, 10, 10), Marker::Highlight);
    EXPECT_EQ(GrabbedMarker(crowded, 99, 5, 0, 0, 256, 10, 10), Marker::Midtone);
    EXPECT_EQ(GrabbedMarker(crowded, 95, 5, 0, 0, 256, 10, 10), Marker::Shadow);
    EXPECT_EQ(GrabbedMarker(crowded, 104, 11, 0, 0, 256, 10, 10), std::nullopt) << "below the markers";
    EXPECT_EQ(GrabbedMarker(crowded, 50, 5, 0, 0, 256, 10, 10), std::nullopt);
}

TEST(ResponseCurve, PassesThroughTheThreeLevels) {
    const LevelGroup g = Group(20, 100, 230);
    const auto p = ResponseParabola(g);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->At(20), 0, 1e-9);
    EXPECT_NEAR(p->At(100), 128, 1e-9);
    EXPECT_NEAR(p->At(230), 255, 1e-9);
    EXPECT_FALSE(ResponseParabola(Group(20, 20, 230)));
}

TEST(Picture, CountsSamplesAndAutoTakesTheirExtremes) {
    // Red spans 20..230, green 5..9, blue is flat.
    const std::vector<uint8_t> row = Row({{7, 5, 20}, {7, 9, 230}, {7, 6, 100}});
    const PictureStatistics s = CountPicture(row.data(), 3, 1, true, false);
    EXPECT_EQ(s.lowest[kToneRed], 20);
    EXPECT_EQ(s.highest[kToneRed], 230);
    EXPECT_EQ(s.histogram[kToneGreen][9], 1u);
    EXPECT_EQ(s.histogram[kToneBlue][7], 3u);
    EXPECT_EQ(ShownCount(s, LevelChannel::Rgb, 7), 1u) << "the mean of 0, 0 and 3";

    for (LevelChannel channel : {LevelChannel::Rgb, LevelChannel::Red}) {
        LevelGroup groups[4] = {Group(0, 128, 255, 30), kDefaultGroup, Group(1, 2, 3, 10), kDefaultGroup};
        AutoLevels(groups, channel, s);
        EXPECT_EQ(groups[kToneRed].shadow, 20);
        EXPECT_EQ(groups[kToneRed].midtone, 125);
        EXPECT_EQ(groups[kToneRed].highlight, 230);
        EXPECT_EQ(groups[kToneBlue].ratio, 50) << "every ratio";
        EXPECT_EQ(groups[kToneBlue].shadow, 1);
    }
    LevelGroup flat[4] = {kDefaultGroup, kDefaultGroup, kDefaultGroup, kDefaultGroup};
    AutoLevels(flat, LevelChannel::Blue, s);
    EXPECT_TRUE(IsUsableGroup(flat[kToneBlue])) << "a flat channel keeps usable levels";

    // On a screen of 256 colours the 3-3-2 index counts in all three.
    const PictureStatistics palette = CountPicture(row.data(), 3, 1, true, true);
    const uint8_t index = (230 & 0xE0) | ((9 >> 3) & 0x1C) | (7 >> 6);
    EXPECT_EQ(palette.histogram[kToneGreen][index], 1u);
    EXPECT_EQ(palette.highest[kToneBlue], palette.highest[kToneRed]);

    const uint8_t grey[4] = {3, 250, 9, 0};
    const PictureStatistics g = CountPicture(grey, 3, 1, false, false);
    EXPECT_EQ(g.lowest[kToneGrey], 3);
    EXPECT_EQ(g.highest[kToneGrey], 250);
    EXPECT_EQ(g.histogram[kToneGrey][0], 0u) << "the row's pad byte is no pixel";
}

TEST(Preview, RenderedThroughPreviewThenLevelThenGamma) {
    std::vector<uint8_t> tones(3072);
    for (size_t set = 0; set < 3; ++set)
        for (size_t i = 0; i < 1024; ++i) tones[set * 1024 + i] = static_cast<uint8_t>(i);
    for (size_t v = 0; v < 256; ++v) {
        tones[768 + v] = static_cast<uint8_t>(v / 2);                          // preview grey
        tones[2048 + 768 + v] = static_cast<uint8_t>(std::min<size_t>(255, v + 10));  // level grey
        tones[1024 + 768 + v] = static_cast<uint8_t>(255 - v);                 // gamma grey
    }
    const auto composed = ComposedToneTables(tones.data());
    EXPECT_EQ(composed[768 + 100], 255 - (100 / 2 + 10));
    EXPECT_EQ(composed[512 + 7], 7) << "the identity elsewhere";
    EXPECT_EQ(HistogramLine(100000, 128), 127);
    EXPECT_EQ(HistogramLine(64, 128), 32);
}
