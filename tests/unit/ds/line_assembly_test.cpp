#include "ds/acquire/line_assembly.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::optional<PassGeometry> Geometry(uint16_t mode, uint16_t bytes, uint32_t lines) {
    ScanStatusRequest reply{};
    reply.BytesPerLine = bytes;
    reply.LinesRemaining = lines;
    return GeometryFromScanStatus(mode, reply);
}

Bytes Random(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (uint8_t& v : b) v = static_cast<uint8_t>(gen());
    return b;
}

ToneCurve RandomCurve(unsigned seed) {
    const Bytes b = Random(256, seed);
    ToneCurve c;
    std::copy(b.begin(), b.end(), c.begin());
    return c;
}

constexpr CurveSettings kAllOn{kGammaChannelGrey, kLevelChannelGrey, kGammaCurveSupplied, true};

}  // namespace

TEST(PassGeometry, ComesFromTheScanStatusReplyByMode) {
    EXPECT_EQ(Geometry(kModeGray, 2550, 3484), (PassGeometry{3484, 2550, 2550, 2550, 2552}));
    // A 1,000-pixel 1-bit line: 125 bytes used of a 128-byte row.
    EXPECT_EQ(Geometry(kModeLineArt, 125, 7), (PassGeometry{7, 125, 125, 1000, 128}));
    EXPECT_EQ(Geometry(kModeHalftone, 125, 7)->PixelsPerLine, 1000u);
    EXPECT_EQ(Geometry(kModeColor, 3, 2), (PassGeometry{2, 3, 9, 3, 12}));
}

TEST(PassGeometry, RefusesRepliesWithoutLinesOrBytesAndUnknownModes) {
    EXPECT_FALSE(Geometry(kModeGray, 100, 0));
    EXPECT_FALSE(Geometry(kModeColor, 0, 10));
    EXPECT_FALSE(Geometry(1015, 100, 10));
}

TEST(CurveChoice, OnePassNativeAndPlanarMemoryNeedTheGreyCodes) {
    for (Delivery d : {Delivery::Native, Delivery::MemoryPlanes}) {
        EXPECT_EQ(ChooseCurves(kAllOn, d, -1), (CurveChoice{kLevelCurveGrey, kGammaCurveGrey}));
        const CurveSettings each{kGammaChannelEach, kLevelChannelEach, kGammaCurveSupplied, true};
        EXPECT_EQ(ChooseCurves(each, d, -1), CurveChoice{});
        const CurveSettings off{kGammaChannelGrey, kLevelChannelGrey, 1, false};
        EXPECT_EQ(ChooseCurves(off, d, -1), CurveChoice{});
    }
}

TEST(CurveChoice, OnePassThroughPassFilesTakesGreyWheneverSwitchedOn) {
    const CurveSettings each{kGammaChannelRed, kLevelChannelEach, kGammaCurveSupplied, true};
    for (Delivery d : {Delivery::File, Delivery::MemoryChunky}) {
        EXPECT_EQ(ChooseCurves(each, d, -1), (CurveChoice{kLevelCurveGrey, kGammaCurveGrey}));
        EXPECT_EQ(ChooseCurves(CurveSettings{kGammaChannelRed, 0, 1, true}, d, -1),
                  (CurveChoice{kLevelCurveGrey, std::nullopt}));
    }
}

TEST(CurveChoice, ColourPassesFollowTheChannelCodesOnEveryPath) {
    const CurveSettings each{kGammaChannelEach, kLevelChannelEach, kGammaCurveSupplied, true};
    const CurveSettings greenLevelBlueGamma{kGammaChannelBlue, kLevelChannelGreen,
                                            kGammaCurveSupplied, true};
    for (Delivery d : {Delivery::Native, Delivery::File}) {
        EXPECT_EQ(ChooseCurves(each, d, 0), (CurveChoice{kLevelCurveRed, kGammaCurveRed}));
        EXPECT_EQ(ChooseCurves(each, d, 1), (CurveChoice{kLevelCurveGreen, kGammaCurveGreen}));
        EXPECT_EQ(ChooseCurves(each, d, 2), (CurveChoice{kLevelCurveBlue, kGammaCurveBlue}));
        EXPECT_EQ(ChooseCurves(kAllOn, d, 1), (CurveChoice{kLevelCurveGrey, kGammaCurveGrey}));
        EXPECT_EQ(ChooseCurves(greenLevelBlueGamma, d, 0), CurveChoice{});
        EXPECT_EQ(ChooseCurves(greenLevelBlueGamma, d, 1), (CurveChoice{kLevelCurveGreen, {}}));
        EXPECT_EQ(ChooseCurves(greenLevelBlueGamma, d, 2), (CurveChoice{{}, kGammaCurveBlue}));
    }
    EXPECT_EQ(ChooseCurves(CurveSettings{2012, 7013, kGammaCurveSupplied, true}, Delivery::File, 0),
              CurveChoice{});
}

TEST(CurveChoice, CombinedTableAppliesTheLevelCurveBeforeTheGammaCurve) {
    Bytes tables(kToneStoreSize, 0);
    for (size_t b = 0; b < 256; ++b) {
        tables[kLevelCurveGrey + b] = static_cast<uint8_t>(b / 2);
        tables[kGammaCurveGrey + b] = static_cast<uint8_t>(std::min<size_t>(255, b + 100));
    }
    const ToneCurve both = CombineCurves(tables.data(), {kLevelCurveGrey, kGammaCurveGrey});
    EXPECT_EQ(both[200], 200);  // gamma(level(200)) = gamma(100); the other way round gives 127
    EXPECT_EQ(CombineCurves(nullptr, {}), IdentityCurve());
    // Tables that could not be allocated read as the identity they start as.
    EXPECT_EQ(CombineCurves(nullptr, {kLevelCurveGrey, kGammaCurveGrey}), IdentityCurve());
}

TEST(CurveChoice, TheCurveTheScannerAppliedIsNotAppliedAgain) {
    struct Case {
        CurveChoice chosen;
        int pass;
        CurveChoice kept;
    } cases[] = {
        {{kLevelCurveGrey, kGammaCurveGrey}, -1, {kLevelCurveGrey, {}}},  // one pass: grey was sent
        {{{}, kGammaCurveRed}, 0, {}},                                     // red pass, red curve
        {{{}, kGammaCurveBlue}, 2, {}},
        {{{}, kGammaCurveGrey}, 1, {{}, kGammaCurveGrey}},  // grey on a colour pass: not sent
        {{{}, kGammaCurveRed}, 1, {{}, kGammaCurveRed}},
    };
    for (const Case& c : cases) EXPECT_EQ(WithoutScannerGamma(c.chosen, c.pass), c.kept) << c.pass;
}

TEST(LineSteps, MirroringReversesPixelsOfEveryKind) {
    Bytes bits{0x80, 0x00};
    MirrorLine(bits, PixelKind::Bit);
    EXPECT_EQ(bits, (Bytes{0x00, 0x01}));
    const Bytes original = Random(13, 1);
    Bytes twice = original;
    MirrorLine(twice, PixelKind::Bit);
    MirrorLine(twice, PixelKind::Bit);
    EXPECT_EQ(twice, original);
    Bytes grey{1, 2, 3};
    MirrorLine(grey, PixelKind::Byte);
    EXPECT_EQ(grey, (Bytes{3, 2, 1}));
    Bytes rgb{1, 2, 3, 4, 5, 6, 7, 8, 9};
    MirrorLine(rgb, PixelKind::Rgb);
    EXPECT_EQ(rgb, (Bytes{7, 8, 9, 4, 5, 6, 1, 2, 3}));
}

TEST(LineSteps, CurveAndInversionReachEveryByteOfOddLengths) {
    Bytes line = Random(21, 2);
    const Bytes before = line;
    const ToneCurve curve = RandomCurve(3);
    ApplyCurve(line, curve);
    InvertLine(line);
    for (size_t i = 0; i < line.size(); ++i) EXPECT_EQ(line[i], 255 - curve[before[i]]) << i;
}

// The folded table must give what the single steps give in the path's order.
TEST(LineConversion, MatchesTheStepsInTheOrderOfEachPath) {
    const ToneCurve random = RandomCurve(4);
    for (PixelKind kind : {PixelKind::Bit, PixelKind::Byte})
        for (Delivery d : {Delivery::Native, Delivery::File})
            for (int flags = 0; flags < 8; ++flags) {
                const LineOptions o{(flags & 1) != 0, (flags & 2) != 0};
                const ToneCurve curve = (flags & 4) ? random : IdentityCurve();
                const LineTransform t = MakeLineTransform(kind, d, o, curve);
                for (size_t n : {1u, 7u, 8u, 9u, 40u}) {
                    Bytes want = Random(n, static_cast<unsigned>(n + flags));
                    const Bytes raw = want;
                    if (d == Delivery::Native) ApplyCurve(want, curve);
                    if (o.Invert) InvertLine(want);
                    if (o.Mirror) MirrorLine(want, kind);
                    if (d != Delivery::Native) ApplyCurve(want, curve);
                    Bytes got(n + 3, 0xEE);
                    ConvertLines(t, raw.data(), n, 1, got.data(), 0, n + 3);
                    want.resize(n + 3, 0);
                    EXPECT_EQ(got, want) << "kind " << int(kind) << " flags " << flags << " n " << n;
                }
            }
}

TEST(LineConversion, WithInversionAndALevelCurveNativeInvertsLastAndFilesFirst) {
    ToneCurve half;
    for (size_t b = 0; b < 256; ++b) half[b] = static_cast<uint8_t>(b / 2);
    const LineOptions invert{true, false};
    const uint8_t raw = 0x40;
    uint8_t out = 0;
    ConvertLines(MakeLineTransform(PixelKind::Byte, Delivery::Native, invert, half), &raw, 1, 1,
                 &out, 0, 1);
    EXPECT_EQ(out, 0xDF);  // 255 - half(0x40)
    ConvertLines(MakeLineTransform(PixelKind::Byte, Delivery::MemoryPlanes, invert, half), &raw,
                 1, 1, &out, 0, 1);
    EXPECT_EQ(out, 0x5F);  // half(255 - 0x40)
}

TEST(NativeRows, ColourPassesFillBlueGreenRedPixelsBottomUpWithZeroPadding) {
    const PassGeometry g = *Geometry(kModeColor, 3, 2);
    Bytes rows(2 * g.PaddedLineBytes, 0xEE);
    const Bytes red{1, 2, 3, 4, 5, 6}, green{11, 12, 13, 14, 15, 16}, blue{21, 22, 23, 24, 25, 26};
    const LineTransform copy;
    int pass = 0;
    for (const Bytes* component : {&red, &green, &blue})
        EXPECT_EQ(AssembleNativeChunk(copy, g, pass++, rows.data(), 0, component->data(), 2), 2u);
    // The first row in memory holds the second scanned line.
    EXPECT_EQ(rows, (Bytes{24, 14, 4, 25, 15, 5, 26, 16, 6, 0, 0, 0,
                           21, 11, 1, 22, 12, 2, 23, 13, 3, 0, 0, 0}));
}

TEST(NativeRows, FeederMirrorsEachComponentAsAWholePixelMirror) {
    const PassGeometry g = *Geometry(kModeColor, 5, 1);
    Bytes plain(g.PaddedLineBytes), mirrored(g.PaddedLineBytes);
    const LineTransform straight;
    const LineTransform flipped = MakeLineTransform(PixelKind::Byte, Delivery::Native,
                                                    {false, true}, IdentityCurve());
    for (int pass = 0; pass < 3; ++pass) {
        const Bytes component = Random(5, static_cast<unsigned>(10 + pass));
        AssembleNativeChunk(straight, g, pass, plain.data(), 0, component.data(), 1);
        AssembleNativeChunk(flipped, g, pass, mirrored.data(), 0, component.data(), 1);
    }
    MirrorLine(std::span(plain).first(g.LineBytes), PixelKind::Rgb);
    EXPECT_EQ(mirrored, plain);
}

TEST(NativeRows, OnePassChunksLandInTheirRowsAndLinesBeyondThePassAreDropped) {
    const PassGeometry g = *Geometry(kModeLineArt, 125, 5);
    const Bytes raw = Random(6 * 125, 5);
    const LineTransform copy;
    Bytes whole(5 * 128, 0xEE), chunked(5 * 128, 0xEE);
    EXPECT_EQ(AssembleNativeChunk(copy, g, -1, whole.data(), 0, raw.data(), 5), 5u);
    EXPECT_EQ(AssembleNativeChunk(copy, g, -1, chunked.data(), 0, raw.data(), 2), 2u);
    EXPECT_EQ(AssembleNativeChunk(copy, g, -1, chunked.data(), 2, raw.data() + 250, 4), 3u);
    EXPECT_EQ(AssembleNativeChunk(copy, g, -1, chunked.data(), 5, raw.data(), 1), 0u);
    EXPECT_EQ(chunked, whole);
    for (size_t line = 0; line < 5; ++line) {
        const uint8_t* row = whole.data() + (4 - line) * 128;
        EXPECT_TRUE(std::equal(row, row + 125, raw.begin() + line * 125)) << line;
        EXPECT_EQ(Bytes(row + 125, row + 128), Bytes(3, 0)) << line;
    }
}

TEST(NativeRows, GreenOnlyLevelCodeChangesOnlyTheGreenPass) {
    Bytes tables(kToneStoreSize, 0);
    for (size_t set = kLevelCurveBlue; set <= kLevelCurveGrey; set += 0x100)
        for (size_t b = 0; b < 256; ++b) tables[set + b] = static_cast<uint8_t>(255 - b);
    const CurveSettings s{kGammaChannelEach, kLevelChannelGreen, 1, true};
    const PassGeometry g = *Geometry(kModeColor, 1, 1);
    Bytes row(4);
    const uint8_t raw = 10;
    for (int pass = 0; pass < 3; ++pass)
        AssembleNativeChunk(PassTransform(PixelKind::Byte, Delivery::Native, {}, s, pass,
                                          tables.data()),
                            g, pass, row.data(), 0, &raw, 1);
    EXPECT_EQ(row, (Bytes{10, 245, 10, 0}));
}

TEST(ColourMerge, ChunkyStripsAreRedGreenBlueAndBmpRowsBlueGreenRedBottomUp) {
    const Bytes red{1, 2, 3, 4}, green{11, 12, 13, 14}, blue{21, 22, 23, 24};
    Bytes strip(2 * 8, 0xEE);
    InterleaveRgb(red.data(), green.data(), blue.data(), 2, 2, strip.data(), 8);
    EXPECT_EQ(strip, (Bytes{1, 11, 21, 2, 12, 22, 0, 0, 3, 13, 23, 4, 14, 24, 0, 0}));

    Bytes tiff(12, 0xEE), bmp(16, 0xEE);
    int c = 0;
    for (const Bytes* component : {&red, &green, &blue}) {
        const size_t comp = static_cast<size_t>(c++);
        PlaceComponent(component->data(), 2, 2, tiff.data(), 6,
                       ComponentByte(PixelOrder::Rgb, comp), 6);
        PlaceComponent(component->data(), 2, 2, bmp.data() + 8, -8,
                       ComponentByte(PixelOrder::Bgr, comp), 8);
    }
    EXPECT_EQ(tiff, (Bytes{1, 11, 21, 2, 12, 22, 3, 13, 23, 4, 14, 24}));
    EXPECT_EQ(bmp, (Bytes{23, 13, 3, 24, 14, 4, 0, 0, 21, 11, 1, 22, 12, 2, 0, 0}));
}
