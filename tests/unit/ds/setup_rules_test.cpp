#include "ds/acquire/progress_steps.h"
#include "ds/twain/scan_settings.h"
#include "ds/ui/scan_frame.h"
#include "ds/ui/setup_rules.h"
#include "ds/ui/size_readout.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ResolutionLimits, FollowTheModelTheTransferAndTheFeeder) {
    struct Case {
        uint16_t model;
        bool native, feeder;
        uint16_t maximum;
    } cases[] = {
        {600, false, false, 1200}, {800, false, false, 1600}, {1200, false, false, 2400},
        {606, false, false, 600},  {600, true, false, 600},   {1200, true, false, 1200},
        {606, true, false, 600},   {1200, false, true, 600},  {0, false, false, 600},
    };
    for (const Case& c : cases) {
        const ResolutionLimits l = ResolutionLimitsFor(c.model, c.native, c.feeder);
        EXPECT_EQ(l.minimum, 72) << c.model;
        EXPECT_EQ(l.maximum, c.maximum) << c.model << " native " << c.native << " feeder " << c.feeder;
    }
    const ScalingLimits s = ScalingLimitsFor(300, {72, 2400});
    EXPECT_EQ(s.minimum, 24);
    EXPECT_EQ(s.maximum, 800);
}

TEST(ResolutionSteps, AreFineBelowTheBaseAndCoarserAbove) {
    struct Case {
        uint16_t model, resolution, step, page;
    } cases[] = {
        {600, 72, 3, 10},   {600, 299, 3, 10},   {600, 300, 30, 2},  {600, 599, 30, 2},
        {600, 600, 60, 2},  {600, 1200, 60, 2},  {800, 399, 4, 10},  {800, 400, 40, 2},
        {800, 1600, 80, 2}, {1200, 599, 6, 10},  {1200, 600, 60, 2}, {1200, 1200, 120, 2},
        {1200, 2400, 120, 2}, {1200, 2401, 0, 0}, {606, 72, 6, 10},  {606, 600, 6, 10},
    };
    for (const Case& c : cases) {
        const ResolutionStep s = ResolutionStepFor(c.model, c.resolution);
        EXPECT_EQ(s.step, c.step) << c.model << " at " << c.resolution;
        EXPECT_EQ(s.pageSteps, c.page) << c.model << " at " << c.resolution;
    }
}

TEST(ResolutionSteps, ABarWithoutAStepStillTakesItsThumbAndEnds) {
    // Above four times the base the bar does not step; nothing divides by zero.
    const ResolutionLimits wide{72, 5000};
    EXPECT_EQ(ScrolledResolution(1200, 3000, ScrollAction::LineRight, 0, wide), 3000);
    EXPECT_EQ(ScrolledResolution(1200, 3000, ScrollAction::Thumb, 3001, wide), 3001);
    EXPECT_EQ(ScrolledScaling(1200, 3000, 100, ScrollAction::PageLeft, 0, {2, 166}), 100);
    EXPECT_EQ(ScrolledScaling(1200, 0, 100, ScrollAction::Leftmost, 0, {2, 166}), 100);
}

TEST(ResolutionText, ShowsTheTwoTypedRoundingsAsTyped) {
    EXPECT_EQ(ResolutionText(102), "100");
    EXPECT_EQ(ResolutionText(198), "200");
    EXPECT_EQ(ResolutionText(100), "100");
    EXPECT_EQ(ResolutionText(201), "201");
    EXPECT_EQ(ResolutionText(2400), "2400");
}

TEST(TypedResolution, KeepsAPresetWhileItsValueStands) {
    const ResolutionLimits limits{72, 2400};
    TypedResolution t = TypeResolution("300", 1200, 300, 5, limits);
    EXPECT_EQ(t.kind, TypedResolution::PresetKept);
    EXPECT_EQ(t.dpiScale, 5);
    t = TypeResolution("360", 1200, 300, 5, limits);
    EXPECT_EQ(t.kind, TypedResolution::Accepted);
    EXPECT_EQ(t.dpiScale, 0) << "another value leaves the preset";
    // The enhanced resolution's own text lies above the limits: it stays chosen.
    t = TypeResolution("4800", 1200, 2400, 2, limits);
    EXPECT_EQ(t.kind, TypedResolution::OutOfLimits);
    EXPECT_EQ(t.resolution, 2400);
    EXPECT_EQ(t.dpiScale, 2);
    EXPECT_TRUE(t.scanEnabled);
    t = TypeResolution("48", 1200, 2400, 0, limits);
    EXPECT_FALSE(t.scanEnabled);
    EXPECT_EQ(t.resolution, 2400);
}

TEST(Presets, OfferTwiceTheOpticalResolutionAndItsMultiples) {
    auto texts = [](const std::vector<MenuEntry>& entries) {
        std::string all;
        for (const MenuEntry& e : entries) all += (e.id ? e.text : "-") + (e.grayed ? "*" : "") + " ";
        return all;
    };
    EXPECT_EQ(texts(PresetMenuEntries(600, 300, false)), "100 200 300 600 1200 - 2400 ");
    EXPECT_EQ(texts(PresetMenuEntries(800, 300, false)), "100 200 300 600 1600 ");
    EXPECT_EQ(texts(PresetMenuEntries(1200, 300, true)), "100 200 300 600 2400* ");
    EXPECT_EQ(texts(PresetMenuEntries(606, 300, false)), "100 200 300 600 ");
    PresetChoice c;
    EXPECT_FALSE(ChoosePreset(1223, 606, c)) << "model 606 does not interpolate";
    ASSERT_TRUE(ChoosePreset(1225, 600, c));
    EXPECT_EQ(c.resolution, 1200);
    EXPECT_EQ(c.dpiScale, 3);
    EXPECT_EQ(c.shownResolution, 3600);
}

TEST(AutoSpeed, SlowsDownAsTheImageNearsThePageFile) {
    EXPECT_EQ(AutoSpeed(5000, 4000), 5);
    EXPECT_EQ(AutoSpeed(4000, 4000), 4);
    EXPECT_EQ(AutoSpeed(4000, 5023), 4);
    EXPECT_EQ(AutoSpeed(4000, 5024), 3);
    EXPECT_EQ(AutoSpeed(4000, 6048), 2);
    EXPECT_EQ(AutoSpeed(4000, 7072), 1);
}

TEST(SetupTexts, TitleAndHelpFile) {
    EXPECT_EQ(SetupWindowTitle("Tavlen ", " Flatbed Scanner Setup", "V1.0"),
              "Tavlen  Flatbed Scanner Setup V1.0");
    EXPECT_EQ(SetupWindowTitle("Acme ", " Setup", "V12.345"), "Acme  Setup V12.3");
    EXPECT_STREQ(HelpFileName(0), "TWAIN.HLP");
    EXPECT_STREQ(HelpFileName(1), "TWAIN_G.HLP");
    EXPECT_STREQ(HelpFileName(2), "TWAIN_F.HLP");
    EXPECT_STREQ(HelpFileName(5), "TWAIN.HLP");
}

// ---- The scan frame ---------------------------------------------------------

namespace {

// A preview of 170 x 280 pixels at (10, 20), the picture 10 of 14 inches down.
PreviewGeometry Preview() {
    PreviewGeometry g;
    g.area = {10, 20, 180, 220};
    g.previewHeight = 280;
    g.inchesPerPixelX = 8.5 / 170;
    g.unitResolution = 600;
    return g;
}

}  // namespace

TEST(PreviewFrame, AFrameDrawnBackwardsScansTheOrderedArea) {
    const PreviewGeometry g = Preview();
    const auto ordered = FrameInBaseUnits({30, 40, 110, 120}, g, true);
    EXPECT_EQ(FrameInBaseUnits({110, 120, 30, 40}, g, true), ordered);
    EXPECT_EQ(FrameInBaseUnits({30, 120, 110, 40}, g, true), ordered);
    // 20 pixels of 0.05 inch at 600 dpi; 20 pixels of 0.05 inch down.
    EXPECT_EQ(ordered, (std::array<uint16_t, 4>{600, 600, 3000, 3000}));
}

TEST(PreviewFrame, IsKeptOnThePictureAndAboveThePaperLine) {
    const PreviewGeometry g = Preview();
    EXPECT_EQ(FrameInBaseUnits({0, 0, 30, 40}, g, true), (std::array<uint16_t, 4>{0, 0, 600, 600}));
    // Past the paper line the frame ends at the line ...
    EXPECT_EQ(FrameInBaseUnits({30, 200, 110, 260}, g, true)[3], 6000);
    // ... and a frame wholly below it leaves the thinnest strip above it.
    const auto strip = FrameInBaseUnits({30, 230, 110, 260}, g, true);
    EXPECT_EQ(strip[1], 5940);
    EXPECT_EQ(strip[3], 5970);
}

TEST(PreviewFrame, AMagnifiedViewIsTakenBackToTheWholePicture) {
    PreviewGeometry g = Preview();
    g.zoomed = true;
    g.zoomX = 40;
    g.zoomY = 60;
    // Left (20 + 80) / 2 = 50 pixels, 40 pixels wide after halving.
    EXPECT_EQ(FrameInBaseUnits({30, 40, 110, 120}, g, true),
              (std::array<uint16_t, 4>{1500, 2100, 2700, 3300}));
    EXPECT_EQ(FrameInBaseUnits({30, 40, 110, 120}, g, false),
              (std::array<uint16_t, 4>{600, 600, 3000, 3000}))
        << "regions are not corrected";
}

TEST(FeederPages, FramesAndSizes) {
    EXPECT_EQ(FeederPageFrame(kPaperA4, 300), (std::array<uint16_t, 4>{94, 0, 2551, 3484}));
    EXPECT_EQ(FeederPageFrame(kPaperLetter, 600), (std::array<uint16_t, 4>{49, 0, 5102, 6543}));
    EXPECT_EQ(FeederPageFrame(kPaperLegal, 400), (std::array<uint16_t, 4>{33, 0, 3401, 5568}));
    EXPECT_EQ(FeederPageFrame(kPaperA5, 300), (std::array<uint16_t, 4>{826, 0, 2551, 2456}));
    EXPECT_EQ(FeederPageFrame(kPaperB5, 600), (std::array<uint16_t, 4>{850, 0, 5102, 6023}));
    EXPECT_EQ(FeederPageFrame(999, 300), FeederPageFrame(kPaperA4, 300));
    EXPECT_DOUBLE_EQ(FeederPageSize(kPaperB5).width, 7.165354);
    EXPECT_DOUBLE_EQ(FeederPageSize(kPaperLegal).length, 14);
}

TEST(ScanLine, ColourAt2400DpiFitsBelow4Point445Inches) {
    EXPECT_FALSE(ScanLineTooLong(2400, true, 4.44));
    EXPECT_TRUE(ScanLineTooLong(2400, true, 4.45));
    EXPECT_FALSE(ScanLineTooLong(2400, false, 8.5)) << "grey over the whole glass";
    EXPECT_TRUE(ScanLineTooLong(4000, false, 8.0));
}

TEST(StoredPreview, SizesThePictureByItsLines) {
    EXPECT_EQ(StoredPreviewBottom(20, 280, 504), 300);
    EXPECT_EQ(StoredPreviewBottom(20, 280, 252), 160);
    EXPECT_EQ(StoredPreviewBottom(20, 280, 0), 220) << "no picture: 10 of 14 inches";
    EXPECT_EQ(StoredPreviewBottom(20, 280, 9000), 300) << "never below the preview";
    EXPECT_EQ(PaperLengthEighths(504, 504), 112);
    EXPECT_EQ(PaperLengthEighths(200, 280), 80);
}

// ---- The size read-out --------------------------------------------------------

namespace {

// A frame of 8.5 x 11 inches (17 x 22 pixels of half an inch) at 300 dpi.
SizeInputs Letter(uint16_t mode, uint32_t unit = 0) {
    SizeInputs in{};
    in.resolution = 300;
    in.scaling = 100;
    in.modelCode = 1200;
    in.scanMode = mode;
    in.unit = unit;
    in.paperCode = kPaperA4;
    in.frameWidth = 17;
    in.frameHeight = 22;
    in.inchesPerPixelX = 0.5;
    in.previewHeight = 28;
    return in;
}

}  // namespace

TEST(SizeReadout, CountsTheBytesOfEachMode) {
    const SizeTexts t;
    SizeReadout r = ComputeSizeReadout(Letter(kModeGray), t);
    EXPECT_EQ(r.bytes, 8415000u);
    EXPECT_EQ(r.size, "8217 KBytes");
    EXPECT_EQ(r.width, " 8.5 inches");
    EXPECT_EQ(r.length, "11.0 inches");
    r = ComputeSizeReadout(Letter(kModeLineArt), t);
    EXPECT_EQ(r.bytes, 1051875u);
    EXPECT_EQ(r.size, "1027 KBytes");
    EXPECT_EQ(ComputeSizeReadout(Letter(kModeColor), t).bytes, 3 * 8415000u);
    EXPECT_EQ(ComputeSizeReadout(Letter(kModeHalftone), t).bytes, 1051875u);

    SizeInputs in = Letter(kModeGray);
    in.zoomed = true;
    r = ComputeSizeReadout(in, t);
    EXPECT_EQ(r.bytes, 8415000u / 4);
    EXPECT_EQ(r.width, " 4.2 inches");
}

TEST(SizeReadout, SmallImagesAreCountedInBytes) {
    SizeInputs in = Letter(kModeGray);
    in.resolution = 72;
    in.frameWidth = 1;
    in.frameHeight = 2;
    in.inchesPerPixelX = 8.5 / 170;  // 0.05 inch across
    in.previewHeight = 280;          // 0.1 inch down
    SizeReadout r = ComputeSizeReadout(in, SizeTexts{});
    EXPECT_EQ(r.bytes, 25u) << "72 x 0.1 x 72 x 0.05, rounded down";
    EXPECT_EQ(r.size, "25 Bytes");
    in.resolution = 16;
    in.frameWidth = 40;   // 2 inches
    in.frameHeight = 40;  // 2 inches: 32 x 32 pixels
    r = ComputeSizeReadout(in, SizeTexts{});
    EXPECT_EQ(r.bytes, 1024u);
    EXPECT_EQ(r.size, "1024 Bytes");
    in.frameHeight = 41;
    r = ComputeSizeReadout(in, SizeTexts{});
    EXPECT_EQ(r.bytes, 1049u);
    EXPECT_EQ(r.size, "1 KBytes");
}

TEST(SizeReadout, ShowsEachUnitInTheUsersLanguage) {
    SizeTexts german;
    german.inches = " Zoll";
    SizeInputs in = Letter(kModeGray);
    EXPECT_EQ(ComputeSizeReadout(in, german).width, " 8.5 Zoll");
    in.unit = 1;
    EXPECT_EQ(ComputeSizeReadout(in, german).width, "2550 pixels");
    in.unit = 2;
    EXPECT_EQ(ComputeSizeReadout(in, german).length, "27.9 cm");
    in.unit = 3;
    EXPECT_EQ(ComputeSizeReadout(in, german).width, "215.9 mm");

    // Scaling enlarges the physical size; pixels already count it.
    in.scaling = 200;
    in.unit = 0;
    EXPECT_EQ(ComputeSizeReadout(in, german).width, "17.0 Zoll");
    in.unit = 1;
    EXPECT_EQ(ComputeSizeReadout(in, german).width, "5100 pixels");
    EXPECT_EQ(ComputeSizeReadout(in, german).bytes, 4 * 8415000u);
}

TEST(SizeReadout, EnhancedResolutionsAndFeederPages) {
    SizeInputs in = Letter(kModeGray, 1);
    in.dpiScale = 2;
    EXPECT_EQ(ComputeSizeReadout(in, SizeTexts{}).outputResolution, 4800u);
    in.dpiScale = 5;
    EXPECT_EQ(ComputeSizeReadout(in, SizeTexts{}).outputResolution, 300u);
    in = Letter(kModeLineArt);
    in.feederMode = true;
    in.paperCode = kPaperA5;
    const SizeReadout r = ComputeSizeReadout(in, SizeTexts{});
    EXPECT_EQ(r.width, " 5.8 inches");
    EXPECT_EQ(r.length, " 8.3 inches");
}

// ---- Progress ---------------------------------------------------------------

TEST(ProgressDisplay, DrawsANewPhaseAndThenOnlyEveryFivePercent) {
    uint32_t last = 77;
    struct Step {
        uint32_t count;
        bool newPhase, grow;
        int32_t from, to;
    } steps[] = {{0, true, false, 0, 0},    {3, false, false, 0, 0}, {5, false, true, 0, 5},
                 {9, false, false, 0, 0},   {10, false, true, 5, 10}, {100, false, true, 10, 100},
                 {150, false, false, 0, 0}, {0, true, false, 0, 0}};
    for (const Step& s : steps) {
        const ProgressDraw d = NextProgressDraw(s.count, 100, last, 100);
        EXPECT_EQ(d.newPhase, s.newPhase) << s.count;
        EXPECT_EQ(d.grow, s.grow) << s.count;
        if (s.grow) {
            EXPECT_EQ(d.fromX, s.from) << s.count;
            EXPECT_EQ(d.toX, s.to) << s.count;
        }
    }
    EXPECT_EQ(last, 0u) << "a count of 0 starts again";
    EXPECT_EQ(PercentText(5), "   5 %");
    EXPECT_EQ(PercentText(100), " 100 %");
}

TEST(ProgressDisplay, EachColourPassFillsAThirdOfTheBar) {
    uint32_t last = 0;
    NextProgressDraw(0, 600, last, 90);
    EXPECT_EQ(NextProgressDraw(200, 600, last, 90).toX, 30);
    EXPECT_EQ(NextProgressDraw(400, 600, last, 90).toX, 60);
    const ProgressDraw end = NextProgressDraw(600, 600, last, 90);
    EXPECT_EQ(end.fromX, 60);
    EXPECT_EQ(end.toX, 90);
    EXPECT_EQ(end.percent, 100);
}
