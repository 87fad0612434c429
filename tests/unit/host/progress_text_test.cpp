// The progress bar and the summary line of an image.
#include "host/twacquire/progress_text.h"
#include "host/twacquire/frame_units.h"

#include <gtest/gtest.h>

using namespace twacquire;

TEST(TwacquireProgress, TheBarFillsWithThePercentageAndShowsTheRate) {
    EXPECT_EQ(ProgressBar(0, 1000, 0, 10), "[..........]   0%  0 B/s");
    EXPECT_EQ(ProgressBar(450, 1000, 0.5, 10), "[####......]  45%  900 B/s");
    EXPECT_EQ(ProgressBar(25'000'000, 25'000'000, 2, 10), "[##########] 100%  12.5 MB/s");
    EXPECT_EQ(ProgressBar(2000, 1000, 1, 4), "[####] 100%  2 KB/s") << "never beyond the end";
}

TEST(TwacquireProgress, WithoutATotalOnlyBytesAndRate) {
    EXPECT_EQ(ProgressBar(3000, 0, 1), "3000 bytes  3 KB/s");
}

TEST(TwacquireProgress, TheSummaryGivesSizeDepthResolutionBytesAndTime) {
    EXPECT_EQ(ImageSummary("page1.tif", {2550, 3300, 24, 300, 300, 25248530, 4.25}),
              "page1.tif: 2550 x 3300 pixels, 24 bits, 300 x 300 dpi, 25248530 bytes, 4.2 s");
    EXPECT_EQ(ImageSummary("a.bmp", {8, 2, 1, 0, 0, 70, 0.04}),
              "a.bmp: 8 x 2 pixels, 1 bit, 70 bytes, 0.0 s")
        << "an unknown resolution is left out";
    EXPECT_EQ(ImageSummary("b.tif", {1, 1, 8, 72.5, 200, 9, 1}),
              "b.tif: 1 x 1 pixels, 8 bits, 72.50 x 200 dpi, 9 bytes, 1.0 s");
}

TEST(TwacquireFrame, MetricAndPixelFramesBecomeInches) {
    const Frame mm = *FrameInInches({25.4, 0, 254, 50.8}, Units::Millimetres, 0, 0);
    EXPECT_DOUBLE_EQ(mm.left, 1);
    EXPECT_DOUBLE_EQ(mm.right, 10);
    EXPECT_DOUBLE_EQ(mm.bottom, 2);
    const Frame cm = *FrameInInches({0, 2.54, 5.08, 7.62}, Units::Centimetres, 0, 0);
    EXPECT_DOUBLE_EQ(cm.top, 1);
    EXPECT_DOUBLE_EQ(cm.bottom, 3);
    const Frame px = *FrameInInches({0, 0, 600, 150}, Units::Pixels, 300, 150);
    EXPECT_DOUBLE_EQ(px.right, 2);
    EXPECT_DOUBLE_EQ(px.bottom, 1);
    EXPECT_FALSE(FrameInInches({0, 0, 600, 150}, Units::Pixels, 0, 0))
        << "pixels need a resolution";
    const Frame in = *FrameInInches({0.5, 1, 8, 11}, Units::Inches, 0, 0);
    EXPECT_DOUBLE_EQ(in.left, 0.5);
}
