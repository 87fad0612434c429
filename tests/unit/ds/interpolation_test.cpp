#include "ds/acquire/interpolation.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kFactors[] = {2, 4, 6, 8};

Bytes Random(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (uint8_t& v : b) v = static_cast<uint8_t>(gen());
    return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Scales a whole chunk with a fresh carried line into packed rows.
Bytes Scale(PixelKind kind, int factor, const Bytes& lines, size_t pixels) {
    const size_t in = ScaleInputLineBytes(kind, pixels);
    const size_t count = lines.size() / in;
    Bytes out(count * factor * ScaleOutputLineBytes(kind, pixels, factor));
    CarriedLine carry;
    EXPECT_EQ(ScaleLines(kind, factor, lines.data(), pixels, count, out.data(), carry),
              count * factor);
    return out;
}

Bytes Row(const Bytes& rows, size_t rowBytes, size_t r) {
    return Bytes(rows.begin() + r * rowBytes, rows.begin() + (r + 1) * rowBytes);
}

// Output sample (row R, pixel C) of one component, written as the block
// formulas describe them, for an independent check of every lane and tail.
int Reference(int factor, int a, int b, int c, int d, int R, int C) {
    auto m = [](int x, int y) { return (x + y) >> 1; };
    const int ab = m(a, b), ac = m(a, c), ad = m(a, d), bd = m(b, d), cd = m(c, d);
    if (factor == 2) {
        const int s[2][2] = {{a, ab}, {ac, ad}};
        return s[R][C];
    }
    if (factor == 4) {
        const int s[4][4] = {{a, m(ab, a), ab, m(ab, b)},
                             {m(ac, a), m(ad, a), m(ad, ab), m(bd, ab)},
                             {ac, m(ad, ac), ad, m(ad, bd)},
                             {m(ac, c), m(cd, ac), m(ad, cd), m(ad, d)}};
        return s[R][C];
    }
    // factor 6
    auto t = [](int s, int e) { return (e - s) / 3; };
    auto step = [&](int s, int e, int k) { return s + k * t(s, e); };
    auto top = [&](int col) { return col < 3 ? step(a, ab, col) : step(ab, b, col - 3); };
    auto mid = [&](int col) { return col < 3 ? step(ac, ad, col) : step(ad, bd, col - 3); };
    if (R == 3) return mid(C);
    if (R < 3) return step(top(C), mid(C), R);
    const int k = R - 3;
    const int first = step(ac, c, k), fourth = step(ad, cd, k);
    if (C < 3) return step(first, fourth, C);
    if (C == 3) return fourth;
    const int corner = step(ad, d, 2);
    if (R == 4 && C == 4) return step(ad, d, 1);
    if (R == 5 && C == 5) return corner;
    if (R == 4) return m(step(ad, bd, 2), corner);  // (4,5) from (3,5) and (5,5)
    return m(step(ad, cd, 2), corner);               // (5,4) from (5,3) and (5,5)
}

// The expected one-component output of a chunk scaled from its start.
Bytes ReferenceBytes(int factor, const Bytes& lines, size_t pixels) {
    const size_t count = lines.size() / pixels;
    const size_t width = pixels * factor;
    Bytes out(count * factor * width);
    for (size_t j = 0; j < count; ++j) {
        const uint8_t* A = lines.data() + (j == 0 ? 0 : j - 1) * pixels;
        const uint8_t* B = lines.data() + j * pixels;
        for (size_t p = 0; p < pixels; ++p) {
            for (int R = 0; R < factor; ++R) {
                for (int C = 0; C < factor; ++C) {
                    const int v = p + 1 == pixels
                                      ? A[p]
                                      : Reference(factor, A[p], A[p + 1], B[p], B[p + 1], R, C);
                    out[(j * factor + R) * width + p * factor + C] = static_cast<uint8_t>(v);
                }
            }
        }
    }
    return out;
}

}  // namespace

// ---- Worked examples ------------------------------------------------------------

TEST(ScaleGrey, TwoLinesDoubledBlendTowardsTheLineBelow) {
    const Bytes A = {10, 20}, B = {30, 40};
    const Bytes out = Scale(PixelKind::Byte, 2, Concat({A, B}), 2);
    // Line A is the first of the pass: it is its own upper neighbour.
    EXPECT_EQ(Row(out, 4, 0), (Bytes{10, 15, 20, 20}));
    EXPECT_EQ(Row(out, 4, 1), (Bytes{10, 15, 20, 20}));
    // Line B with A above it.
    EXPECT_EQ(Row(out, 4, 2), (Bytes{10, 15, 20, 20}));
    EXPECT_EQ(Row(out, 4, 3), (Bytes{20, 25, 20, 20}));
}

TEST(ScaleGrey, FourFoldBlockOfARampIsTheRampItself) {
    // a 0, b 64 above c 128, d 192; a third pixel so that b is not the last.
    const Bytes out = Scale(PixelKind::Byte, 4, Concat({{0, 64, 7}, {128, 192, 9}}), 3);
    for (int r = 0; r < 4; ++r)
        for (int s = 0; s < 4; ++s)
            EXPECT_EQ(out[(4 + r) * 12 + s], 32 * r + 16 * s) << r << "," << s;
}

TEST(ScaleGrey, SixFoldBlockOfARampStepsInThirds) {
    const Bytes out = Scale(PixelKind::Byte, 6, Concat({{0, 60, 7}, {120, 180, 9}}), 3);
    for (int r = 0; r < 6; ++r)
        for (int s = 0; s < 6; ++s)
            EXPECT_EQ(out[(6 + r) * 18 + s], 20 * r + 10 * s) << r << "," << s;
}

TEST(ScaleGrey, SixFoldThirdsOfAFallTruncateTowardZero) {
    // 100 falling to 0: the thirds are -16, not -17.
    const Bytes out = Scale(PixelKind::Byte, 6, Bytes{100, 0}, 2);
    EXPECT_EQ(Row(out, 12, 0), (Bytes{100, 84, 68, 50, 34, 18, 0, 0, 0, 0, 0, 0}));
}

TEST(ScaleGrey, EightFoldBlockOfARampIsTheRampAtHalfSteps) {
    const Bytes out = Scale(PixelKind::Byte, 8, Concat({{0, 64, 7}, {128, 192, 9}}), 3);
    for (int r = 0; r < 8; ++r)
        for (int s = 0; s < 8; ++s)
            EXPECT_EQ(out[(8 + r) * 24 + s], 16 * r + 8 * s) << r << "," << s;
}

TEST(ScaleGrey, EightFoldBlockBeforeTheLastPixelMeetsItsFlatBlock) {
    // b is the last pixel: its block is b throughout, so the cells of the
    // right-hand column of a's block blend towards b, not towards bd.
    const Bytes out = Scale(PixelKind::Byte, 8, Concat({{0, 64}, {128, 192}}), 2);
    const size_t w = 16;
    for (int r = 0; r < 8; ++r) EXPECT_EQ(out[(8 + r) * w + 8], 64);  // b's own block
    EXPECT_EQ(out[8 * w + 7], (48 + 64) / 2);                        // (0,3) to b
    EXPECT_EQ(out[(8 + 6) * w + 7], (144 + 64) / 2);                 // (3,3) to b
    EXPECT_EQ(out[(8 + 7) * w + 7], (144 + 192) / 2);                // (3,3) to d
}

TEST(ScaleBits, LineArtBitsAreRepeatedAlongTheLineAndDown) {
    const Bytes out = Scale(PixelKind::Bit, 2, Bytes{0xA0}, 8);
    EXPECT_EQ(out, (Bytes{0xCC, 0x00, 0xCC, 0x00}));
}

TEST(ScaleBits, EveryFactorKeepsTheLeftmostPixelInTheTopBit) {
    EXPECT_EQ(Scale(PixelKind::Bit, 4, Bytes{0x81}, 8),
              Concat({{0xF0, 0, 0, 0x0F}, {0xF0, 0, 0, 0x0F}, {0xF0, 0, 0, 0x0F},
                      {0xF0, 0, 0, 0x0F}}));
    const Bytes six = Scale(PixelKind::Bit, 6, Bytes{0x81}, 8);
    EXPECT_EQ(Row(six, 6, 0), (Bytes{0xFC, 0, 0, 0, 0, 0x3F}));
    const Bytes eight = Scale(PixelKind::Bit, 8, Bytes{0x40}, 8);
    EXPECT_EQ(Row(eight, 8, 7), (Bytes{0, 0xFF, 0, 0, 0, 0, 0, 0}));
}

TEST(ScaleBits, EachInputLineMakesItsOwnRowsWithoutBlending) {
    // 37 bytes: runs of 16 bytes and single bytes after them.
    const size_t bytes = 37, pixels = 8 * bytes;
    for (int f : kFactors) {
        const Bytes lines = Random(3 * bytes, 11);
        const Bytes out = Scale(PixelKind::Bit, f, lines, pixels);
        const size_t w = bytes * f;
        for (size_t j = 0; j < 3; ++j) {
            const Bytes first = Row(out, w, j * f);
            for (int r = 1; r < f; ++r) EXPECT_EQ(Row(out, w, j * f + r), first) << f;
            // Every input pixel becomes f pixels of the same value.
            for (size_t x = 0; x < pixels; ++x) {
                const int bit = (lines[j * bytes + x / 8] >> (7 - x % 8)) & 1;
                for (int k = 0; k < f; ++k) {
                    const size_t q = x * f + k;
                    ASSERT_EQ((first[q / 8] >> (7 - q % 8)) & 1, bit) << f << " " << x;
                }
            }
        }
    }
}

TEST(ScaleChunks, AOneLineChunkMakesFRowsAndIsCarriedIntoTheNext) {
    for (int f : kFactors) {
        const Bytes first = {10, 200, 30}, second = {90, 5, 250};
        CarriedLine carry;
        Bytes a(3 * f * f), b(3 * f * f);
        EXPECT_EQ(ScaleLines(PixelKind::Byte, f, first.data(), 3, 1, a.data(), carry),
                  static_cast<size_t>(f));
        EXPECT_EQ(carry.Line, first);
        EXPECT_EQ(ScaleLines(PixelKind::Byte, f, second.data(), 3, 1, b.data(), carry),
                  static_cast<size_t>(f));
        EXPECT_EQ(carry.Line, second);
        EXPECT_EQ(Concat({a, b}), Scale(PixelKind::Byte, f, Concat({first, second}), 3)) << f;
    }
}

// ---- Properties over every kind and factor --------------------------------------

TEST(ScaleProperties, GreyMatchesTheBlockFormulasAtEveryWidth) {
    // Widths around the 16-pixel runs, so that runs, the pixels after them
    // and the last pixel all appear in every position.
    for (int f : {2, 4, 6}) {
        for (size_t pixels : {1u, 2u, 3u, 16u, 17u, 18u, 19u, 33u, 34u, 35u, 50u, 67u}) {
            const Bytes lines = Random(pixels * 5, static_cast<unsigned>(pixels * 10 + f));
            EXPECT_EQ(Scale(PixelKind::Byte, f, lines, pixels), ReferenceBytes(f, lines, pixels))
                << "factor " << f << ", " << pixels << " pixels";
        }
    }
}

TEST(ScaleProperties, SixFoldThirdsHoldForEveryStepOfAWideLine) {
    // Enough blocks that every step between two samples, rising and
    // falling, occurs in the runs of 16 pixels.
    const size_t pixels = 4099;
    const Bytes lines = Random(pixels * 3, 77);
    EXPECT_EQ(Scale(PixelKind::Byte, 6, lines, pixels), ReferenceBytes(6, lines, pixels));
}

TEST(ScaleProperties, EightFoldIsTheFourFoldGridScaledOnceMore) {
    // Every sample of an 8 x 8 block is the 2 x 2 rule applied to the 4 x 4
    // image (neighbouring blocks included); the last pixel's block is flat.
    for (size_t pixels : {2u, 5u, 17u, 18u, 19u, 40u}) {
        const size_t lines = 4;
        const Bytes input = Random(pixels * (lines + 1), static_cast<unsigned>(pixels));
        const Bytes chunk(input.begin(), input.begin() + pixels * lines);
        const Bytes eight = Scale(PixelKind::Byte, 8, chunk, pixels);
        // One more line gives the 4 x 4 rows below the chunk's last block.
        const Bytes four = Scale(PixelKind::Byte, 4, input, pixels);
        const size_t w4 = 4 * pixels, w8 = 8 * pixels;
        auto g = [&](size_t R, size_t C) { return static_cast<int>(four[R * w4 + C]); };
        for (size_t R = 0; R < 8 * lines; ++R) {
            for (size_t C = 0; C < w8; ++C) {
                const size_t p = C / 8;
                int want;
                if (p + 1 == pixels) {
                    want = input[(R / 8 == 0 ? 0 : R / 8 - 1) * pixels + p];
                } else {
                    const size_t r = R / 2, c = C / 2;
                    const int a = g(r, c), b = g(r, c + 1), cc = g(r + 1, c), d = g(r + 1, c + 1);
                    const int s[2][2] = {{a, (a + b) >> 1}, {(a + cc) >> 1, (a + d) >> 1}};
                    want = s[R % 2][C % 2];
                }
                ASSERT_EQ(eight[R * w8 + C], want) << pixels << " pixels, row " << R << " col " << C;
            }
        }
    }
}

TEST(ScaleProperties, ColourPixelsScaleEachComponentOnItsOwn) {
    for (int f : kFactors) {
        for (size_t pixels : {1u, 2u, 7u, 17u, 18u, 19u, 35u, 36u, 53u}) {
            const size_t lines = 3;
            const Bytes rgb = Random(3 * pixels * lines, static_cast<unsigned>(pixels * 7 + f));
            const Bytes scaled = Scale(PixelKind::Rgb, f, rgb, pixels);
            for (size_t k = 0; k < 3; ++k) {
                Bytes plane(pixels * lines);
                for (size_t i = 0; i < plane.size(); ++i) plane[i] = rgb[3 * i + k];
                const Bytes want = Scale(PixelKind::Byte, f, plane, pixels);
                for (size_t i = 0; i < want.size(); ++i)
                    ASSERT_EQ(scaled[3 * i + k], want[i])
                        << "factor " << f << ", " << pixels << " pixels, component " << k;
            }
        }
    }
}

TEST(ScaleProperties, FirstRowsRepeatTheFirstLineAndTheLastPixelKeepsItsValue) {
    for (PixelKind kind : {PixelKind::Byte, PixelKind::Rgb}) {
        for (int f : kFactors) {
            const size_t pixels = 37, S = kind == PixelKind::Rgb ? 3 : 1;
            const size_t w = S * pixels * f;
            const Bytes lines = Random(S * pixels * 4, 5);
            const Bytes out = Scale(kind, f, lines, pixels);
            for (int r = 1; r < f; ++r) EXPECT_EQ(Row(out, w, r), Row(out, w, 0));
            for (size_t R = 0; R < 4u * f; ++R) {
                const size_t upper = R / f == 0 ? 0 : R / f - 1;
                for (int s = 0; s < f; ++s)
                    for (size_t k = 0; k < S; ++k)
                        EXPECT_EQ(out[R * w + S * ((pixels - 1) * f + s) + k],
                                  lines[upper * S * pixels + S * (pixels - 1) + k]);
            }
        }
    }
}

TEST(ScaleProperties, ChunksOfAnySizeGiveTheSameImageAsOneCall) {
    for (PixelKind kind : {PixelKind::Bit, PixelKind::Byte, PixelKind::Rgb}) {
        for (int f : kFactors) {
            const size_t pixels = 41, in = ScaleInputLineBytes(kind, pixels);
            const size_t lines = 12, out = ScaleOutputLineBytes(kind, pixels, f);
            const Bytes input = Random(in * lines, 9);
            const Bytes whole = Scale(kind, f, input, pixels);
            Bytes pieces(whole.size());
            CarriedLine carry;
            size_t done = 0;
            for (size_t n : {1u, 4u, 2u, 5u}) {
                EXPECT_EQ(ScaleLines(kind, f, input.data() + done * in, pixels, n,
                                     pieces.data() + done * f * out, carry),
                          n * f);
                done += n;
            }
            EXPECT_EQ(pieces, whole) << static_cast<int>(kind) << " factor " << f;
        }
    }
}

// ---- Passes and carried lines -----------------------------------------------------

TEST(ScalePasses, AResetCarriedLineStartsTheNextPassAfresh) {
    CarriedLine carry;
    const Bytes red = {200, 200, 200}, green = {10, 10, 10};
    Bytes out(3 * 2 * 2);
    ScaleLines(PixelKind::Byte, 2, red.data(), 3, 1, out.data(), carry);
    ResetCarriedLine(carry);
    ScaleLines(PixelKind::Byte, 2, green.data(), 3, 1, out.data(), carry);
    // Nothing of the red pass blends into the green one.
    EXPECT_EQ(out, Bytes(12, 10));
}

TEST(ScalePasses, ANewLineLengthTakesANewCarriedLine) {
    CarriedLine carry;
    const Bytes wide = {50, 50, 50, 50}, narrow = {90, 90};
    Bytes out(4 * 2 * 2);
    ScaleLines(PixelKind::Byte, 2, wide.data(), 4, 1, out.data(), carry);
    ScaleLines(PixelKind::Byte, 2, narrow.data(), 2, 1, out.data(), carry);
    EXPECT_EQ(carry.Line, narrow);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 8), Bytes(8, 90));
}

TEST(ScalePasses, TheChannelsOfAColourScanCarryTheirOwnLines) {
    ScaleChannels channels;
    const Bytes red = {255, 255}, green = {0, 0};
    Bytes out(8);
    ScaleLines(PixelKind::Byte, 2, red.data(), 2, 1, out.data(), channels.Component[0]);
    ScaleLines(PixelKind::Byte, 2, green.data(), 2, 1, out.data(), channels.Component[1]);
    // The second red chunk blends with red, not with the green chunk in between.
    ScaleLines(PixelKind::Byte, 2, red.data(), 2, 1, out.data(), channels.Component[0]);
    EXPECT_EQ(out, Bytes(8, 255));
    ResetScaleChannels(channels);
    EXPECT_FALSE(channels.Component[0].Held);
    EXPECT_FALSE(channels.Component[1].Held);
    FreeScaleChannels(channels);
    EXPECT_EQ(channels.Component[0].Line.capacity(), 0u);
}

// ---- Destination rows ----------------------------------------------------------------

TEST(ScaleRows, PaddedRowsBottomUpFillExactlyTheirRowsAndZeroThePadding) {
    // Three 5-pixel grey lines doubled into 12-byte rows, last row first, in a
    // buffer with guard bytes around it.
    const size_t pixels = 5, rowBytes = 12, rows = 6, guard = 7;
    const Bytes input = Random(pixels * 3, 3);
    Bytes buffer(guard + rows * rowBytes + guard, 0xEE);
    uint8_t* lastRow = buffer.data() + guard + (rows - 1) * rowBytes;
    CarriedLine carry;
    EXPECT_EQ(ScaleLines(PixelKind::Byte, 2, input.data(), pixels, 3, lastRow,
                         -static_cast<ptrdiff_t>(rowBytes), rowBytes, carry),
              rows);
    const Bytes packed = Scale(PixelKind::Byte, 2, input, pixels);
    for (size_t r = 0; r < rows; ++r) {
        const uint8_t* row = lastRow - r * rowBytes;
        EXPECT_EQ(Bytes(row, row + 10), Row(packed, 10, r));
        EXPECT_EQ(Bytes(row + 10, row + 12), Bytes(2, 0));
    }
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + guard), Bytes(guard, 0xEE));
    EXPECT_EQ(Bytes(buffer.end() - guard, buffer.end()), Bytes(guard, 0xEE));
}

TEST(ScaleRows, NothingIsWrittenForArgumentsTheRoutineCannotServe) {
    const Bytes line = {1, 2, 3, 4};
    Bytes out(64, 0xEE);
    CarriedLine carry;
    EXPECT_EQ(ScaleLines(PixelKind::Byte, 3, line.data(), 4, 1, out.data(), carry), 0u);
    EXPECT_EQ(ScaleLines(PixelKind::Byte, 1, line.data(), 4, 1, out.data(), carry), 0u);
    EXPECT_EQ(ScaleLines(PixelKind::Byte, 2, line.data(), 0, 1, out.data(), carry), 0u);
    EXPECT_EQ(ScaleLines(PixelKind::Byte, 2, line.data(), 4, 0, out.data(), carry), 0u);
    // A row narrower than one output line.
    EXPECT_EQ(ScaleLines(PixelKind::Byte, 2, line.data(), 4, 1, out.data(), 8, 7, carry), 0u);
    EXPECT_EQ(out, Bytes(64, 0xEE));
    EXPECT_FALSE(carry.Held);
}

TEST(ScaleSizes, OutputRowsAreTheInputBytesTimesTheFactor) {
    EXPECT_EQ(ScaleInputLineBytes(PixelKind::Bit, 13), 2u);
    EXPECT_EQ(ScaleOutputLineBytes(PixelKind::Bit, 104, 8), 104u);
    EXPECT_EQ(ScaleOutputLineBytes(PixelKind::Byte, 2550, 6), 15300u);
    EXPECT_EQ(ScaleOutputLineBytes(PixelKind::Rgb, 100, 4), 1200u);
    // A 1 MB buffer of 2,000-byte rows takes 65 input lines at F = 8.
    EXPECT_EQ(ScaleInputLinesThatFit(1 << 20, 2000, 8), 65u);
    EXPECT_EQ(ScaleInputLinesThatFit(1000, 2000, 2), 0u);
    EXPECT_FALSE(IsInterpolationFactor(3));
}

TEST(ScaleSizes, TheOutputBufferAlwaysTakesAtLeastOneInputLine) {
    // A 2 MB transfer buffer: 4 MB for F = 2, 16 MB for F = 8.
    EXPECT_EQ(InterpolationBufferBytes(2u << 20, 5100 * 2, 2), 4u << 20);
    EXPECT_EQ(InterpolationBufferBytes(2u << 20, 5100 * 8, 8), 16u << 20);
    // One colour line of 15,300 pixels per pass is wider than the smallest
    // transfer buffer; the buffer still holds its F rows.
    const size_t row = ScaleOutputLineBytes(PixelKind::Rgb, 15300, 4);
    const size_t bytes = InterpolationBufferBytes(32768, row, 4);
    EXPECT_EQ(ScaleInputLinesThatFit(bytes, row, 4), 1u);
}

// ---- Baseline and newer instructions ---------------------------------------------------

namespace {

constexpr ScaleInstructions kInstructions[] = {ScaleInstructions::Baseline,
                                               ScaleInstructions::Ssse3, ScaleInstructions::Avx2};

// Keeps ScaleLines to the given instructions for one scope.
struct InstructionsUpTo {
    explicit InstructionsUpTo(ScaleInstructions newest) { ScaleWithInstructions(newest); }
    ~InstructionsUpTo() { ScaleWithInstructions(ScaleInstructions::Avx2); }
};

// Scales into padded rows, bottom-up, between guard bytes; the guards must
// stay untouched.
Bytes ScalePadded(PixelKind kind, int factor, const Bytes& lines, size_t pixels) {
    const size_t in = ScaleInputLineBytes(kind, pixels), count = lines.size() / in;
    const size_t rowBytes = ScaleOutputLineBytes(kind, pixels, factor) + 5, guard = 40;
    const size_t rows = count * factor;
    Bytes buffer(guard + rows * rowBytes + guard, 0xEE);
    CarriedLine carry;
    EXPECT_EQ(ScaleLines(kind, factor, lines.data(), pixels, count,
                         buffer.data() + guard + (rows - 1) * rowBytes,
                         -static_cast<ptrdiff_t>(rowBytes), rowBytes, carry),
              rows);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + guard), Bytes(guard, 0xEE));
    EXPECT_EQ(Bytes(buffer.end() - guard, buffer.end()), Bytes(guard, 0xEE));
    return buffer;
}

}  // namespace

TEST(ScaleForms, NewerInstructionsGiveTheBaselineBytesAtEveryWidth) {
    // Every width up to a few groups of 5 colour pixels and 16 grey pixels,
    // so that groups, the pixels after them and the last pixel meet in every
    // position; then some wide lines.
    std::vector<size_t> widths;
    for (size_t w = 1; w <= 70; ++w) widths.push_back(w);
    for (size_t w : {95u, 96u, 97u, 255u, 256u, 257u, 2550u}) widths.push_back(w);
    for (PixelKind kind : {PixelKind::Byte, PixelKind::Rgb}) {
        for (int f : kFactors) {
            for (size_t pixels : widths) {
                const size_t in = ScaleInputLineBytes(kind, pixels);
                const Bytes lines = Random(in * 3, static_cast<unsigned>(pixels * 31 + f));
                Bytes baseline, baselinePadded;
                {
                    InstructionsUpTo scope(ScaleInstructions::Baseline);
                    baseline = Scale(kind, f, lines, pixels);
                    baselinePadded = ScalePadded(kind, f, lines, pixels);
                }
                for (ScaleInstructions newest : kInstructions) {
                    InstructionsUpTo scope(newest);
                    ASSERT_EQ(Scale(kind, f, lines, pixels), baseline)
                        << static_cast<int>(kind) << " factor " << f << ", " << pixels
                        << " pixels, instructions " << static_cast<int>(newest);
                    ASSERT_EQ(ScalePadded(kind, f, lines, pixels), baselinePadded)
                        << static_cast<int>(kind) << " factor " << f << ", " << pixels
                        << " pixels, instructions " << static_cast<int>(newest);
                }
            }
        }
    }
}

TEST(ScaleForms, EveryFormMatchesTheBlockFormulas) {
    for (ScaleInstructions newest : kInstructions) {
        InstructionsUpTo scope(newest);
        const int form = static_cast<int>(newest);
        for (int f : {2, 4, 6}) {
            for (size_t pixels : {5u, 6u, 7u, 11u, 16u, 17u, 18u, 21u, 33u, 34u, 49u, 300u}) {
                const Bytes grey = Random(pixels * 4, static_cast<unsigned>(pixels * 3 + f));
                EXPECT_EQ(Scale(PixelKind::Byte, f, grey, pixels), ReferenceBytes(f, grey, pixels))
                    << "factor " << f << ", " << pixels << " pixels, instructions " << form;
                // Each colour component on its own is a grey image.
                const Bytes rgb = Random(3 * pixels * 4, static_cast<unsigned>(pixels * 5 + f));
                const Bytes scaled = Scale(PixelKind::Rgb, f, rgb, pixels);
                for (size_t k = 0; k < 3; ++k) {
                    Bytes plane(pixels * 4);
                    for (size_t i = 0; i < plane.size(); ++i) plane[i] = rgb[3 * i + k];
                    const Bytes want = ReferenceBytes(f, plane, pixels);
                    for (size_t i = 0; i < want.size(); ++i)
                        ASSERT_EQ(scaled[3 * i + k], want[i])
                            << "factor " << f << ", " << pixels << " pixels, component " << k
                            << ", instructions " << form;
                }
            }
        }
    }
}

TEST(ScaleForms, SixFoldThirdsOfEveryStepInEveryForm) {
    // Every pair of values side by side and one above the other, in both
    // kinds, so that every rising and falling step meets the thirds.
    const size_t pixels = 257;
    Bytes grey(pixels * 257);
    for (size_t j = 0; j < 257; ++j)
        for (size_t i = 0; i < pixels; ++i)
            grey[j * pixels + i] =
                static_cast<uint8_t>((i % 2 ? j * 7 : i / 2) + (j % 2 ? 0 : 128));
    const Bytes want = ReferenceBytes(6, grey, pixels);
    Bytes rgb(3 * grey.size());
    for (size_t i = 0; i < grey.size(); ++i)
        rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = grey[i];
    Bytes wantRgb(3 * want.size());
    for (size_t i = 0; i < want.size(); ++i)
        wantRgb[3 * i] = wantRgb[3 * i + 1] = wantRgb[3 * i + 2] = want[i];
    for (ScaleInstructions newest : kInstructions) {
        InstructionsUpTo scope(newest);
        EXPECT_EQ(Scale(PixelKind::Byte, 6, grey, pixels), want) << static_cast<int>(newest);
        EXPECT_EQ(Scale(PixelKind::Rgb, 6, rgb, pixels), wantRgb) << static_cast<int>(newest);
    }
}

TEST(ScaleForms, LineArtOfEveryWidthFillsEveryRowAndItsPadding) {
    // Widths around the runs of 16 input bytes, rows bottom-up with padding.
    for (ScaleInstructions newest : kInstructions) {
        InstructionsUpTo scope(newest);
        for (int f : kFactors) {
            for (size_t bytes = 1; bytes <= 50; ++bytes) {
                const size_t pixels = 8 * bytes - bytes % 3;  // a part-filled last byte too
                const size_t in = ScaleInputLineBytes(PixelKind::Bit, pixels);
                const Bytes lines = Random(in * 2, static_cast<unsigned>(bytes * 13 + f));
                const Bytes buffer = ScalePadded(PixelKind::Bit, f, lines, pixels);
                const size_t out = in * f, rowBytes = out + 5, guard = 40;
                for (size_t R = 0; R < 2u * f; ++R) {
                    const uint8_t* row = buffer.data() + guard + (2 * f - 1 - R) * rowBytes;
                    const uint8_t* line = lines.data() + R / f * in;
                    for (size_t q = 0; q < 8 * out; ++q) {
                        const size_t x = q / f;
                        ASSERT_EQ((row[q / 8] >> (7 - q % 8)) & 1, (line[x / 8] >> (7 - x % 8)) & 1)
                            << "factor " << f << ", " << bytes << " bytes, row " << R
                            << ", bit " << q;
                    }
                    ASSERT_EQ(Bytes(row + out, row + rowBytes), Bytes(5, 0));
                }
            }
        }
    }
}
