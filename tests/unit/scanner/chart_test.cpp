// The test chart and the samples of a pass over it: the fast line rendering
// agrees with the plain point definition at any resolution and frame, the
// chart shows what it should, and the pass output packs and tones it.
#include "outside/scanner/chart.h"
#include "outside/scanner/pass_output.h"
#include "tests/unit/scanner/blocks.h"

#include <gtest/gtest.h>

#include <vector>

using namespace scanner;
using scannertest::GreyBlock;

namespace {

PassGeometry Geometry(const ScanParameterBlock& block, DeviceOptions options = {}) {
    PassGeometry g = ComputePassGeometry(block, options);
    EXPECT_EQ(g.status, 0);
    return g;
}

std::vector<uint8_t> Line(const PassImage& image, const PassGeometry& g, unsigned j) {
    std::vector<uint8_t> samples(g.pixels);
    image.RenderLine(j, samples.data());
    return samples;
}

// Line of the pass whose centre is nearest to `y` inches.
unsigned LineAt(const PassGeometry& g, double y) {
    return static_cast<unsigned>((y - g.topInches) * g.scanResolution);
}
unsigned SampleAt(const PassGeometry& g, double x) {
    return static_cast<unsigned>((x - g.leftInches) * g.scanResolution);
}

}  // namespace

TEST(ChartPass, LinesAgreeWithThePointDefinitionAtAnyResolution) {
    struct Case {
        uint16_t model, res, left, top, right, bottom, pass;
    };
    const Case cases[] = {
        {600, 36, 0, 0, 2550, 4200, 0},        // a prescan of the whole glass
        {1200, 75, 0, 0, 5100, 8400, 1},       // red pass, whole glass
        {800, 200, 400, 1500, 3000, 2800, 2},  // green, a frame over wedges and text
        {1200, 600, 3000, 2300, 5000, 2700, 3},  // blue at full resolution over the wedges
        {600, 123, 17, 2890, 2533, 3600, 0},   // odd resolution and frame, sweeps
    };
    for (const Case& c : cases) {
        auto block = GreyBlock(c.model, c.res, c.left, c.top, c.right, c.bottom);
        block.PassNumber = c.pass;
        PassGeometry g = Geometry(block);
        PassImage image(g, nullptr);
        const int component = g.component();
        // Every line of the small passes; of the large ones the first, the
        // last and 150 spread over the pass. Every sample of each line.
        std::vector<unsigned> lines = {0, g.lines - 1};
        for (unsigned k = 0; k < std::min(g.lines, 150u); ++k)
            lines.push_back(g.lines <= 150 ? k : (k * 7919u + 13) % g.lines);
        int mismatches = 0;
        for (unsigned j : lines) {
            auto line = Line(image, g, j);
            const double y = image.LineY(j);
            const auto row = ChartFeaturesOnRow(y);
            for (unsigned i = 0; i < g.pixels; ++i)
                if (line[i] != ChartSampleOnRow(row, image.SampleX(i), y, component) && ++mismatches < 5)
                    ADD_FAILURE() << "model " << c.model << " res " << c.res << " line " << j << " sample " << i;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(ChartContent, PaperRegistrationRampAndPatches) {
    // Margins are white paper, the registration frame is black.
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(ChartSampleAt(0.1, 0.1, c), 255);
        EXPECT_EQ(ChartSampleAt(0.265, 5.0, c), 0);
        EXPECT_EQ(ChartSampleAt(4.25, 13.735, c), 0);
    }
    // The ramp climbs from black to white.
    EXPECT_LT(ChartSampleAt(0.52, 1.4, 3), 5);
    EXPECT_GT(ChartSampleAt(7.98, 1.4, 3), 250);
    int previous = -1;
    for (double x = 0.5; x < 8.0; x += 0.05) {
        int v = ChartSampleAt(x, 1.4, 3);
        EXPECT_GE(v, previous);
        previous = v;
    }
    // Saturated patches: red, green, blue, then cyan, magenta, yellow.
    const double patchY = 3.1, w = 7.5 / 8;
    auto patch = [&](int k, int c) { return ChartSampleAt(0.5 + (k + 0.5) * w, patchY, c); };
    EXPECT_EQ(patch(0, 0), 255); EXPECT_EQ(patch(0, 1), 0);   EXPECT_EQ(patch(0, 2), 0);
    EXPECT_EQ(patch(1, 0), 0);   EXPECT_EQ(patch(1, 1), 255); EXPECT_EQ(patch(1, 2), 0);
    EXPECT_EQ(patch(2, 0), 0);   EXPECT_EQ(patch(2, 1), 0);   EXPECT_EQ(patch(2, 2), 255);
    EXPECT_EQ(patch(5, 0), 255); EXPECT_EQ(patch(5, 1), 255); EXPECT_EQ(patch(5, 2), 0);
    EXPECT_EQ(patch(0, 3), 77) << "grey of pure red is its luminance";
    EXPECT_EQ(patch(7, 3), 128);
}

TEST(ChartContent, FineLinesResolveAtFullResolution) {
    // The 300 line-pair group at 600 dpi alternates sample by sample.
    auto block = GreyBlock(1200, 600, 0, 0, 5100, 8400);
    PassGeometry g = Geometry(block);
    PassImage image(g, nullptr);
    const double groupLeft = 0.5 + 8 * (7.5 / 9);
    auto line = Line(image, g, LineAt(g, 4.5));
    unsigned i = SampleAt(g, groupLeft + 0.1);
    int changes = 0;
    for (unsigned k = 0; k < 100; ++k) changes += line[i + k] != line[i + k + 1];
    EXPECT_EQ(changes, 100);
    // The horizontal group: consecutive lines alternate.
    unsigned column = SampleAt(g, groupLeft + 0.1);
    unsigned first = LineAt(g, 5.5);
    for (unsigned j = first; j < first + 10; ++j)
        EXPECT_NE(Line(image, g, j)[column], Line(image, g, j + 1)[column]) << j;
}

TEST(ChartContent, TextMarksCoverPartOfTheirRows) {
    auto block = GreyBlock(1200, 300, 0, 0, 5100, 8400);
    PassGeometry g = Geometry(block);
    PassImage image(g, nullptr);
    unsigned black = 0, total = 0;
    for (unsigned j = LineAt(g, 6.6); j < LineAt(g, 8.4); ++j) {
        auto line = Line(image, g, j);
        for (unsigned i = SampleAt(g, 0.5); i < SampleAt(g, 8.0); ++i, ++total) black += line[i] == 0;
    }
    double share = static_cast<double>(black) / total;
    EXPECT_GT(share, 0.15);
    EXPECT_LT(share, 0.6);
}

TEST(AdapterPass, OutsideTheFilmAreaIsDarkAndNegativeFilmInverts) {
    auto block = GreyBlock(600, 100, 0, 0, 2550, 3600);  // 8.5 x 12 inches
    block.ScanSource = 1;
    PassGeometry g = Geometry(block, {.adapter = true});
    PassImage image(g, nullptr);
    auto top = Line(image, g, LineAt(g, 0.1));
    EXPECT_EQ(top[SampleAt(g, 0.1)], 255) << "paper inside the film area";
    EXPECT_EQ(top[SampleAt(g, 0.01)], 0) << "left of the film area";
    EXPECT_EQ(top[SampleAt(g, 8.3)], 0) << "right of the film area";
    EXPECT_EQ(Line(image, g, LineAt(g, 11.0))[SampleAt(g, 4.0)], 0) << "below the film area";

    block.Velocity = 0x80 | 0x30 | 1;
    PassGeometry negative = Geometry(block, {.adapter = true});
    PassOutput output(negative, block, nullptr);
    std::vector<uint8_t> bytes(negative.bytesPerLine);
    output.RenderLine(LineAt(g, 0.1), bytes.data());
    EXPECT_EQ(bytes[SampleAt(g, 0.1)], 0);
    EXPECT_EQ(bytes[SampleAt(g, 8.3)], 255);
}

TEST(PassOutputBits, PackingPutsTheLeftmostSampleFirstAndBlackIsZero) {
    const uint8_t samples[16] = {255, 0, 0, 0, 0, 0, 0, 255, 200, 100, 200, 100, 128, 127, 128, 127};
    uint8_t thresholds[16];
    for (uint8_t& t : thresholds) t = kLineArtThreshold;
    uint8_t out[2] = {0x5A, 0x5A};
    PackBits(samples, thresholds, 16, out);
    EXPECT_EQ(out[0], 0x81);
    EXPECT_EQ(out[1], 0xAA);
}

TEST(PassOutputBits, LineArtOfTheChart) {
    auto block = GreyBlock(600, 300, 0, 0, 2550, 4200);
    block.BackgroundCode = kBackgroundLineArt;
    PassGeometry g = Geometry(block);
    PassOutput output(g, block, nullptr);
    std::vector<uint8_t> bytes(g.bytesPerLine);
    output.RenderLine(LineAt(g, 0.1), bytes.data());
    for (uint8_t b : bytes) EXPECT_EQ(b, 0xFF) << "white paper is all ones";
    output.RenderLine(LineAt(g, 0.265), bytes.data());
    EXPECT_EQ(bytes[SampleAt(g, 4.0) / 8], 0x00) << "the registration frame is black";

    // Brightness +12 lifts the grey ramp's black/white edge to the left.
    auto edge = [&](uint16_t brightness) {
        block.BrightnessCode = brightness;
        PassOutput o(g, block, nullptr);
        o.RenderLine(LineAt(g, 1.4), bytes.data());
        unsigned i = SampleAt(g, 0.6);
        while (!(bytes[i / 8] & (0x80 >> (i % 8)))) ++i;
        return i;
    };
    EXPECT_LT(edge(24), edge(12));
    EXPECT_NEAR(edge(12), SampleAt(g, 0.5 + 7.5 * 128 / 255), 2);
}

TEST(PassOutputBits, HalftoneRendersMidGreyAsHalfTheDots) {
    auto block = GreyBlock(600, 300, 0, 0, 2550, 4200);
    block.BackgroundCode = kBackgroundHalftone;
    // The mid-grey patch, 16 lines of 64 samples (whole cells of every size).
    const double x = 0.5 + 7.5 * 7 / 8 + 0.1;
    for (uint16_t grain : {0, 3, 4, 5, 11}) {
        block.Grain = grain;
        PassGeometry g = Geometry(block);
        PassOutput output(g, block, nullptr);
        std::vector<uint8_t> bytes(g.bytesPerLine);
        int white = 0, total = 0;
        for (unsigned j = 0; j < 120; ++j) {
            output.RenderLine(LineAt(g, 2.8) + j, bytes.data());
            for (unsigned i = SampleAt(g, x); i < SampleAt(g, x) + 120; ++i, ++total)
                white += (bytes[i / 8] >> (7 - i % 8)) & 1;
        }
        EXPECT_NEAR(static_cast<double>(white) / total, 128 / 255.0, 0.04) << "cell " << grain;
    }
}
