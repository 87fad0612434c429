// Line assembly: see line_assembly.h.
//
// The row loops move eight bytes per step through 64-bit words (little
// endian, as on every machine the source runs on) so that the common cases,
// a plain copy, an inversion and a mirrored copy, run at memory speed, and a
// table look-up costs one load per byte and nothing else.
#include "ds/acquire/line_assembly.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the row loops take byte k of a 64-bit word as bits 8k to 8k + 7");

namespace {

using Op = LineTransform::Operation;

// ---- Pass geometry helpers -----------------------------------------------

constexpr uint32_t PadToFour(uint32_t bytes) { return (bytes + 3u) & ~3u; }

// ---- Curve choice ----------------------------------------------------------

// Curves of a set are stored blue, green, red, grey.
constexpr size_t kCurveGrey = 3;
constexpr size_t kGammaSet = kGammaCurveBlue;
constexpr size_t kLevelSet = kLevelCurveBlue;

// The curve of the colour pass `pass` (0 red, 1 green, 2 blue).
constexpr size_t ComponentCurve(int pass) { return static_cast<size_t>(2 - pass); }

// The curve a channel code chooses for one colour pass. `eachCode` is the
// code "every pass its own component"; the next three name red, green and
// blue, the fourth chooses the grey curve.
std::optional<size_t> ColourPassCurve(uint16_t code, uint16_t eachCode, int pass) {
    if (code < eachCode || code > eachCode + 4) return std::nullopt;
    const int which = code - eachCode;
    if (which == 0) return ComponentCurve(pass);
    if (which == 4) return kCurveGrey;
    if (which - 1 == pass) return ComponentCurve(pass);
    return std::nullopt;
}

std::optional<size_t> At(size_t set, std::optional<size_t> curve) {
    if (!curve) return std::nullopt;
    return set + *curve * kToneCurveSize;
}

// ---- Byte tables -----------------------------------------------------------

constexpr uint8_t ReverseBits(uint8_t b) {
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1u << i)) r = static_cast<uint8_t>(r | (0x80u >> i));
    return r;
}

constexpr std::array<uint8_t, 256> MakeBitReversal() {
    std::array<uint8_t, 256> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = ReverseBits(static_cast<uint8_t>(i));
    return t;
}

constexpr std::array<uint8_t, 256> kBitReversal = MakeBitReversal();

// ---- Row loops -------------------------------------------------------------

inline uint64_t Load64(const uint8_t* p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline void Store64(uint8_t* p, uint64_t w) { std::memcpy(p, &w, sizeof w); }

// Eight look-ups of the bytes of w, gathered back into a word.
inline uint64_t Look64(uint64_t w, const uint8_t* t) {
    return static_cast<uint64_t>(t[w & 0xFF]) | static_cast<uint64_t>(t[(w >> 8) & 0xFF]) << 8 |
           static_cast<uint64_t>(t[(w >> 16) & 0xFF]) << 16 |
           static_cast<uint64_t>(t[(w >> 24) & 0xFF]) << 24 |
           static_cast<uint64_t>(t[(w >> 32) & 0xFF]) << 32 |
           static_cast<uint64_t>(t[(w >> 40) & 0xFF]) << 40 |
           static_cast<uint64_t>(t[(w >> 48) & 0xFF]) << 48 |
           static_cast<uint64_t>(t[w >> 56]) << 56;
}

// One row: n bytes from src to dst, the byte order kept or reversed, each
// byte copied, inverted or looked up. dst may equal src when the order is
// kept. Every case is its own instance; the choice is made once per chunk.
template <Op op, bool reverse>
void Row(uint8_t* dst, const uint8_t* src, size_t n, const uint8_t* t) {
    if constexpr (op == Op::Copy && !reverse) {
        std::memmove(dst, src, n);
        return;
    }
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w = reverse ? __builtin_bswap64(Load64(src + n - 8 - i)) : Load64(src + i);
        if constexpr (op == Op::Invert) w = ~w;
        if constexpr (op == Op::Lookup) w = Look64(w, t);
        Store64(dst + i, w);
    }
    for (; i < n; ++i) {
        const uint8_t b = reverse ? src[n - 1 - i] : src[i];
        if constexpr (op == Op::Copy) dst[i] = b;
        if constexpr (op == Op::Invert) dst[i] = static_cast<uint8_t>(~b);
        if constexpr (op == Op::Lookup) dst[i] = t[b];
    }
}

// One component: n bytes from src to every third byte of dst, the pixel
// order kept or reversed.
template <Op op, bool reverse>
void Component(uint8_t* dst, const uint8_t* src, size_t n, const uint8_t* t) {
    const uint8_t* s = reverse ? src + n - 1 : src;
    const ptrdiff_t ds = reverse ? -1 : 1;
    for (size_t i = 0; i < n; ++i, s += ds, dst += 3) {
        if constexpr (op == Op::Copy) *dst = *s;
        if constexpr (op == Op::Invert) *dst = static_cast<uint8_t>(~*s);
        if constexpr (op == Op::Lookup) *dst = t[*s];
    }
}

using RowFn = void (*)(uint8_t*, const uint8_t*, size_t, const uint8_t*);

RowFn RowFor(const LineTransform& t) {
    switch (t.Op) {
    case Op::Copy: return t.Reverse ? Row<Op::Copy, true> : Row<Op::Copy, false>;
    case Op::Invert: return t.Reverse ? Row<Op::Invert, true> : Row<Op::Invert, false>;
    case Op::Lookup: break;
    }
    return t.Reverse ? Row<Op::Lookup, true> : Row<Op::Lookup, false>;
}

RowFn ComponentFor(const LineTransform& t) {
    switch (t.Op) {
    case Op::Copy: return t.Reverse ? Component<Op::Copy, true> : Component<Op::Copy, false>;
    case Op::Invert: return t.Reverse ? Component<Op::Invert, true> : Component<Op::Invert, false>;
    case Op::Lookup: break;
    }
    return t.Reverse ? Component<Op::Lookup, true> : Component<Op::Lookup, false>;
}

inline uint8_t* RowAt(uint8_t* firstRow, ptrdiff_t rowStep, size_t k) {
    return firstRow + static_cast<ptrdiff_t>(k) * rowStep;
}

void ZeroPadding(uint8_t* row, size_t used, size_t rowBytes) {
    if (rowBytes > used) std::memset(row + used, 0, rowBytes - used);
}

}  // namespace

// ---- Pass geometry ---------------------------------------------------------

std::optional<PassGeometry> GeometryFromScanStatus(uint16_t scanMode,
                                                   const ScanStatusRequest& reply) {
    const std::optional<PixelKind> kind = PassPixelKind(scanMode);
    if (!kind || reply.LinesRemaining == 0 || reply.BytesPerLine == 0) return std::nullopt;
    PassGeometry g;
    g.LineCount = reply.LinesRemaining;
    g.PassLineBytes = reply.BytesPerLine;
    g.LineBytes = scanMode == kModeColor ? 3u * g.PassLineBytes : g.PassLineBytes;
    g.PixelsPerLine = *kind == PixelKind::Bit ? 8u * g.PassLineBytes : g.PassLineBytes;
    g.PaddedLineBytes = PadToFour(g.LineBytes);
    return g;
}

// ---- Tone curves -----------------------------------------------------------

CurveChoice ChooseCurves(const CurveSettings& s, Delivery delivery, int passIndex) {
    const bool gammaOn = s.Gamma == kGammaCurveSupplied;
    CurveChoice c;
    if (passIndex == -1) {
        const bool throughPassFile =
            delivery == Delivery::File || delivery == Delivery::MemoryChunky;
        if (s.LevelsApplied && (throughPassFile || s.LevelChannel == kLevelChannelGrey))
            c.Level = At(kLevelSet, kCurveGrey);
        if (gammaOn && (throughPassFile || s.GammaChannel == kGammaChannelGrey))
            c.Gamma = At(kGammaSet, kCurveGrey);
    } else if (passIndex >= 0 && passIndex <= 2) {
        if (s.LevelsApplied)
            c.Level = At(kLevelSet, ColourPassCurve(s.LevelChannel, kLevelChannelEach, passIndex));
        if (gammaOn)
            c.Gamma = At(kGammaSet, ColourPassCurve(s.GammaChannel, kGammaChannelEach, passIndex));
    }
    return c;
}

ToneCurve CombineCurves(const uint8_t* toneTables, const CurveChoice& choice) {
    ToneCurve c = IdentityCurve();
    if (choice.Level) std::memcpy(c.data(), toneTables + *choice.Level, c.size());
    if (choice.Gamma) {
        const uint8_t* gamma = toneTables + *choice.Gamma;
        for (uint8_t& b : c) b = gamma[b];
    }
    return c;
}

// ---- Single steps ----------------------------------------------------------

void ApplyCurve(std::span<uint8_t> line, const ToneCurve& curve) {
    Row<Op::Lookup, false>(line.data(), line.data(), line.size(), curve.data());
}

void InvertLine(std::span<uint8_t> line) {
    Row<Op::Invert, false>(line.data(), line.data(), line.size(), nullptr);
}

void MirrorLine(std::span<uint8_t> line, PixelKind kind) {
    switch (kind) {
    case PixelKind::Bit:
        std::reverse(line.begin(), line.end());
        for (uint8_t& b : line) b = kBitReversal[b];
        break;
    case PixelKind::Byte:
        std::reverse(line.begin(), line.end());
        break;
    case PixelKind::Rgb: {
        const size_t pixels = line.size() / 3;
        uint8_t* p = line.data();
        for (size_t i = 0, j = pixels; i + 1 < j; ++i) {
            --j;
            std::swap_ranges(p + 3 * i, p + 3 * i + 3, p + 3 * j);
        }
        break;
    }
    }
}

// ---- Conversion of the raw lines of a pass --------------------------------

LineTransform MakeLineTransform(PixelKind passKind, Delivery delivery, const LineOptions& options,
                                const ToneCurve& curves) {
    const bool reverseBits = options.Mirror && passKind == PixelKind::Bit;
    const auto invertAndBits = [&](uint8_t b) {
        if (options.Invert) b = static_cast<uint8_t>(255 - b);
        return reverseBits ? kBitReversal[b] : b;
    };
    LineTransform t;
    for (size_t v = 0; v < t.Table.size(); ++v) {
        const auto b = static_cast<uint8_t>(v);
        t.Table[v] = delivery == Delivery::Native ? invertAndBits(curves[b])
                                                  : curves[invertAndBits(b)];
    }
    t.Reverse = options.Mirror;

    bool copy = true;
    bool invert = true;
    for (size_t v = 0; v < t.Table.size(); ++v) {
        copy = copy && t.Table[v] == v;
        invert = invert && t.Table[v] == 255 - v;
    }
    t.Op = copy ? Op::Copy : invert ? Op::Invert : Op::Lookup;
    return t;
}

LineTransform PassTransform(PixelKind passKind, Delivery delivery, const LineOptions& options,
                            const CurveSettings& settings, int passIndex,
                            const uint8_t* toneTables) {
    const CurveChoice choice = ChooseCurves(settings, delivery, passIndex);
    return MakeLineTransform(passKind, delivery, options, CombineCurves(toneTables, choice));
}

void ConvertLines(const LineTransform& transform, const uint8_t* raw, size_t lineBytes,
                  size_t lines, uint8_t* firstRow, ptrdiff_t rowStep, size_t rowBytes) {
    const RowFn row = RowFor(transform);
    for (size_t k = 0; k < lines; ++k) {
        uint8_t* dst = RowAt(firstRow, rowStep, k);
        row(dst, raw + k * lineBytes, lineBytes, transform.Table.data());
        ZeroPadding(dst, lineBytes, rowBytes);
    }
}

void ConvertComponentLines(const LineTransform& transform, const uint8_t* raw, size_t pixels,
                           size_t lines, uint8_t* firstRow, ptrdiff_t rowStep,
                           size_t byteInPixel, size_t rowBytes) {
    const RowFn component = ComponentFor(transform);
    for (size_t k = 0; k < lines; ++k) {
        uint8_t* dst = RowAt(firstRow, rowStep, k);
        component(dst + byteInPixel, raw + k * pixels, pixels, transform.Table.data());
        ZeroPadding(dst, 3 * pixels, rowBytes);
    }
}

// ---- Colour pixels ---------------------------------------------------------

void PlaceComponent(const uint8_t* component, size_t pixels, size_t lines, uint8_t* firstRow,
                    ptrdiff_t rowStep, size_t byteInPixel, size_t rowBytes) {
    for (size_t k = 0; k < lines; ++k) {
        uint8_t* dst = RowAt(firstRow, rowStep, k);
        Component<Op::Copy, false>(dst + byteInPixel, component + k * pixels, pixels, nullptr);
        ZeroPadding(dst, 3 * pixels, rowBytes);
    }
}

void InterleaveRgb(const uint8_t* red, const uint8_t* green, const uint8_t* blue, size_t pixels,
                   size_t lines, uint8_t* rows, size_t rowBytes) {
    for (size_t k = 0; k < lines; ++k) {
        const size_t at = k * pixels;
        const uint8_t* r = red + at;
        const uint8_t* g = green + at;
        const uint8_t* b = blue + at;
        uint8_t* dst = rows + k * rowBytes;
        for (size_t i = 0; i < pixels; ++i) {
            dst[3 * i] = r[i];
            dst[3 * i + 1] = g[i];
            dst[3 * i + 2] = b[i];
        }
        ZeroPadding(dst, 3 * pixels, rowBytes);
    }
}

// ---- Native bitmap ---------------------------------------------------------

size_t AssembleNativeChunk(const LineTransform& transform, const PassGeometry& geometry,
                           int passIndex, uint8_t* rows, size_t firstLine, const uint8_t* raw,
                           size_t lines) {
    if (firstLine >= geometry.LineCount || passIndex < -1 || passIndex > 2) return 0;
    const size_t n = std::min<size_t>(lines, geometry.LineCount - firstLine);
    const size_t padded = geometry.PaddedLineBytes;
    uint8_t* first = NativeRow(rows, padded, geometry.LineCount, firstLine);
    const ptrdiff_t up = -static_cast<ptrdiff_t>(padded);
    if (passIndex == -1)
        ConvertLines(transform, raw, geometry.PassLineBytes, n, first, up, padded);
    else
        ConvertComponentLines(transform, raw, geometry.PassLineBytes, n, first, up,
                              ComponentByte(PixelOrder::Bgr, static_cast<size_t>(passIndex)),
                              padded);
    return n;
}
