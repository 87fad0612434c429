#include "ds/ui/preview_geometry.h"
#include "ds/ui/ruler_ticks.h"

#include <gtest/gtest.h>

namespace {

// A picture at (10, 20), 170 pixels across and 200 down to the paper line;
// a frame from (50, 60) to (110, 140).
HitInputs Inputs(bool magnified = false) {
    HitInputs in;
    in.area = {10, 20, 180, 220};
    in.frame = {50, 60, 110, 140};
    in.paperRuler = {0, 220, 10, 230};
    in.magnified = magnified;
    in.tx = in.ty = 2;
    return in;
}

}  // namespace

TEST(HitTest, FindsTheFramesCornersEdgesAndInside) {
    const HitInputs in = Inputs();
    struct Case {
        int32_t x, y;
        int zone;
    } cases[] = {
        {50, 60, kZoneTopLeft},     {80, 61, kZoneTop},         {111, 59, kZoneTopRight},
        {109, 100, kZoneRight},     {110, 140, kZoneBottomRight}, {80, 142, kZoneBottom},
        {48, 139, kZoneBottomLeft}, {52, 100, kZoneLeft},       {80, 100, kZoneInside},
        {30, 100, kZonePicture},    {5, 225, kZonePaperSlider}, {10, 100, kZoneNone},
        {300, 300, kZoneNone},      {80, 143, kZonePicture},
    };
    for (const Case& c : cases) EXPECT_EQ(HitTestPreview(in, c.x, c.y), c.zone) << c.x << "," << c.y;
    // A frame still being drawn backwards is tested as the ordered one.
    HitInputs backwards = in;
    backwards.frame = {110, 140, 50, 60};
    EXPECT_EQ(HitTestPreview(backwards, 50, 60), kZoneTopLeft);
}

TEST(HitTest, TheMagnifiedViewsBorderPansBeforeTheFrame) {
    const HitInputs in = Inputs(true);
    struct Case {
        int32_t x, y;
        int zone;
    } cases[] = {
        {11, 21, kZonePanLeftUp},    {100, 20, kZonePanUp},     {179, 19, kZonePanRightUp},
        {10, 219, kZonePanLeftDown}, {100, 221, kZonePanDown},  {180, 222, kZonePanRightDown},
        {9, 100, kZonePanLeft},      {182, 100, kZonePanRight}, {80, 100, kZoneInside},
    };
    for (const Case& c : cases) EXPECT_EQ(HitTestPreview(in, c.x, c.y), c.zone) << c.x << "," << c.y;
    EXPECT_EQ(HitTestPreview(Inputs(false), 100, 20), kZoneNone) << "no pan handles unmagnified";
}

TEST(FrameDrag, AResizeStopsAtThePictureAndKeepsTheFrameOrdered) {
    const PixelRect area{10, 20, 180, 220};
    const PixelRect frame{50, 60, 110, 140};
    EXPECT_EQ(ResizeFrame(frame, kZoneTopLeft, -100, -100, area, 0), (PixelRect{10, 20, 110, 140}));
    EXPECT_EQ(ResizeFrame(frame, kZoneBottomRight, 500, 500, area, 0), (PixelRect{50, 60, 180, 220}));
    EXPECT_EQ(ResizeFrame(frame, kZoneRight, -100, 40, area, 0), (PixelRect{50, 60, 50, 140}))
        << "an edge stops at the opposite one";
    EXPECT_EQ(ResizeFrame(frame, kZoneTop, 30, 200, area, 5), (PixelRect{50, 135, 110, 140}))
        << "the margin keeps it open";
    EXPECT_EQ(ResizeFrame(frame, kZoneBottomLeft, 5, 7, area, 0), (PixelRect{55, 60, 110, 147}));
}

TEST(FrameDrag, AMoveKeepsTheSizeAndStopsAtTheBorder) {
    const PixelRect area{10, 20, 180, 220};
    const PixelRect frame{50, 60, 110, 140};
    EXPECT_EQ(MoveFrame(frame, 5, -3, area), (PixelRect{55, 57, 115, 137}));
    EXPECT_EQ(MoveFrame(frame, -100, -100, area), (PixelRect{10, 20, 70, 100}));
    EXPECT_EQ(MoveFrame(frame, 500, 500, area), (PixelRect{119, 139, 179, 219}));
    int32_t x = 500, y = -5;
    KeepInside(x, y, area);
    EXPECT_EQ(x, 179);
    EXPECT_EQ(y, 21);
}

TEST(PaperLine, LimitsAndSlider) {
    EXPECT_EQ(PaperLengthLimits(280, false).shortest, 80);
    EXPECT_EQ(PaperLengthLimits(280, false).longest, 280);
    EXPECT_EQ(PaperLengthLimits(280, true).longest, 200);
    EXPECT_EQ(PaperSliderRect({2, 20, 16, 300}, 220), (PixelRect{2, 220, 16, 230}));
}

TEST(MagnifiedView, CentresOnTheClickWithinTheLimits) {
    const PixelRect area{10, 20, 180, 300};
    // W 170, H 280, paper 280: the view may start anywhere in the top left quarter.
    EXPECT_EQ(ZoomOffsetAt(100, 150, area, 170, 280, 280), (ZoomOffset{48, 60}));
    EXPECT_EQ(ZoomOffsetAt(11, 21, area, 170, 280, 280), (ZoomOffset{0, 0}));
    EXPECT_EQ(ZoomOffsetAt(179, 299, area, 170, 280, 280), (ZoomOffset{85, 140}));
    // With 200 pixels of paper the view stops at twice the paper length.
    EXPECT_EQ(ZoomOffsetAt(179, 299, area, 170, 280, 200).y, 60);

    bool limit = false;
    EXPECT_EQ(PanStep({10, 10}, kZonePanRightDown, 170, 280, limit), (ZoomOffset{13, 13}));
    EXPECT_FALSE(limit);
    EXPECT_EQ(PanStep({1, 10}, kZonePanLeft, 170, 280, limit), (ZoomOffset{0, 10}));
    EXPECT_FALSE(limit);
    EXPECT_EQ(PanStep({0, 10}, kZonePanLeft, 170, 280, limit), (ZoomOffset{0, 10}));
    EXPECT_TRUE(limit) << "the view is at its left end";
    EXPECT_EQ(PanStep({85, 140}, kZonePanRightDown, 170, 280, limit), (ZoomOffset{85, 140}));
    EXPECT_TRUE(limit);

    EXPECT_EQ(ZoomArea(100, 150, area, 170, 280, 200), (PixelRect{58, 100, 143, 200}));
    EXPECT_EQ(ZoomArea(12, 290, area, 170, 280, 280), (PixelRect{10, 160, 95, 300}));
}

namespace {

std::string Labels(const std::vector<RulerTick>& ticks) {
    std::string s;
    for (const RulerTick& t : ticks)
        s += (t.major ? t.label : std::string("'")) + "@" + std::to_string(t.at) + " ";
    return s;
}

}  // namespace

TEST(Rulers, InchesEveryTwoWithTicksBetween) {
    RulerLayout top;
    top.pixels = 170;
    EXPECT_EQ(Labels(RulerTicks(top)), "0@0 '@20 2@40 '@60 4@80 '@100 6@120 '@140 8@160 ");
    top.adapter = true;
    top.glassInches = top.shownInches = 8.0;
    top.pixels = 160;
    EXPECT_EQ(Labels(RulerTicks(top)), "0@0 '@20 2@40 '@60 4@80 '@100 6@120 '@140 ")
        << "no 8 on the adapter's edge";
    RulerLayout left;
    left.top = false;
    left.glassInches = left.shownInches = 14;
    left.pixels = 280;
    EXPECT_EQ(RulerTicks(left).size(), 15u);
    EXPECT_EQ(RulerTicks(left).back().label, "14");
}

TEST(Rulers, PixelsOfTheDeliveredImageInThousands) {
    RulerLayout top;
    top.unit = 1;
    top.pixels = 170;
    top.outputResolution = 100;  // 850 pixels: a major tick every 200
    std::vector<RulerTick> ticks = RulerTicks(top);
    ASSERT_GE(ticks.size(), 9u);
    EXPECT_EQ(ticks[0].label, "0.0");
    EXPECT_EQ(ticks[2].label, "0.2");
    EXPECT_EQ(ticks[2].at, 40);
    top.outputResolution = 300;  // 2550 pixels: every 500
    EXPECT_EQ(RulerTicks(top)[2].label, "0.5");
    top.outputResolution = 2400;  // 20400 pixels: every 4000
    EXPECT_EQ(RulerTicks(top)[2].label, "4.0");
    RulerLayout left;
    left.unit = 1;
    left.top = false;
    left.glassInches = left.shownInches = 14;
    left.pixels = 280;
    left.outputResolution = 300;  // 4200 pixels: every 1000
    EXPECT_EQ(RulerTicks(left)[2].label, "1.0");
}

TEST(Rulers, CentimetresAndMillimetresEveryFive) {
    RulerLayout top;
    top.unit = 2;
    top.pixels = 216;  // 21.59 cm
    std::vector<RulerTick> ticks = RulerTicks(top);
    EXPECT_EQ(Labels(ticks), "0@0 '@25 5@50 '@75 10@100 '@125 15@150 '@175 20@200 ");
    top.unit = 3;
    EXPECT_EQ(RulerTicks(top)[4].label, "100");
}

TEST(Rulers, TheMagnifiedViewShowsItsPartOfTheGlass) {
    RulerLayout top;
    top.pixels = 170;
    top.firstInch = 1.0;
    top.shownInches = 4.25;
    const std::vector<RulerTick> ticks = RulerTicks(top);
    // 40 pixels to the inch from inch 1 on.
    EXPECT_EQ(Labels(ticks), "'@0 2@40 '@80 4@120 '@160 ");
}
