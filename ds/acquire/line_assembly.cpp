// Line assembly: see line_assembly.h.
//
// The row loops move eight bytes per step through 64-bit words (little
// endian, as on every machine the source runs on) so that the common cases,
// a plain copy, an inversion and a mirrored copy, run at memory speed, and a
// table look-up costs one load per byte and nothing else.
//
// On x86 the hot loops have vector forms, chosen once per process by what
// the processor offers (the rest of the source is built for the baseline
// instruction set):
//  - SSSE3: colour pixels built 16 at a time, components spread into every
//    third byte with byte shuffles and merged with the other components;
//  - AVX2, 32 bytes a step: inverted and mirrored rows (mirrored: the two
//    halves loaded crosswise, each half's bytes reversed by a shuffle);
//    table look-ups as 16 shuffles over the 16-entry blocks of the table,
//    chosen among by the high nibble through a tree of byte blends; tables
//    that split into a high-nibble and a low-nibble table (the bit reversal
//    of mirrored 1-bit lines) as two shuffles and an XOR; colour pixels
//    built 32 at a time, and a component row converted and placed into its
//    pixels in one sweep;
//  - AVX-512 VBMI, 64 bytes a step, chosen before AVX2 where present: table
//    look-ups from the four 64-byte quarters of the table (two-table byte
//    permutes), rows and component rows with masked ends.
// The AVX2 forms finish a row that is not a whole number of steps with one
// more step over its last 32 bytes, which writes some bytes twice with the
// same value; rows converted in place and rows shorter than a step end with
// the plain forms. Whatever path runs, every output byte is the same.
#include "ds/acquire/line_assembly.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ASSEMBLY_X86 1
#else
#define ASSEMBLY_X86 0
#endif

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
    static_assert(op != Op::Nibbles, "the plain form looks a nibble table up whole");
    if constexpr (op == Op::Copy && !reverse) {
        // An empty line may come without storage (null pointers), which
        // memmove must not be given.
        if (n != 0) std::memmove(dst, src, n);
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

using RowFn = void (*)(uint8_t*, const uint8_t*, size_t, const uint8_t*);

// The operation of the plain forms: a nibble table is an ordinary table.
constexpr Op PlainOp(Op op) { return op == Op::Nibbles ? Op::Lookup : op; }

// One byte converted by op (a nibble table looked up whole).
template <Op op>
inline uint8_t ApplyByte(uint8_t b, const uint8_t* t) {
    if constexpr (op == Op::Invert) return static_cast<uint8_t>(~b);
    else if constexpr (op == Op::Copy) return b;
    else return t[b];
}

// ---- Vector forms ------------------------------------------------------------

// Writes n bytes from src into byte k of the 3-byte pixels at `pixels`,
// leaving the other bytes of every pixel as they are.
using PlaceFn = void (*)(uint8_t* pixels, size_t k, const uint8_t* src, size_t n);
// Builds n 3-byte pixels at dst from three component runs, in that order.
using InterleaveFn = void (*)(uint8_t* dst, const uint8_t* first, const uint8_t* second,
                              const uint8_t* third, size_t n);

void PlaceScalar(uint8_t* pixels, size_t k, const uint8_t* src, size_t n) {
    uint8_t* d = pixels + k;
    for (size_t i = 0; i < n; ++i, d += 3) *d = src[i];
}

void InterleaveScalar(uint8_t* dst, const uint8_t* a, const uint8_t* b, const uint8_t* c,
                      size_t n) {
    for (size_t i = 0; i < n; ++i, dst += 3) {
        dst[0] = a[i];
        dst[1] = b[i];
        dst[2] = c[i];
    }
}

#if ASSEMBLY_X86

// Shuffle controls for 16 pixels (48 bytes, three vectors v = 0..2): byte j
// of vector v is byte 16v + j of the pixels, component (16v + j) % 3 of
// pixel (16v + j) / 3. Spread[c][v] takes that pixel's byte from a run of
// component c where the component matches, and zero (0x80) elsewhere;
// Keep[c][v] is 0xFF where a byte does NOT hold component c.
struct PixelShuffles {
    alignas(16) uint8_t Spread[3][3][16];
    alignas(16) uint8_t Keep[3][3][16];
};

constexpr PixelShuffles MakePixelShuffles() {
    PixelShuffles s{};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 3; ++v)
            for (int j = 0; j < 16; ++j) {
                const int q = 16 * v + j;
                const bool mine = q % 3 == c;
                s.Spread[c][v][j] = mine ? static_cast<uint8_t>(q / 3) : 0x80;
                s.Keep[c][v][j] = mine ? 0x00 : 0xFF;
            }
    return s;
}

constexpr PixelShuffles kPixelShuffles = MakePixelShuffles();

__attribute__((target("ssse3"))) inline __m128i Load128(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
__attribute__((target("ssse3"))) inline void Store128(void* p, __m128i v) {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

__attribute__((target("ssse3"))) void PlaceSsse3(uint8_t* pixels, size_t k, const uint8_t* src,
                                                 size_t n) {
    const __m128i s0 = Load128(kPixelShuffles.Spread[k][0]);
    const __m128i s1 = Load128(kPixelShuffles.Spread[k][1]);
    const __m128i s2 = Load128(kPixelShuffles.Spread[k][2]);
    const __m128i k0 = Load128(kPixelShuffles.Keep[k][0]);
    const __m128i k1 = Load128(kPixelShuffles.Keep[k][1]);
    const __m128i k2 = Load128(kPixelShuffles.Keep[k][2]);
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = Load128(src + i);
        uint8_t* d = pixels + 3 * i;
        Store128(d, _mm_or_si128(_mm_and_si128(Load128(d), k0), _mm_shuffle_epi8(x, s0)));
        Store128(d + 16,
                 _mm_or_si128(_mm_and_si128(Load128(d + 16), k1), _mm_shuffle_epi8(x, s1)));
        Store128(d + 32,
                 _mm_or_si128(_mm_and_si128(Load128(d + 32), k2), _mm_shuffle_epi8(x, s2)));
    }
    PlaceScalar(pixels + 3 * i, k, src + i, n - i);
}

__attribute__((target("ssse3"))) void InterleaveSsse3(uint8_t* dst, const uint8_t* a,
                                                      const uint8_t* b, const uint8_t* c,
                                                      size_t n) {
    const PixelShuffles& s = kPixelShuffles;
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i x = Load128(a + i), y = Load128(b + i), z = Load128(c + i);
        uint8_t* d = dst + 3 * i;
        for (int v = 0; v < 3; ++v) {
            const __m128i out =
                _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(x, Load128(s.Spread[0][v])),
                                          _mm_shuffle_epi8(y, Load128(s.Spread[1][v]))),
                             _mm_shuffle_epi8(z, Load128(s.Spread[2][v])));
            Store128(d + 16 * v, out);
        }
    }
    InterleaveScalar(dst + 3 * i, a + i, b + i, c + i, n - i);
}

#define ASSEMBLY_AVX2 __attribute__((target("avx2")))

ASSEMBLY_AVX2 inline __m256i Load256(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
ASSEMBLY_AVX2 inline void Store256(void* p, __m256i v) {
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}

// Block b (0 to 15) of a 256-entry table, entries 16b to 16b + 15, in both
// 16-byte lanes: a byte shuffle looks up within its own lane.
ASSEMBLY_AVX2 inline __m256i Block256(const uint8_t* t, int b) {
    return _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 16 * b)));
}

// Looks up 32 bytes in a 256-entry table. Every block of 16 entries is
// looked up by the low nibble of each byte; the high nibble then chooses
// among the 16 results, bit 4 between neighbouring blocks, bits 5, 6 and 7
// between the pairs, fours and eights so chosen. A byte blend chooses by
// the top bit of its mask byte, so the masks are x shifted left by 3, 2, 1
// and 0 (a 16-bit shift: the bits it brings in from the next byte lie
// below bit 7 and are not read). The blocks are read from the table at
// every step.
ASSEMBLY_AVX2 inline __m256i Look256(__m256i x, const uint8_t* t) {
    const __m256i low = _mm256_and_si256(x, _mm256_set1_epi8(0x0F));
    const __m256i bit4 = _mm256_slli_epi16(x, 3);
    const __m256i bit5 = _mm256_slli_epi16(x, 2);
    const __m256i bit6 = _mm256_add_epi8(x, x);
    __m256i pair[8];
#pragma GCC unroll 8
    for (int q = 0; q < 8; ++q)
        pair[q] = _mm256_blendv_epi8(_mm256_shuffle_epi8(Block256(t, 2 * q), low),
                                     _mm256_shuffle_epi8(Block256(t, 2 * q + 1), low), bit4);
    const __m256i four0 = _mm256_blendv_epi8(pair[0], pair[1], bit5);
    const __m256i four1 = _mm256_blendv_epi8(pair[2], pair[3], bit5);
    const __m256i four2 = _mm256_blendv_epi8(pair[4], pair[5], bit5);
    const __m256i four3 = _mm256_blendv_epi8(pair[6], pair[7], bit5);
    return _mm256_blendv_epi8(_mm256_blendv_epi8(four0, four1, bit6),
                              _mm256_blendv_epi8(four2, four3, bit6), x);
}

// Shuffle controls that move the first entry of blocks 2q and 2q + 1 of a
// table (lanes 0 and 1 of one vector) to bytes 2q and 2q + 1, zero elsewhere.
struct FirstEntryShuffles {
    alignas(32) uint8_t Control[8][32];
};

constexpr FirstEntryShuffles MakeFirstEntryShuffles() {
    FirstEntryShuffles f{};
    for (int q = 0; q < 8; ++q)
        for (int j = 0; j < 32; ++j)
            f.Control[q][j] = j == 2 * q || j == 16 + 2 * q + 1 ? 0 : 0x80;
    return f;
}

constexpr FirstEntryShuffles kFirstEntryShuffles = MakeFirstEntryShuffles();

// What the steps of a row read besides the bytes: the table of a look-up,
// and for a nibble table its two 16-entry tables, High giving T[h << 4]
// for the high nibble h and Low giving T[l] ^ T[0] for the low nibble l
// (their XOR is T[(h << 4) | l]).
struct StepTables {
    const uint8_t* Table;
    __m256i High;
    __m256i Low;
};

template <Op op>
ASSEMBLY_AVX2 inline StepTables PrepareSteps(const uint8_t* t) {
    StepTables s{t, _mm256_setzero_si256(), _mm256_setzero_si256()};
    if constexpr (op == Op::Nibbles) {
        // Entries 0, 16, ..., 240 of the table: the first entry of block h
        // moved to byte h of a lane (blocks 2q and 2q + 1 are the two lanes
        // of one vector), then the two lanes merged.
        __m256i gathered = _mm256_setzero_si256();
#pragma GCC unroll 8
        for (int q = 0; q < 8; ++q) {
            const __m256i control = Load256(kFirstEntryShuffles.Control[q]);
            gathered = _mm256_or_si256(gathered,
                                       _mm256_shuffle_epi8(Load256(t + 32 * q), control));
        }
        const __m128i high = _mm_or_si128(_mm256_castsi256_si128(gathered),
                                          _mm256_extracti128_si256(gathered, 1));
        s.High = _mm256_broadcastsi128_si256(high);
        s.Low = _mm256_xor_si256(Block256(t, 0), _mm256_set1_epi8(static_cast<char>(t[0])));
    }
    return s;
}

// Looks up 32 bytes in a nibble table.
ASSEMBLY_AVX2 inline __m256i LookNibbles256(__m256i x, const StepTables& s) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i low = _mm256_and_si256(x, nibble);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
    return _mm256_xor_si256(_mm256_shuffle_epi8(s.High, high), _mm256_shuffle_epi8(s.Low, low));
}

template <Op op>
ASSEMBLY_AVX2 inline __m256i Apply256(__m256i x, const StepTables& s) {
    if constexpr (op == Op::Invert) return _mm256_xor_si256(x, _mm256_set1_epi8(-1));
    else if constexpr (op == Op::Lookup) return Look256(x, s.Table);
    else if constexpr (op == Op::Nibbles) return LookNibbles256(x, s);
    else return x;
}

// The 16 bytes at p in both lanes (a load alone, no shuffle).
ASSEMBLY_AVX2 inline __m256i Both128(const uint8_t* p) {
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// The 32 source bytes of output bytes i .. i + 31 of a line of n bytes, in
// output order: src[i ...] kept, or src[n - 1 - i ...] backwards. Backwards,
// the two 16-byte halves are loaded into the lanes crosswise (two loads into
// both lanes and a dword blend, which keeps the lane swap off the shuffle
// unit), then each lane's bytes are reversed.
template <bool reverse>
ASSEMBLY_AVX2 inline __m256i Take256(const uint8_t* src, size_t n, size_t i) {
    if constexpr (!reverse) {
        return Load256(src + i);
    } else {
        const __m256i backwards = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3,
                                                   2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6,
                                                   5, 4, 3, 2, 1, 0);
        const uint8_t* from = src + n - i - 32;
        const __m256i crosswise = _mm256_blend_epi32(Both128(from + 16), Both128(from), 0xF0);
        return _mm256_shuffle_epi8(crosswise, backwards);
    }
}

// One row as Row<op, reverse> does it, 32 bytes per step. The last bytes
// of a line that is not a whole number of steps come from one more step
// over the line's last 32 bytes, which writes some output bytes a second
// time with the same values; converted in place (dst == src) that would
// convert them twice, so there, and in lines shorter than a step, the plain
// form does the rest.
template <Op op, bool reverse>
ASSEMBLY_AVX2 void RowAvx2(uint8_t* dst, const uint8_t* src, size_t n, const uint8_t* t) {
    const StepTables tables = PrepareSteps<op>(t);
    size_t i = 0;
    for (; i + 32 <= n; i += 32)
        Store256(dst + i, Apply256<op>(Take256<reverse>(src, n, i), tables));
    if (i == n) return;
    if (n >= 32 && dst != src) {
        Store256(dst + n - 32, Apply256<op>(Take256<reverse>(src, n, n - 32), tables));
    } else {
        // Output bytes i .. n - 1: reversed, they are the backward run of
        // src[0 .. n - 1 - i].
        Row<PlainOp(op), reverse>(dst + i, reverse ? src : src + i, n - i, t);
    }
}

// 32 pixels (96 bytes, three vectors v = 0..2) built from 32 bytes of each
// component. Byte j of vector v is byte (32v + j) % 3 of pixel (32v + j) / 3.
// Vector 0 holds pixels 0 to 10, all in the first 16 bytes of the
// component; vector 1 needs pixels 10 to 15 in lane 0 and 16 to 21 in
// lane 1, vector 2 pixels 21 to 31. So vector 0 is shuffled from the
// first 16 component bytes in both lanes, vector 1 from the 32 bytes as
// they are, vector 2 from the last 16 in both lanes.
// Index[v] gives each byte its pixel within the 16 bytes of its lane,
// Backward[v] the same counted from the lane's end (15 - Index: for
// component bytes whose halves are each in reverse order), Mine[c][v] is
// 0xFF where the byte holds component c, and Only[c][v] is Index[v] where
// it does and 0x80 (a zero) elsewhere.
struct PixelShuffles32 {
    alignas(32) uint8_t Index[3][32];
    alignas(32) uint8_t Backward[3][32];
    alignas(32) uint8_t Mine[3][3][32];
    alignas(32) uint8_t Only[3][3][32];
};

constexpr PixelShuffles32 MakePixelShuffles32() {
    PixelShuffles32 s{};
    for (int v = 0; v < 3; ++v)
        for (int j = 0; j < 32; ++j) {
            const int q = 32 * v + j;
            // The 16-byte half of the component this lane of vector v holds.
            const int half = v == 0 ? 0 : v == 2 ? 1 : j / 16;
            const int index = q / 3 - 16 * half;
            if (index < 0 || index > 15) throw "a pixel outside its lane";
            s.Index[v][j] = static_cast<uint8_t>(index);
            s.Backward[v][j] = static_cast<uint8_t>(15 - index);
            for (int c = 0; c < 3; ++c) {
                const bool mine = q % 3 == c;
                s.Mine[c][v][j] = mine ? 0xFF : 0x00;
                s.Only[c][v][j] = mine ? static_cast<uint8_t>(index) : 0x80;
            }
        }
    return s;
}

constexpr PixelShuffles32 kPixelShuffles32 = MakePixelShuffles32();

// Writes 32 converted component bytes into byte k of the 32 pixels at d,
// keeping the other bytes (`mine`: the bytes of component k, as in
// Mine[k]). The bytes come in the three lane arrangements the vectors are
// shuffled from, `order` choosing within each lane (Index or Backward).
ASSEMBLY_AVX2 inline void Place256(uint8_t* d, __m256i first, __m256i whole, __m256i last,
                                   const __m256i (&order)[3], const __m256i (&mine)[3]) {
    Store256(d, _mm256_blendv_epi8(Load256(d), _mm256_shuffle_epi8(first, order[0]), mine[0]));
    Store256(d + 32,
             _mm256_blendv_epi8(Load256(d + 32), _mm256_shuffle_epi8(whole, order[1]), mine[1]));
    Store256(d + 64,
             _mm256_blendv_epi8(Load256(d + 64), _mm256_shuffle_epi8(last, order[2]), mine[2]));
}

// Output pixels i .. i + 31 of a component row (see ComponentAvx2). Without
// a table, the lane arrangements are loaded straight from the source and
// converted each; mirrored, the halves are loaded crosswise and the
// reversal within each half is left to `order` (Backward). With a table,
// the 32 bytes are looked up once, in output order, and the arrangements
// made from them.
template <Op op, bool reverse>
ASSEMBLY_AVX2 inline void ComponentStep(uint8_t* d, const uint8_t* src, size_t n, size_t i,
                                        const StepTables& tables, const __m256i (&order)[3],
                                        const __m256i (&mine)[3]) {
    if constexpr (op == Op::Copy || op == Op::Invert) {
        const uint8_t* p = reverse ? src + n - i - 32 : src + i;
        const __m256i first = Both128(reverse ? p + 16 : p);
        const __m256i last = Both128(reverse ? p : p + 16);
        const __m256i whole = reverse ? _mm256_blend_epi32(first, last, 0xF0) : Load256(p);
        Place256(d, Apply256<op>(first, tables), Apply256<op>(whole, tables),
                 Apply256<op>(last, tables), order, mine);
    } else {
        const __m256i y = Apply256<op>(Take256<reverse>(src, n, i), tables);
        Place256(d, _mm256_permute2x128_si256(y, y, 0x00), y,
                 _mm256_permute2x128_si256(y, y, 0x11), order, mine);
    }
}

// One component row: n source bytes converted by op (mirrored with
// `reverse`) into byte k of the 3-byte pixels at `pixels`; the other bytes
// are left as they are. The source line and the pixels never overlap, so
// the last pixels come from one more step over the line's last 32 bytes.
template <Op op, bool reverse>
ASSEMBLY_AVX2 void ComponentAvx2(uint8_t* pixels, size_t k, const uint8_t* src, size_t n,
                                 const uint8_t* t) {
    if (n < 32) {
        for (size_t i = 0; i < n; ++i)
            pixels[3 * i + k] = ApplyByte<PlainOp(op)>(src[reverse ? n - 1 - i : i], t);
        return;
    }
    const StepTables tables = PrepareSteps<op>(t);
    const PixelShuffles32& s = kPixelShuffles32;
    constexpr bool backward = reverse && (op == Op::Copy || op == Op::Invert);
    const auto& orders = backward ? s.Backward : s.Index;
    const __m256i order[3] = {Load256(orders[0]), Load256(orders[1]), Load256(orders[2])};
    const __m256i mine[3] = {Load256(s.Mine[k][0]), Load256(s.Mine[k][1]), Load256(s.Mine[k][2])};
    size_t i = 0;
    for (; i + 32 <= n; i += 32)
        ComponentStep<op, reverse>(pixels + 3 * i, src, n, i, tables, order, mine);
    if (i < n)
        ComponentStep<op, reverse>(pixels + 3 * (n - 32), src, n, n - 32, tables, order, mine);
}

ASSEMBLY_AVX2 void PlaceAvx2(uint8_t* pixels, size_t k, const uint8_t* src, size_t n) {
    ComponentAvx2<Op::Copy, false>(pixels, k, src, n, nullptr);
}

ASSEMBLY_AVX2 inline __m256i Or3(__m256i x, __m256i y, __m256i z) {
    return _mm256_or_si256(_mm256_or_si256(x, y), z);
}

// 32 pixels at d from 32 bytes of each component (`only` as in Only:
// [component][vector]). The first and the last 16 bytes of a component
// come in both lanes straight from memory.
ASSEMBLY_AVX2 inline void Interleave256(uint8_t* d, const uint8_t* a, const uint8_t* b,
                                        const uint8_t* c, const __m256i (&only)[3][3]) {
    Store256(d, Or3(_mm256_shuffle_epi8(Both128(a), only[0][0]),
                    _mm256_shuffle_epi8(Both128(b), only[1][0]),
                    _mm256_shuffle_epi8(Both128(c), only[2][0])));
    Store256(d + 32, Or3(_mm256_shuffle_epi8(Load256(a), only[0][1]),
                         _mm256_shuffle_epi8(Load256(b), only[1][1]),
                         _mm256_shuffle_epi8(Load256(c), only[2][1])));
    Store256(d + 64, Or3(_mm256_shuffle_epi8(Both128(a + 16), only[0][2]),
                         _mm256_shuffle_epi8(Both128(b + 16), only[1][2]),
                         _mm256_shuffle_epi8(Both128(c + 16), only[2][2])));
}

ASSEMBLY_AVX2 void InterleaveAvx2(uint8_t* dst, const uint8_t* a, const uint8_t* b,
                                  const uint8_t* c, size_t n) {
    if (n < 32) {
        InterleaveScalar(dst, a, b, c, n);
        return;
    }
    __m256i only[3][3];
    for (int m = 0; m < 3; ++m)
        for (int v = 0; v < 3; ++v) only[m][v] = Load256(kPixelShuffles32.Only[m][v]);
    size_t i = 0;
    for (; i + 32 <= n; i += 32) Interleave256(dst + 3 * i, a + i, b + i, c + i, only);
    // The last pixels again from the last 32 of each component.
    if (i < n) {
        const size_t at = n - 32;
        Interleave256(dst + 3 * at, a + at, b + at, c + at, only);
    }
}

#define ASSEMBLY_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// Looks up 64 bytes at once: the low seven bits of each byte index a pair
// of table quarters, the top bit chooses the pair.
ASSEMBLY_VBMI inline __m512i Look512(__m512i x, const __m512i (&q)[4]) {
    const __m512i low = _mm512_permutex2var_epi8(q[0], x, q[1]);
    const __m512i high = _mm512_permutex2var_epi8(q[2], x, q[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
}

// Bytes 63, 62, ..., 0: the indices of a reversed vector.
ASSEMBLY_VBMI inline __m512i Backwards() {
    return _mm512_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                           20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                           38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55,
                           56, 57, 58, 59, 60, 61, 62, 63);
}

// Byte j of the result is byte order[j] of x.
ASSEMBLY_VBMI inline __m512i Permute(__m512i order, __m512i x) {
    return _mm512_maskz_permutexvar_epi8(~__mmask64{0}, order, x);
}

ASSEMBLY_VBMI inline __mmask64 FirstBytes(size_t r) {
    return r >= 64 ? ~__mmask64{0} : (__mmask64{1} << r) - 1;
}

// Reads the r (1 to 64) source bytes that make output bytes i .. i + r - 1
// of a line of n bytes, in output order: src[i ...] kept, or
// src[n - 1 - i ...] backwards.
template <bool reverse>
ASSEMBLY_VBMI inline __m512i Take(const uint8_t* src, size_t n, size_t i, size_t r,
                                  __m512i backwards) {
    if constexpr (!reverse) {
        return r == 64 ? _mm512_loadu_si512(src + i) : _mm512_maskz_loadu_epi8(FirstBytes(r), src + i);
    } else {
        const uint8_t* from = src + n - i - r;
        const __m512i x = r == 64 ? _mm512_loadu_si512(from)
                                  : _mm512_maskz_loadu_epi8(FirstBytes(r), from);
        // Byte j of the result is byte r - 1 - j of x.
        const __m512i order = _mm512_sub_epi8(backwards, _mm512_set1_epi8(static_cast<char>(64 - r)));
        return Permute(order, x);
    }
}

template <Op op>
ASSEMBLY_VBMI inline __m512i Apply(__m512i x, const __m512i (&q)[4]) {
    if constexpr (op == Op::Invert) return _mm512_ternarylogic_epi32(x, x, x, 0x55);
    else if constexpr (op == Op::Lookup) return Look512(x, q);
    else return x;
}

ASSEMBLY_VBMI inline void LoadTable(const uint8_t* t, __m512i (&q)[4]) {
    for (int k = 0; k < 4; ++k) q[k] = t ? _mm512_loadu_si512(t + 64 * k) : _mm512_setzero_si512();
}

// One row as Row<op, reverse> does it, 64 bytes per step.
template <Op op, bool reverse>
ASSEMBLY_VBMI void RowVbmi(uint8_t* dst, const uint8_t* src, size_t n, const uint8_t* t) {
    __m512i q[4];
    if constexpr (op == Op::Lookup) LoadTable(t, q);
    const __m512i backwards = Backwards();
    for (size_t i = 0; i < n; i += 64) {
        const size_t r = std::min<size_t>(64, n - i);
        const __m512i y = Apply<op>(Take<reverse>(src, n, i, r, backwards), q);
        if (r == 64)
            _mm512_storeu_si512(dst + i, y);
        else
            _mm512_mask_storeu_epi8(dst + i, FirstBytes(r), y);
    }
}

// Pixel bytes 64v .. 64v + 63 of 64 pixels: byte j is byte (64v + j) % 3 of
// pixel (64v + j) / 3. Spread[v] gives each byte its pixel, Mine[c][v] the
// bytes that hold component c.
struct WideSpread {
    alignas(64) uint8_t Spread[3][64];
    uint64_t Mine[3][3];
};

constexpr WideSpread MakeWideSpread() {
    WideSpread w{};
    for (int v = 0; v < 3; ++v)
        for (int j = 0; j < 64; ++j) {
            const int q = 64 * v + j;
            w.Spread[v][j] = static_cast<uint8_t>(q / 3);
            w.Mine[q % 3][v] |= uint64_t{1} << j;
        }
    return w;
}

constexpr WideSpread kWideSpread = MakeWideSpread();

// One component row: n source bytes converted by op (mirrored with
// `reverse`) into byte k of the 3-byte pixels at `pixels`; the other bytes
// are not written.
template <Op op, bool reverse>
ASSEMBLY_VBMI void ComponentVbmi(uint8_t* pixels, size_t k, const uint8_t* src, size_t n,
                                 const uint8_t* t) {
    __m512i q[4];
    if constexpr (op == Op::Lookup) LoadTable(t, q);
    const __m512i backwards = Backwards();
    const __m512i s0 = _mm512_load_si512(kWideSpread.Spread[0]);
    const __m512i s1 = _mm512_load_si512(kWideSpread.Spread[1]);
    const __m512i s2 = _mm512_load_si512(kWideSpread.Spread[2]);
    const __mmask64 m0 = kWideSpread.Mine[k][0], m1 = kWideSpread.Mine[k][1],
                    m2 = kWideSpread.Mine[k][2];
    for (size_t i = 0; i < n; i += 64) {
        const size_t r = std::min<size_t>(64, n - i);
        const __m512i y = Apply<op>(Take<reverse>(src, n, i, r, backwards), q);
        uint8_t* d = pixels + 3 * i;
        if (r == 64) {
            _mm512_mask_storeu_epi8(d, m0, Permute(s0, y));
            _mm512_mask_storeu_epi8(d + 64, m1, Permute(s1, y));
            _mm512_mask_storeu_epi8(d + 128, m2, Permute(s2, y));
        } else {
            // The last pixels: only the bytes of the r pixels left.
            const size_t bytes = 3 * r;
            const __mmask64 l0 = FirstBytes(std::min<size_t>(bytes, 64));
            const __mmask64 l1 = bytes > 64 ? FirstBytes(std::min<size_t>(bytes - 64, 64)) : 0;
            const __mmask64 l2 = bytes > 128 ? FirstBytes(bytes - 128) : 0;
            _mm512_mask_storeu_epi8(d, m0 & l0, Permute(s0, y));
            _mm512_mask_storeu_epi8(d + 64, m1 & l1, Permute(s1, y));
            _mm512_mask_storeu_epi8(d + 128, m2 & l2, Permute(s2, y));
        }
    }
}

#endif  // ASSEMBLY_X86

// A component row converted straight into its pixels (null: convert a
// piece at a time, then place it).
using ComponentFn = void (*)(uint8_t* pixels, size_t k, const uint8_t* src, size_t n,
                             const uint8_t* t);

// The forms this processor runs, chosen at the first use. Indexed by
// operation and mirror: [Op][reverse].
struct Kernels {
    RowFn row[4][2] = {{Row<Op::Copy, false>, Row<Op::Copy, true>},
                       {Row<Op::Invert, false>, Row<Op::Invert, true>},
                       {Row<Op::Lookup, false>, Row<Op::Lookup, true>},
                       {Row<Op::Lookup, false>, Row<Op::Lookup, true>}};
    ComponentFn component[4][2] = {};
    PlaceFn place = PlaceScalar;
    InterleaveFn interleave = InterleaveScalar;
};

// The newest instructions of the processor.
AssemblyInstructions ProcessorAssemblyInstructions() {
#if ASSEMBLY_X86
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi"))
        return AssemblyInstructions::Avx512Vbmi;
    if (__builtin_cpu_supports("avx2")) return AssemblyInstructions::Avx2;
    if (__builtin_cpu_supports("ssse3")) return AssemblyInstructions::Ssse3;
#endif
    return AssemblyInstructions::Baseline;
}

// The forms of the loops that use instructions up to `newest`.
Kernels ChooseKernels(AssemblyInstructions newest) {
    Kernels k;
    (void)newest;
#if ASSEMBLY_X86
    if (newest >= AssemblyInstructions::Ssse3) {
        k.place = PlaceSsse3;
        k.interleave = InterleaveSsse3;
    }
    if (newest >= AssemblyInstructions::Avx2) {
        // A plain copy stays memmove.
        k.row[0][1] = RowAvx2<Op::Copy, true>;
        k.row[1][0] = RowAvx2<Op::Invert, false>;
        k.row[1][1] = RowAvx2<Op::Invert, true>;
        k.row[2][0] = RowAvx2<Op::Lookup, false>;
        k.row[2][1] = RowAvx2<Op::Lookup, true>;
        k.row[3][0] = RowAvx2<Op::Nibbles, false>;
        k.row[3][1] = RowAvx2<Op::Nibbles, true>;
        k.component[0][0] = ComponentAvx2<Op::Copy, false>;
        k.component[0][1] = ComponentAvx2<Op::Copy, true>;
        k.component[1][0] = ComponentAvx2<Op::Invert, false>;
        k.component[1][1] = ComponentAvx2<Op::Invert, true>;
        k.component[2][0] = ComponentAvx2<Op::Lookup, false>;
        k.component[2][1] = ComponentAvx2<Op::Lookup, true>;
        k.component[3][0] = ComponentAvx2<Op::Nibbles, false>;
        k.component[3][1] = ComponentAvx2<Op::Nibbles, true>;
        k.place = PlaceAvx2;
        k.interleave = InterleaveAvx2;
    }
    if (newest >= AssemblyInstructions::Avx512Vbmi) {
        // A plain copy stays memmove.
        k.row[0][1] = RowVbmi<Op::Copy, true>;
        k.row[1][0] = RowVbmi<Op::Invert, false>;
        k.row[1][1] = RowVbmi<Op::Invert, true>;
        k.row[2][0] = RowVbmi<Op::Lookup, false>;
        k.row[2][1] = RowVbmi<Op::Lookup, true>;
        k.component[0][0] = ComponentVbmi<Op::Copy, false>;
        k.component[0][1] = ComponentVbmi<Op::Copy, true>;
        k.component[1][0] = ComponentVbmi<Op::Invert, false>;
        k.component[1][1] = ComponentVbmi<Op::Invert, true>;
        k.component[2][0] = ComponentVbmi<Op::Lookup, false>;
        k.component[2][1] = ComponentVbmi<Op::Lookup, true>;
        // A nibble table is looked up whole, 64 bytes a step.
        k.row[3][0] = RowVbmi<Op::Lookup, false>;
        k.row[3][1] = RowVbmi<Op::Lookup, true>;
        k.component[3][0] = ComponentVbmi<Op::Lookup, false>;
        k.component[3][1] = ComponentVbmi<Op::Lookup, true>;
    }
#endif
    return k;
}

Kernels gKernels = ChooseKernels(ProcessorAssemblyInstructions());
AssemblyInstructions gAssemblyInstructions = ProcessorAssemblyInstructions();

const Kernels& Fast() { return gKernels; }

RowFn RowFor(const LineTransform& t) {
    return Fast().row[static_cast<int>(t.Op)][t.Reverse ? 1 : 0];
}

inline uint8_t* RowAt(uint8_t* firstRow, ptrdiff_t rowStep, size_t k) {
    return firstRow + static_cast<ptrdiff_t>(k) * rowStep;
}

void ZeroPadding(uint8_t* row, size_t used, size_t rowBytes) {
    if (rowBytes > used) std::memset(row + used, 0, rowBytes - used);
}

}  // namespace

AssemblyInstructions AssembleWithInstructions(AssemblyInstructions newest) {
    const AssemblyInstructions processor = ProcessorAssemblyInstructions();
    gAssemblyInstructions = newest < processor ? newest : processor;
    gKernels = ChooseKernels(gAssemblyInstructions);
    return gAssemblyInstructions;
}

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
    // Without the tables (their block could not be had) every curve is
    // the identity the tables start as.
    if (!toneTables) return c;
    if (choice.Level) std::memcpy(c.data(), toneTables + *choice.Level, c.size());
    if (choice.Gamma) {
        const uint8_t* gamma = toneTables + *choice.Gamma;
        for (uint8_t& b : c) b = gamma[b];
    }
    return c;
}

CurveChoice WithoutScannerGamma(CurveChoice choice, int passIndex) {
    const std::optional<size_t> sent =
        passIndex == -1 ? At(kGammaSet, kCurveGrey)
        : passIndex >= 0 && passIndex <= 2 ? At(kGammaSet, ComponentCurve(passIndex))
                                           : std::nullopt;
    if (choice.Gamma && choice.Gamma == sent) choice.Gamma.reset();
    return choice;
}

// ---- Single steps ----------------------------------------------------------

void ApplyCurve(std::span<uint8_t> line, const ToneCurve& curve) {
    Fast().row[static_cast<int>(Op::Lookup)][0](line.data(), line.data(), line.size(),
                                                curve.data());
}

void InvertLine(std::span<uint8_t> line) {
    Fast().row[static_cast<int>(Op::Invert)][0](line.data(), line.data(), line.size(), nullptr);
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
    bool nibbles = true;
    for (size_t v = 0; v < t.Table.size(); ++v) {
        copy = copy && t.Table[v] == v;
        invert = invert && t.Table[v] == 255 - v;
        nibbles = nibbles && t.Table[v] == (t.Table[v & 0xF0] ^ t.Table[v & 0x0F] ^ t.Table[0]);
    }
    t.Op = copy ? Op::Copy : invert ? Op::Invert : nibbles ? Op::Nibbles : Op::Lookup;
    return t;
}

LineTransform PassTransform(PixelKind passKind, Delivery delivery, const LineOptions& options,
                            const CurveSettings& settings, int passIndex,
                            const uint8_t* toneTables) {
    const CurveChoice choice = WithoutScannerGamma(ChooseCurves(settings, delivery, passIndex), passIndex);
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
    const RowFn row = RowFor(transform);
    const PlaceFn place = Fast().place;
    const ComponentFn straight =
        Fast().component[static_cast<int>(transform.Op)][transform.Reverse ? 1 : 0];
    const bool direct = transform.Op == Op::Copy && !transform.Reverse;
    // Converted a piece at a time into `piece`, then spread into the pixels.
    constexpr size_t kPiece = 2048;
    alignas(16) uint8_t piece[kPiece];
    for (size_t k = 0; k < lines; ++k) {
        uint8_t* dst = RowAt(firstRow, rowStep, k);
        const uint8_t* src = raw + k * pixels;
        if (straight) {
            straight(dst, byteInPixel, src, pixels, transform.Table.data());
        } else if (direct) {
            place(dst, byteInPixel, src, pixels);
        } else {
            for (size_t at = 0; at < pixels; at += kPiece) {
                const size_t n = std::min(kPiece, pixels - at);
                // Output pixels at .. at + n - 1 come from the mirrored end
                // of the raw line when the order is reversed.
                row(piece, transform.Reverse ? src + pixels - at - n : src + at, n,
                    transform.Table.data());
                place(dst + 3 * at, byteInPixel, piece, n);
            }
        }
        ZeroPadding(dst, 3 * pixels, rowBytes);
    }
}

// ---- Colour pixels ---------------------------------------------------------

void PlaceComponent(const uint8_t* component, size_t pixels, size_t lines, uint8_t* firstRow,
                    ptrdiff_t rowStep, size_t byteInPixel, size_t rowBytes) {
    const PlaceFn place = Fast().place;
    for (size_t k = 0; k < lines; ++k) {
        uint8_t* dst = RowAt(firstRow, rowStep, k);
        place(dst, byteInPixel, component + k * pixels, pixels);
        ZeroPadding(dst, 3 * pixels, rowBytes);
    }
}

void InterleaveRows(const uint8_t* first, const uint8_t* second, const uint8_t* third,
                    size_t pixels, size_t lines, uint8_t* firstRow, ptrdiff_t rowStep,
                    size_t rowBytes) {
    const InterleaveFn interleave = Fast().interleave;
    for (size_t k = 0; k < lines; ++k) {
        uint8_t* dst = RowAt(firstRow, rowStep, k);
        const size_t at = k * pixels;
        interleave(dst, first + at, second + at, third + at, pixels);
        ZeroPadding(dst, 3 * pixels, rowBytes);
    }
}

void InterleaveRgb(const uint8_t* red, const uint8_t* green, const uint8_t* blue, size_t pixels,
                   size_t lines, uint8_t* rows, size_t rowBytes) {
    InterleaveRows(red, green, blue, pixels, lines, rows, static_cast<ptrdiff_t>(rowBytes),
                   rowBytes);
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
