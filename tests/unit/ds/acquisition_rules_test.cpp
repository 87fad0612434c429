#include "ds/acquire/dib.h"
#include "ds/acquire/scan_job.h"
#include "ds/twain/acquisition_rules.h"

#include <gtest/gtest.h>

namespace {

TW_IMAGELAYOUT Layout(double l, double t, double r, double b) {
    TW_IMAGELAYOUT layout{};
    layout.Frame = {DoubleToFix32(l), DoubleToFix32(t), DoubleToFix32(r), DoubleToFix32(b)};
    return layout;
}

}  // namespace

TEST(ScanFrame, AHostsLayoutInInchesBecomesBaseResolutionPixels) {
    EXPECT_EQ(FrameFromLayout(Layout(0, 0, 8.5, 11), 300),
              (std::array<uint16_t, 4>{0, 0, 2550, 3300}));
    EXPECT_EQ(FrameFromLayout(Layout(1.25, 0.5, 2.5, 3), 600),
              (std::array<uint16_t, 4>{750, 300, 1500, 1800}));
}

TEST(ScanFrame, AnEmptyLayoutScansTheDefaultPage) {
    EXPECT_EQ(FrameFromLayout(TW_IMAGELAYOUT{}, 300),
              (std::array<uint16_t, 4>{94, 0, 2551, 3484}));
    // An inverted layout asks for no area either.
    EXPECT_EQ(FrameFromLayout(Layout(2, 0, 1, 4), 300)[2], 2551);
    EXPECT_EQ(FrameFromLayout(Layout(0, 3, 4, 3), 300)[2], 2551);
}

TEST(ScanFrame, AStripUnderAnInchIsScannedAsAsked) {
    EXPECT_EQ(FrameFromLayout(Layout(0, 0, 8.5, 0.5), 300),
              (std::array<uint16_t, 4>{0, 0, 2550, 150}));
    EXPECT_EQ(FrameFromLayout(Layout(0.25, 1, 0.75, 4), 600),
              (std::array<uint16_t, 4>{150, 600, 450, 2400}));
}

TEST(ScanFrame, EdgesBeyondWhatTheBlockHoldsAreKeptInRange) {
    const auto frame = FrameFromLayout(Layout(-2, 1, 30000, 2), 600);
    EXPECT_EQ(frame[0], 0);
    EXPECT_EQ(frame[2], 65535);
}

TEST(NegotiatedValues, ResolutionAndModeFollowTheListPositions) {
    EXPECT_EQ(ResolutionForPosition(0, false), 72);
    EXPECT_EQ(ResolutionForPosition(3, false), 600);
    EXPECT_EQ(ResolutionForPosition(2, false), 300);
    EXPECT_EQ(ResolutionForPosition(2, true), 200) << "fax hosts scan at 200 dpi";
    EXPECT_EQ(ResolutionForPosition(3, true), 600);
    EXPECT_EQ(ScanModeForPixelType(0), kModeLineArt);
    EXPECT_EQ(ScanModeForPixelType(1), kModeGray);
    EXPECT_EQ(ScanModeForPixelType(2), kModeColor);
    EXPECT_EQ(ScanModeForPixelType(3), kModeGray);
    EXPECT_EQ(ScanModeForPixelType(9), kModeLineArt);
}

TEST(SpeedRule, OnlyASlowSpeedNonEnglishInstallationSlowsLineArtAndGray) {
    EXPECT_EQ(ChooseSpeed("No", "None", kModeGray, kSourceGlass).speedBits, 0);
    EXPECT_EQ(ChooseSpeed("no", "German", kModeGray, kSourceGlass).speedBits, 0);
    const SpeedChoice slow = ChooseSpeed("Yes", "None", kModeGray, kSourceGlass);
    EXPECT_EQ(slow.speedBits, 2);
    EXPECT_EQ(slow.indicator, 2);
    EXPECT_EQ(ChooseSpeed("Yes", "ENGLISH", kModeGray, kSourceGlass).speedBits, 0);
    EXPECT_EQ(ChooseSpeed("Yes", "None", kModeColor, kSourceGlass).indicator, 1);
    EXPECT_EQ(ChooseSpeed("Yes", "None", kModeLineArt, kSourceFeeder).speedBits, 0);
}

TEST(TemporarySpace, OnlyTiffAndBmpHaveAHeaderAllowance) {
    EXPECT_EQ(HeaderAllowance(0), 1032u);
    EXPECT_EQ(HeaderAllowance(2), 1078u);
    EXPECT_EQ(HeaderAllowance(1), 0u);
    EXPECT_EQ(HeaderAllowance(3), 0u);
}

TEST(TransferBuffer, GrowsToTheNext32KStepAndStaysWithinBounds) {
    EXPECT_EQ(TransferBufferSize(1000, 1), 32768u);
    EXPECT_EQ(TransferBufferSize(16, 4096), 98304u) << "an exact multiple still grows";
    EXPECT_EQ(TransferBufferSize(10, 3300), 65536u);
    EXPECT_EQ(TransferBufferSize(16800, 10200), 0x200000u);
}

TEST(Interpolation, FactorFollowsTheEnhancedResolutionChoice) {
    EXPECT_EQ(InterpolationFactorFor(false, 3), 1);
    EXPECT_EQ(InterpolationFactorFor(true, 0), 2);
    EXPECT_EQ(InterpolationFactorFor(true, 1), 2);
    EXPECT_EQ(InterpolationFactorFor(true, 2), 4);
    EXPECT_EQ(InterpolationFactorFor(true, 4), 8);
    EXPECT_EQ(InterpolationFactorFor(true, 5), 2);
}

class ImageInformation : public ::testing::Test {
protected:
    void SetUp() override {
        settings = DefaultScanSettings();
        settings.ModelCode = 1200;
        PassGeometry g{100, 250, 250, 250, 252};
        ASSERT_TRUE(TakePassGeometry(job, g));
    }
    ScanSettings settings;
    ScanJob job;
};

TEST_F(ImageInformation, DescribesAGreyScanAtTheChosenResolution) {
    settings.Resolution = 201;
    const TW_IMAGEINFO info = ImageInfoFor(settings, job, TWSX_MEMORY, true);
    EXPECT_EQ(info.XResolution.Whole, 200) << "198 and 201 are reported as 200";
    EXPECT_EQ(info.ImageWidth, 250);
    EXPECT_EQ(info.ImageLength, 100);
    EXPECT_EQ(info.SamplesPerPixel, 1);
    EXPECT_EQ(info.BitsPerSample[0], 8);
    EXPECT_EQ(info.BitsPerSample[1], 0);
    EXPECT_EQ(info.PixelType, TWPT_GRAY);
    EXPECT_EQ(info.Planar, 0);
}

TEST_F(ImageInformation, ColourIsPlanarOnlyForPlanesOutsideFiles) {
    ChooseScanMode(settings, kModeColor);
    settings.ChunkyPixels = 0;
    EXPECT_EQ(ImageInfoFor(settings, job, TWSX_MEMORY, true).Planar, 1);
    EXPECT_EQ(ImageInfoFor(settings, job, TWSX_NATIVE, true).Planar, 1);
    EXPECT_EQ(ImageInfoFor(settings, job, TWSX_FILE, true).Planar, 0);
    settings.ChunkyPixels = 1;
    const TW_IMAGEINFO info = ImageInfoFor(settings, job, TWSX_MEMORY, true);
    EXPECT_EQ(info.Planar, 0);
    EXPECT_EQ(info.BitsPerPixel, 24);
    EXPECT_EQ(info.BitsPerSample[2], 8);
}

TEST_F(ImageInformation, InterpolatedTransfersReportTheSizeTheHostReceives) {
    job.Interpolate = true;
    settings.DpiScale = 2;
    const TW_IMAGEINFO memory = ImageInfoFor(settings, job, TWSX_MEMORY, true);
    EXPECT_EQ(memory.ImageWidth, 1000);
    EXPECT_EQ(memory.ImageLength, 400);
    EXPECT_EQ(memory.XResolution.Whole, 4800);
    // The native bitmap is never interpolated.
    EXPECT_EQ(ImageInfoFor(settings, job, TWSX_NATIVE, true).ImageWidth, 250);
}

TEST_F(ImageInformation, TheResolutionReportedIsTheOneThePixelsHave) {
    // Model 1200 (ceiling 1200); the job is 250 pixels by 100 lines as scanned.
    struct Case {
        const char* name;
        bool window;
        uint16_t resolution, scaling, scanRes, dpiScale;
        bool interpolate;
        uint16_t mechanism;
        int32_t width, dpi;
    } const cases[] = {
        {"window, scaled up: the window's resolution", true, 300, 200, 600, 0, false, TWSX_MEMORY, 250, 300},
        {"window, preset 2 interpolated", true, 2400, 100, 1200, 2, true, TWSX_MEMORY, 1000, 4800},
        {"window, preset 2 as a native bitmap", true, 2400, 100, 1200, 2, false, TWSX_NATIVE, 250, 1200},
        {"host, stored scaling", false, 72, 400, 288, 0, false, TWSX_MEMORY, 250, 288},
        {"host, stored preset 4", false, 72, 100, 72, 4, false, TWSX_NATIVE, 250, 72},
        {"host, interpolated", false, 600, 300, 300, 0, true, TWSX_FILE, 500, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.Resolution = c.resolution;
        settings.Scaling = c.scaling;
        settings.Block.ScanRes = c.scanRes;
        settings.DpiScale = c.dpiScale;
        job.Interpolate = c.interpolate;
        const TW_IMAGEINFO info = ImageInfoFor(settings, job, c.mechanism, c.window);
        EXPECT_EQ(info.ImageWidth, c.width);
        EXPECT_EQ(info.XResolution.Whole, c.dpi);
        EXPECT_EQ(info.YResolution.Whole, c.dpi);
    }
}

TEST(NativeBitmap, BlockSizeCoversHeaderColourTableAndPaddedRows) {
    EXPECT_EQ(DibBlockSize(1, 128, 10), 48u + 1280u);
    EXPECT_EQ(DibBlockSize(8, 252, 2), 40u + 1024u + 504u);
    EXPECT_EQ(DibBlockSize(24, 12, 2), 40u + 24u);
    EXPECT_EQ(DibBlockSize(24, 0xFFFFFFFCu, 0xFFFF), 0u) << "too large for a 32-bit block";
}

TEST(NativeBitmap, HeaderIsABottomUpBitmapWithItsColourTable) {
    uint8_t block[40 + 8] = {};
    EXPECT_EQ(WriteDibHeader(block, 1000, 7, 1), 48u);
    EXPECT_EQ(block[0], 40);
    EXPECT_EQ(block[4] | block[5] << 8, 1000);
    EXPECT_EQ(block[8], 7);
    EXPECT_EQ(block[12], 1);
    EXPECT_EQ(block[14], 1);
    EXPECT_EQ(block[32], 2);
    const uint8_t table[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    EXPECT_EQ(0, std::memcmp(block + 40, table, 8));
}
