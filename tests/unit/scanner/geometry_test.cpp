// Pass geometry: what each model's Start block gives in samples, bytes and
// lines, and which blocks are refused.
#include "outside/scanner/geometry.h"
#include "tests/unit/scanner/blocks.h"

#include <gtest/gtest.h>

using namespace scanner;
using scannertest::GreyBlock;

namespace {

struct ModelCase {
    uint16_t sent;
    unsigned base;
};
const ModelCase kModels[] = {{600, 300}, {1200, 600}, {800, 400}};

}  // namespace

TEST(PassGeometry, WholeGlassAtSeveralResolutionsForEveryModel) {
    for (const ModelCase& m : kModels) {
        for (unsigned res : {36u, 72u, 150u, 300u, 600u, 1200u}) {
            SCOPED_TRACE(::testing::Message() << "model " << m.sent << " at " << res);
            auto block = GreyBlock(m.sent, res, 0, 0, m.base * 17 / 2, m.base * 14);
            PassGeometry g = ComputePassGeometry(block, {});
            ASSERT_EQ(g.status, 0);
            EXPECT_EQ(g.pixels, res * 17 / 2);
            EXPECT_EQ(g.bytesPerLine, res * 17 / 2);
            EXPECT_EQ(g.lines, res * 14);
            EXPECT_EQ(g.kind, PassKind::Grey);
        }
    }
}

TEST(PassGeometry, FrameInBaseUnitsScalesByResolutionOverBase) {
    // 1 x 2 inches at (1, 1) inch on model 800 (base 400) at 250 dpi.
    auto block = GreyBlock(800, 250, 400, 400, 800, 1200);
    PassGeometry g = ComputePassGeometry(block, {});
    ASSERT_EQ(g.status, 0);
    EXPECT_EQ(g.pixels, 250u);
    EXPECT_EQ(g.lines, 500u);
    EXPECT_DOUBLE_EQ(g.leftInches, 1.0);
    EXPECT_DOUBLE_EQ(g.topInches, 1.0);
    // Odd sizes round down: 333 base units at 100 dpi on base 300 is 111.
    block = GreyBlock(600, 100, 10, 20, 343, 120);
    g = ComputePassGeometry(block, {});
    EXPECT_EQ(g.pixels, 111u);
    EXPECT_EQ(g.lines, 33u);
}

TEST(PassGeometry, ColourPassesFollowThePassWord) {
    auto block = GreyBlock(1200, 300, 0, 0, 600, 600);
    const PassKind expected[] = {PassKind::Grey, PassKind::Red, PassKind::Green, PassKind::Blue};
    for (uint16_t word = 0; word < 4; ++word) {
        block.PassNumber = word;
        PassGeometry g = ComputePassGeometry(block, {});
        EXPECT_EQ(g.status, 0);
        EXPECT_EQ(g.kind, expected[word]);
        EXPECT_EQ(g.bytesPerLine, 300u) << "one byte per sample on every pass";
    }
    EXPECT_EQ(ComputePassGeometry(GreyBlock(1200, 300, 0, 0, 600, 600), {}).component(), 3);
}

TEST(PassGeometry, LineArtAndHalftonePackEightSamplesPerByte) {
    for (uint16_t code : {kBackgroundLineArt, kBackgroundHalftone}) {
        auto block = GreyBlock(600, 300, 0, 0, 300, 300);
        block.BackgroundCode = code;
        block.PassNumber = 7;  // the pass word does not matter for 1-bit modes
        PassGeometry g = ComputePassGeometry(block, {});
        ASSERT_EQ(g.status, 0);
        EXPECT_TRUE(g.oneBit());
        EXPECT_EQ(g.pixels, 304u) << "rounded up to whole bytes";
        EXPECT_EQ(g.bytesPerLine, 38u);
        EXPECT_EQ(g.lines, 300u);
    }
}

TEST(PassGeometry, ImpossibleBlocksAreRefused) {
    auto good = GreyBlock(1200, 300, 100, 100, 900, 900);
    ASSERT_EQ(ComputePassGeometry(good, {}).status, 0);
    auto refused = [](ScanParameterBlock b) { return ComputePassGeometry(b, {}).status; };

    auto b = good; b.Frame[2] = b.Frame[0];
    EXPECT_EQ(refused(b), kStatusBadBlock) << "empty frame";
    b = good; b.Frame[1] = 1000;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "inverted frame";
    b = good; b.Frame[2] = 5103;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "beyond the glass width";
    b = good; b.Frame[3] = 8545;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "beyond the glass length";
    b = good; b.ScanRes = 0;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "resolution 0";
    b = good; b.ScanRes = 4800;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "resolution beyond any model";
    b = good; b.PassNumber = 4;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "unknown pass word";
    b = good; b.ModelCode = 606;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "unknown model code";
    b = good; b.ScanRes = 1; b.Frame[2] = 101;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "a frame too small for one sample";
    b = good; b.ScanSource = 3;
    EXPECT_EQ(refused(b), kStatusBadBlock) << "unknown source";
}

TEST(PassGeometry, MetricPageFramesOfTheFeederFitTheArea) {
    // A4 or Letter right edge 8.503937 inches, as the data source sends it.
    for (const ModelCase& m : kModels) {
        auto block = GreyBlock(m.sent, 300, 0, 0, static_cast<uint16_t>(8.503937 * m.base),
                               static_cast<uint16_t>(13.92126 * m.base));
        EXPECT_EQ(ComputePassGeometry(block, {}).status, 0) << m.sent;
    }
}

TEST(PassGeometry, AdapterAndFeederSourcesNeedTheirHardware) {
    auto block = GreyBlock(600, 300, 9, 0, 2409, 3000);
    block.ScanSource = 1;
    block.Velocity = 0x80 | 0x30 | 1;
    EXPECT_EQ(ComputePassGeometry(block, {}).status, kStatusBadBlock);
    PassGeometry g = ComputePassGeometry(block, {.adapter = true});
    ASSERT_EQ(g.status, 0);
    EXPECT_TRUE(g.negativeFilm);
    block.Velocity = 0x31;
    EXPECT_FALSE(ComputePassGeometry(block, {.adapter = true}).negativeFilm);

    block.ScanSource = 0;
    block.Velocity = 0x81;
    EXPECT_FALSE(ComputePassGeometry(block, {}).negativeFilm) << "film bits count only on the adapter";

    block.ScanSource = 2;
    EXPECT_EQ(ComputePassGeometry(block, {}).status, kStatusBadBlock);
    EXPECT_EQ(ComputePassGeometry(block, {.feeder = true}).status, 0);
    block.PassNumber = 1;
    EXPECT_EQ(ComputePassGeometry(block, {.feeder = true, .colourWithFeeder = false}).status,
              kStatusBadBlock);
    EXPECT_EQ(ComputePassGeometry(block, {.feeder = true, .colourWithFeeder = true}).status, 0);
}
