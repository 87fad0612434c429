// Line assembly on lines as wide as real scans: every vector form must give
// exactly the bytes of the plain byte-by-byte definitions, at every line
// length around the vector widths and with mirroring. Every test runs once
// for each set of instructions the loops may be held to, so each form is
// checked on a processor that has the newer ones.
#include "ds/acquire/line_assembly.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Noise(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v) b = static_cast<uint8_t>(gen());
    return v;
}

ToneCurve Scrambled() {
    ToneCurve c;
    for (size_t i = 0; i < c.size(); ++i) c[i] = static_cast<uint8_t>((i * 167 + 13) ^ (i >> 3));
    return c;
}

// The byte a transform gives for output position i of a raw line.
uint8_t Expected(const LineTransform& t, const uint8_t* raw, size_t n, size_t i) {
    return t.Table[t.Reverse ? raw[n - 1 - i] : raw[i]];
}

// Every length up to a little past three 32-byte steps, then lengths around
// the wider steps and the lengths of real lines (638 bytes: a 5,100-pixel
// 1-bit line).
std::vector<size_t> Lengths() {
    std::vector<size_t> all;
    for (size_t n = 0; n <= 100; ++n) all.push_back(n);
    for (size_t n : {127u, 128u, 129u, 638u, 2047u, 2048u, 2049u, 5100u, 5101u}) all.push_back(n);
    return all;
}

const std::vector<size_t> kLengths = Lengths();

// A table that splits into a high-nibble and a low-nibble table without
// being a bit reversal: every byte XOR 0x5A with its bits rotated by three.
ToneCurve RotatedXor() {
    ToneCurve c;
    for (size_t i = 0; i < c.size(); ++i)
        c[i] = static_cast<uint8_t>(((i << 3) | (i >> 5)) ^ 0x5A);
    return c;
}

// The same with one entry changed: no longer split.
ToneCurve AlmostRotatedXor() {
    ToneCurve c = RotatedXor();
    c[0x93] ^= 1;
    return c;
}

std::vector<LineTransform> Transforms() {
    std::vector<LineTransform> all;
    for (PixelKind kind : {PixelKind::Byte, PixelKind::Bit})
        for (bool invert : {false, true})
            for (bool mirror : {false, true})
                for (bool curve : {false, true})
                    for (Delivery d : {Delivery::Native, Delivery::File})
                        all.push_back(MakeLineTransform(kind, d, {invert, mirror},
                                                        curve ? Scrambled() : IdentityCurve()));
    for (bool mirror : {false, true})
        for (const ToneCurve& c : {RotatedXor(), AlmostRotatedXor()})
            all.push_back(MakeLineTransform(PixelKind::Byte, Delivery::File, {false, mirror}, c));
    return all;
}

// Holds the loops to one set of instructions for a test, and lets them use
// the processor's newest again afterwards.
class WideLines : public ::testing::TestWithParam<AssemblyInstructions> {
protected:
    void SetUp() override {
        if (AssembleWithInstructions(GetParam()) != GetParam())
            GTEST_SKIP() << "the processor lacks these instructions";
    }
    void TearDown() override { AssembleWithInstructions(AssemblyInstructions::Avx512Vbmi); }
};

std::string FormName(const ::testing::TestParamInfo<AssemblyInstructions>& info) {
    static const char* const kNames[] = {"Baseline", "Ssse3", "Avx2", "Avx512Vbmi"};
    return kNames[static_cast<int>(info.param)];
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(EveryForm, WideLines,
                         ::testing::Values(AssemblyInstructions::Baseline,
                                           AssemblyInstructions::Ssse3, AssemblyInstructions::Avx2,
                                           AssemblyInstructions::Avx512Vbmi),
                         FormName);

TEST_P(WideLines, ConvertLinesMatchesTheTable) {
    for (const LineTransform& t : Transforms())
        for (size_t n : kLengths) {
            const std::vector<uint8_t> raw = Noise(3 * n, static_cast<unsigned>(n));
            const size_t rowBytes = n + 3;
            std::vector<uint8_t> rows(3 * rowBytes, 0xAA);
            ConvertLines(t, raw.data(), n, 3, rows.data(), static_cast<ptrdiff_t>(rowBytes),
                         rowBytes);
            for (size_t k = 0; k < 3; ++k) {
                for (size_t i = 0; i < n; ++i)
                    ASSERT_EQ(rows[k * rowBytes + i], Expected(t, raw.data() + k * n, n, i))
                        << "length " << n << " line " << k << " byte " << i;
                for (size_t i = n; i < rowBytes; ++i) ASSERT_EQ(rows[k * rowBytes + i], 0);
            }
        }
}

TEST_P(WideLines, ComponentLinesFillOnlyTheirByte) {
    for (const LineTransform& t : Transforms())
        for (size_t n : kLengths)
            for (size_t byte = 0; byte < 3; ++byte) {
                const std::vector<uint8_t> raw = Noise(2 * n, static_cast<unsigned>(n + byte));
                const size_t rowBytes = (3 * n + 3) & ~size_t{3};
                std::vector<uint8_t> rows = Noise(2 * rowBytes, 7);
                const std::vector<uint8_t> before = rows;
                // Bottom-up, as in the native bitmap.
                ConvertComponentLines(t, raw.data(), n, 2, rows.data() + rowBytes,
                                      -static_cast<ptrdiff_t>(rowBytes), byte, rowBytes);
                for (size_t k = 0; k < 2; ++k) {
                    const uint8_t* row = rows.data() + (1 - k) * rowBytes;
                    const uint8_t* old = before.data() + (1 - k) * rowBytes;
                    for (size_t i = 0; i < 3 * n; ++i) {
                        const uint8_t want =
                            i % 3 == byte ? Expected(t, raw.data() + k * n, n, i / 3) : old[i];
                        ASSERT_EQ(row[i], want) << "length " << n << " byte " << i;
                    }
                    for (size_t i = 3 * n; i < rowBytes; ++i) ASSERT_EQ(row[i], 0);
                }
            }
}

TEST_P(WideLines, InterleavedRowsTakeTheComponentsInOrder) {
    for (size_t n : kLengths) {
        const std::vector<uint8_t> a = Noise(2 * n, 1), b = Noise(2 * n, 2), c = Noise(2 * n, 3);
        const size_t rowBytes = (3 * n + 3) & ~size_t{3};
        std::vector<uint8_t> rows(2 * rowBytes, 0xAA);
        InterleaveRows(a.data(), b.data(), c.data(), n, 2, rows.data() + rowBytes,
                       -static_cast<ptrdiff_t>(rowBytes), rowBytes);
        std::vector<uint8_t> placed(2 * rowBytes, 0x55);
        for (size_t m = 0; m < 3; ++m)
            PlaceComponent((m == 0 ? a : m == 1 ? b : c).data(), n, 2, placed.data() + rowBytes,
                           -static_cast<ptrdiff_t>(rowBytes), m, rowBytes);
        for (size_t k = 0; k < 2; ++k) {
            const uint8_t* row = rows.data() + (1 - k) * rowBytes;
            for (size_t i = 0; i < n; ++i) {
                ASSERT_EQ(row[3 * i], a[k * n + i]) << "length " << n;
                ASSERT_EQ(row[3 * i + 1], b[k * n + i]);
                ASSERT_EQ(row[3 * i + 2], c[k * n + i]);
            }
            for (size_t i = 3 * n; i < rowBytes; ++i) ASSERT_EQ(row[i], 0);
        }
        EXPECT_EQ(rows, placed) << "length " << n;
    }
}

TEST_P(WideLines, CurveAppliedInPlace) {
    const ToneCurve curve = Scrambled();
    for (size_t n : kLengths) {
        std::vector<uint8_t> line = Noise(n, 9);
        const std::vector<uint8_t> raw = line;
        ApplyCurve(line, curve);
        for (size_t i = 0; i < n; ++i) ASSERT_EQ(line[i], curve[raw[i]]) << "length " << n;
    }
}

TEST_P(WideLines, TablesThatSplitIntoNibblesAreLookedUpByNibble) {
    using O = LineTransform::Operation;
    const LineOptions mirror{false, true}, both{true, true};
    EXPECT_EQ(MakeLineTransform(PixelKind::Bit, Delivery::Native, mirror, IdentityCurve()).Op,
              O::Nibbles);
    EXPECT_EQ(MakeLineTransform(PixelKind::Bit, Delivery::Native, both, IdentityCurve()).Op,
              O::Nibbles);
    EXPECT_EQ(MakeLineTransform(PixelKind::Byte, Delivery::File, {}, RotatedXor()).Op, O::Nibbles);
    EXPECT_EQ(MakeLineTransform(PixelKind::Byte, Delivery::File, {}, AlmostRotatedXor()).Op,
              O::Lookup);
    EXPECT_EQ(MakeLineTransform(PixelKind::Bit, Delivery::Native, both, Scrambled()).Op,
              O::Lookup);
    // Identity and inversion split too, but need no table at all.
    EXPECT_EQ(MakeLineTransform(PixelKind::Bit, Delivery::Native, {}, IdentityCurve()).Op,
              O::Copy);
    EXPECT_EQ(MakeLineTransform(PixelKind::Byte, Delivery::Native, {true, false},
                                IdentityCurve()).Op,
              O::Invert);
}

TEST_P(WideLines, InversionInPlace) {
    for (size_t n : kLengths) {
        std::vector<uint8_t> line = Noise(n, 10);
        const std::vector<uint8_t> raw = line;
        InvertLine(line);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(line[i], static_cast<uint8_t>(~raw[i])) << "length " << n;
    }
}

TEST_P(WideLines, EveryTableAppliedInPlace) {
    for (const ToneCurve& curve : {Scrambled(), RotatedXor(), AlmostRotatedXor(), IdentityCurve()})
        for (size_t n : kLengths) {
            std::vector<uint8_t> line = Noise(n, 11);
            const std::vector<uint8_t> raw = line;
            ApplyCurve(line, curve);
            for (size_t i = 0; i < n; ++i) ASSERT_EQ(line[i], curve[raw[i]]) << "length " << n;
        }
}

// Every byte value at every position of a step, forwards and mirrored: the
// look-ups must hold for all 256 entries, not only for the ones noise hits.
TEST_P(WideLines, EveryByteValueThroughEveryTable) {
    std::vector<uint8_t> raw(256 * 3 + 5);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 7);
    for (const LineTransform& t : Transforms()) {
        std::vector<uint8_t> row(raw.size(), 0xAA);
        ConvertLines(t, raw.data(), raw.size(), 1, row.data(), 0, row.size());
        for (size_t i = 0; i < raw.size(); ++i)
            ASSERT_EQ(row[i], Expected(t, raw.data(), raw.size(), i)) << "byte " << i;
    }
}
