#include "ds/acquire/interpolation.h"

#include <cstring>

// Layout of the work below.
//
// Every input pixel i with its right neighbour and the two pixels under them
// (a = A[i], b = A[i+1], c = B[i], d = B[i+1]; per component for colour
// pixels, whose neighbours are 3 bytes apart) gives an F x F block of output
// samples. The block formulas are written once, as templates over the value
// type: plain ints for single pixels, and 16-lane vectors (GCC vector
// extensions, SSE2 on x86-64) for runs of 16 neighbouring pixels or bytes.
// Only the way a run's samples are scattered into the output rows depends on
// the pixel kind:
//  - one component: the F sample vectors of an output row are interleaved
//    byte-wise with shuffles (unpack instructions) and stored 16 at a time;
//  - colour pixels: a run of 48 bytes (16 pixels) is computed into a small
//    block of samples and copied out one 3-byte sample per 4-byte store,
//    each store's last byte overwritten by the next.
// Newer processors take other forms of the runs, chosen at load time (see
// "Runs placed with byte shuffles" and "Two groups at once"): every output
// row of a run is assembled in registers with byte shuffles and stored 16
// bytes at a time, for colour pixels too; with AVX2 two runs go side by side
// in 32-byte vectors. All forms compute the same formulas.
// The pixels a run cannot take (the last few of a line) use the same
// formulas on ints. The last pixel of a line has no right neighbour; its
// whole block is a.

// The 16-lane runs need SSE2 (always there on x86-64); without it every
// pixel takes the int path.
#if defined(__SSE2__)
#include <emmintrin.h>
#define SCALE_VECTOR_RUNS 1
#else
#define SCALE_VECTOR_RUNS 0
#endif

// Processors with SSSE3 (byte shuffles with a table of lanes, pshufb) take
// a second form of the runs for colour pixels and for the factor 6: the
// samples are placed into the output with shuffles and stored 16 bytes at a
// time. Processors with AVX2 take two groups of pixels at once, for every
// kind and factor. The baseline build stays SSE2; the form is chosen when
// the module loads, by asking the processor.
#if SCALE_VECTOR_RUNS && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#include <utility>
#define SCALE_SHUFFLE_RUNS 1
// The 32-byte values of the AVX2 form pass through the block templates,
// which are always inlined into the AVX2 function: no call with them in
// registers or on the stack is ever made, so the note that such calls
// would pass them differently without AVX does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#else
#define SCALE_SHUFFLE_RUNS 0
#endif

namespace {

#define SCALE_INLINE [[gnu::always_inline]] inline

// ---- 16-lane values -----------------------------------------------------------

#if SCALE_VECTOR_RUNS

typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Words8 __attribute__((vector_size(16)));
typedef uint32_t Dwords4 __attribute__((vector_size(16)));
typedef int16_t Wide8 __attribute__((vector_size(16)));

constexpr size_t kRun = 16;  // pixels (one component) or bytes (colour) per vector

SCALE_INLINE Bytes16 Load16(const uint8_t* p) {
    return (Bytes16)_mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

SCALE_INLINE void Store16(uint8_t* p, Bytes16 v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), (__m128i)v);
}

SCALE_INLINE Bytes16 LowBytes(Bytes16 x, Bytes16 y) {
    return __builtin_shufflevector(x, y, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
}
SCALE_INLINE Bytes16 HighBytes(Bytes16 x, Bytes16 y) {
    return __builtin_shufflevector(x, y, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30,
                                   15, 31);
}
SCALE_INLINE Bytes16 LowWords(Bytes16 x, Bytes16 y) {
    return (Bytes16)__builtin_shufflevector((Words8)x, (Words8)y, 0, 8, 1, 9, 2, 10, 3, 11);
}
SCALE_INLINE Bytes16 HighWords(Bytes16 x, Bytes16 y) {
    return (Bytes16)__builtin_shufflevector((Words8)x, (Words8)y, 4, 12, 5, 13, 6, 14, 7, 15);
}
SCALE_INLINE Bytes16 LowDwords(Bytes16 x, Bytes16 y) {
    return (Bytes16)__builtin_shufflevector((Dwords4)x, (Dwords4)y, 0, 4, 1, 5);
}
SCALE_INLINE Bytes16 HighDwords(Bytes16 x, Bytes16 y) {
    return (Bytes16)__builtin_shufflevector((Dwords4)x, (Dwords4)y, 2, 6, 3, 7);
}

// Truncating mean of byte lanes: the rounding-up average of the
// instruction set, less one where the sum is odd.
SCALE_INLINE Bytes16 Mean(Bytes16 x, Bytes16 y) {
    return (Bytes16)_mm_avg_epu8((__m128i)x, (__m128i)y) - ((x ^ y) & 1);
}

// One third of a step in 16-bit lanes (|t - s| <= 255): the high half of
// (t - s) * 21846 is the third rounded down, one more for a negative step
// rounds it toward zero.
SCALE_INLINE Wide8 Third(Wide8 s, Wide8 t) {
    const Wide8 step = t - s;
    const Wide8 down = (Wide8)_mm_mulhi_epi16((__m128i)step, _mm_set1_epi16(21846));
    return down - (step >> 15);
}

#endif

// ---- The block formulas ------------------------------------------------------

// The templates take their values by reference: the 32-byte values of the
// AVX2 form must not be passed by value outside AVX2 functions (they are
// always inlined, but the compiler still notes the changed ABI).
//
// Truncating mean of two samples, (x + y) >> 1, without leaving the lane
// width: valid for non-negative ints and for byte lanes.
template <class T>
SCALE_INLINE T Mean(const T& x, const T& y) {
    return (x & y) + ((x ^ y) >> 1);
}

// One third of the step from s to t, truncated toward zero (signed values).
template <class T>
SCALE_INLINE T Third(const T& s, const T& t) {
    return (t - s) / 3;
}

template <class T>
SCALE_INLINE void Block2(const T& a, const T& b, const T& c, const T& d, T* o) {
    o[0] = a;
    o[1] = Mean(a, b);
    o[2] = Mean(a, c);
    o[3] = Mean(a, d);
}

template <class T>
SCALE_INLINE void Block4(const T& a, const T& b, const T& c, const T& d, T* o) {
    const T ab = Mean(a, b), ac = Mean(a, c), ad = Mean(a, d), bd = Mean(b, d), cd = Mean(c, d);
    o[0] = a;
    o[1] = Mean(ab, a);
    o[2] = ab;
    o[3] = Mean(ab, b);
    o[4] = Mean(ac, a);
    o[5] = Mean(ad, a);
    o[6] = Mean(ad, ab);
    o[7] = Mean(bd, ab);
    o[8] = ac;
    o[9] = Mean(ad, ac);
    o[10] = ad;
    o[11] = Mean(ad, bd);
    o[12] = Mean(ac, c);
    o[13] = Mean(cd, ac);
    o[14] = Mean(ad, cd);
    o[15] = Mean(ad, d);
}

// The 4 x 4 grid once more: each of its cells with its right, lower and
// lower-right neighbours (the neighbouring blocks' samples at the edges)
// makes a 2 x 2 cell by the rule of Block2. The block to the right begins
// with the column b, (bd + b) / 2, bd, (bd + d) / 2 - or b throughout when
// it is the last pixel of the line, whose block is all b; the block below
// begins with the row c, (cd + c) / 2, cd, (cd + d) / 2; the one diagonally
// below with d.
template <class T>
SCALE_INLINE void Grid8(const T& a, const T& b, const T& c, const T& d, bool rightIsLast,
                        T (&e)[5][5]) {
    T g[16];
    Block4(a, b, c, d, g);
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 4; ++k) e[r][k] = g[4 * r + k];
    const T bd = Mean(b, d), cd = Mean(c, d);
    if (rightIsLast) {
        e[0][4] = e[1][4] = e[2][4] = e[3][4] = b;
    } else {
        e[0][4] = b;
        e[1][4] = Mean(bd, b);
        e[2][4] = bd;
        e[3][4] = Mean(bd, d);
    }
    e[4][0] = c;
    e[4][1] = Mean(cd, c);
    e[4][2] = cd;
    e[4][3] = Mean(cd, d);
    e[4][4] = d;
}

// Output rows 2r and 2r + 1 of the 8 x 8 block from row r of the grid.
template <class T>
SCALE_INLINE void CellRows8(const T (&e)[5][5], int r, T* top, T* bottom) {
    for (int k = 0; k < 4; ++k) {
        T cell[4];
        Block2(e[r][k], e[r][k + 1], e[r + 1][k], e[r + 1][k + 1], cell);
        top[2 * k] = cell[0];
        top[2 * k + 1] = cell[1];
        bottom[2 * k] = cell[2];
        bottom[2 * k + 1] = cell[3];
    }
}

template <class T>
SCALE_INLINE void Block8(const T& a, const T& b, const T& c, const T& d, bool rightIsLast, T* o) {
    T e[5][5];
    Grid8(a, b, c, d, rightIsLast, e);
    for (int r = 0; r < 4; ++r) CellRows8(e, r, o + 16 * r, o + 16 * r + 8);
}

// Thirds between the corners and the midpoints. T must be signed.
template <class T>
SCALE_INLINE void Block6(const T& a, const T& b, const T& c, const T& d, T* o) {
    const T ab = Mean(a, b), ac = Mean(a, c), ad = Mean(a, d), bd = Mean(b, d), cd = Mean(c, d);
    T* r0 = o;
    T* r3 = o + 18;
    T q = Third(a, ab);
    r0[0] = a;
    r0[1] = a + q;
    r0[2] = a + q + q;
    q = Third(ab, b);
    r0[3] = ab;
    r0[4] = ab + q;
    r0[5] = ab + q + q;
    q = Third(ac, ad);
    r3[0] = ac;
    r3[1] = ac + q;
    r3[2] = ac + q + q;
    q = Third(ad, bd);
    r3[3] = ad;
    r3[4] = ad + q;
    r3[5] = ad + q + q;
    for (int j = 0; j < 6; ++j) {
        const T s = Third(r0[j], r3[j]);
        o[6 + j] = r0[j] + s;
        o[12 + j] = r0[j] + s + s;
    }
    const T qc = Third(ac, c), qcd = Third(ad, cd), qd = Third(ad, d);
    for (int k = 1; k <= 2; ++k) {
        T* row = o + 6 * (3 + k);
        row[0] = k == 1 ? ac + qc : ac + qc + qc;
        row[3] = k == 1 ? ad + qcd : ad + qcd + qcd;
        const T s = Third(row[0], row[3]);
        row[1] = row[0] + s;
        row[2] = row[0] + s + s;
    }
    o[28] = ad + qd;                    // (4,4)
    o[35] = ad + qd + qd;               // (5,5)
    o[29] = Mean(o[23], o[35]);         // (4,5) from (3,5) and (5,5)
    o[34] = Mean(o[33], o[35]);         // (5,4) from (5,3) and (5,5)
}

// The block of one pixel (one component) as ints.
template <int F>
SCALE_INLINE void BlockOf(int a, int b, int c, int d, bool rightIsLast, int* o) {
    if constexpr (F == 2) Block2(a, b, c, d, o);
    else if constexpr (F == 4) Block4(a, b, c, d, o);
    else if constexpr (F == 6) Block6(a, b, c, d, o);
    else Block8(a, b, c, d, rightIsLast, o);
}

#if SCALE_VECTOR_RUNS

// The blocks of 16 neighbouring lanes: o[r * F + s] holds sample (r, s) of
// every lane.
template <int F>
SCALE_INLINE void BlockOf(Bytes16 a, Bytes16 b, Bytes16 c, Bytes16 d, Bytes16* o) {
    if constexpr (F == 2) {
        Block2(a, b, c, d, o);
    } else if constexpr (F == 4) {
        Block4(a, b, c, d, o);
    } else if constexpr (F == 6) {
        // Signed 16-bit lanes, eight pixels at a time.
        const Bytes16 zero = {};
        Wide8 low[36], high[36];
        Block6((Wide8)LowBytes(a, zero), (Wide8)LowBytes(b, zero), (Wide8)LowBytes(c, zero),
               (Wide8)LowBytes(d, zero), low);
        Block6((Wide8)HighBytes(a, zero), (Wide8)HighBytes(b, zero), (Wide8)HighBytes(c, zero),
               (Wide8)HighBytes(d, zero), high);
        for (int k = 0; k < 36; ++k)
            o[k] = (Bytes16)_mm_packus_epi16((__m128i)low[k], (__m128i)high[k]);
    } else {
        Block8(a, b, c, d, false, o);
    }
}

// ---- Scattering a run of one-component pixels ---------------------------------

// Writes the F samples of 16 pixels (s[0] to s[F - 1]) pixel by pixel:
// 16 * F bytes at out. For F = 6 two bytes after them are overwritten too.
template <int F>
SCALE_INLINE void InterleaveRun(const Bytes16* s, uint8_t* out) {
    if constexpr (F == 2) {
        Store16(out, LowBytes(s[0], s[1]));
        Store16(out + 16, HighBytes(s[0], s[1]));
    } else if constexpr (F == 4) {
        const Bytes16 p0 = LowBytes(s[0], s[1]), p1 = HighBytes(s[0], s[1]);
        const Bytes16 q0 = LowBytes(s[2], s[3]), q1 = HighBytes(s[2], s[3]);
        Store16(out, LowWords(p0, q0));
        Store16(out + 16, HighWords(p0, q0));
        Store16(out + 32, LowWords(p1, q1));
        Store16(out + 48, HighWords(p1, q1));
    } else if constexpr (F == 8) {
        const Bytes16 p0 = LowBytes(s[0], s[1]), p1 = HighBytes(s[0], s[1]);
        const Bytes16 q0 = LowBytes(s[2], s[3]), q1 = HighBytes(s[2], s[3]);
        const Bytes16 r0 = LowBytes(s[4], s[5]), r1 = HighBytes(s[4], s[5]);
        const Bytes16 t0 = LowBytes(s[6], s[7]), t1 = HighBytes(s[6], s[7]);
        const Bytes16 pq[4] = {LowWords(p0, q0), HighWords(p0, q0), LowWords(p1, q1),
                               HighWords(p1, q1)};
        const Bytes16 rt[4] = {LowWords(r0, t0), HighWords(r0, t0), LowWords(r1, t1),
                               HighWords(r1, t1)};
        for (int m = 0; m < 4; ++m) {
            Store16(out + 32 * m, LowDwords(pq[m], rt[m]));
            Store16(out + 32 * m + 16, HighDwords(pq[m], rt[m]));
        }
    } else {
        // Samples 0-3 of each pixel as one 32-bit word, 4-5 as a 16-bit
        // word widened to 32 bits; side by side they make one 64-bit lane
        // per pixel, stored 6 bytes apart (each store's last two bytes are
        // overwritten by the next).
        const Bytes16 zero = {};
        const Bytes16 p0 = LowBytes(s[0], s[1]), p1 = HighBytes(s[0], s[1]);
        const Bytes16 q0 = LowBytes(s[2], s[3]), q1 = HighBytes(s[2], s[3]);
        const Bytes16 r0 = LowBytes(s[4], s[5]), r1 = HighBytes(s[4], s[5]);
        const Bytes16 quad[4] = {LowWords(p0, q0), HighWords(p0, q0), LowWords(p1, q1),
                                 HighWords(p1, q1)};
        const Bytes16 pair[4] = {LowWords(r0, zero), HighWords(r0, zero), LowWords(r1, zero),
                                 HighWords(r1, zero)};
        for (int m = 0; m < 4; ++m) {
            const __m128i first = (__m128i)LowDwords(quad[m], pair[m]);
            const __m128i second = (__m128i)HighDwords(quad[m], pair[m]);
            uint8_t* at = out + 24 * m;
            // Both half stores (movq, movhps) take any alignment.
            _mm_storel_epi64(reinterpret_cast<__m128i*>(at), first);
            _mm_storeh_pi(reinterpret_cast<__m64*>(at + 6), _mm_castsi128_ps(first));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(at + 12), second);
            _mm_storeh_pi(reinterpret_cast<__m64*>(at + 18), _mm_castsi128_ps(second));
        }
    }
}

// Spreads the 4 low bits of every lane over its 8 bits, each bit twice:
// bit 3 to bits 7 and 6, and so on down to bit 0 to bits 1 and 0.
SCALE_INLINE Bytes16 SpreadNibble(Bytes16 n) {
    n = (n | (n << 2)) & 0x33;
    n = (n | (n << 1)) & 0x55;
    return n | (n << 1);
}

// 16 bytes of 1-bit pixels, each bit repeated F (2 or 4) times: 16 * F
// bytes, stored into each of the F rows at out, out + step, ...
template <int F>
SCALE_INLINE void SpreadBitsRun(const uint8_t* in, uint8_t* out, ptrdiff_t step) {
    const Bytes16 x = Load16(in);
    Bytes16 o[F];
    if constexpr (F == 2) {
        const Bytes16 left = SpreadNibble(x >> 4), right = SpreadNibble(x & 0x0F);
        o[0] = LowBytes(left, right);
        o[1] = HighBytes(left, right);
    } else {
        // Every input byte four times; output byte k of the four takes bits
        // 7 - 2k and 6 - 2k, as its high and its low nibble.
        const Bytes16 twice[2] = {LowBytes(x, x), HighBytes(x, x)};
        const Bytes16 high = {0x80, 0x20, 0x08, 0x02, 0x80, 0x20, 0x08, 0x02,
                              0x80, 0x20, 0x08, 0x02, 0x80, 0x20, 0x08, 0x02};
        const Bytes16 low = high >> 1;
        for (int h = 0; h < 2; ++h) {
            for (int w = 0; w < 2; ++w) {
                const Bytes16 four =
                    w ? HighWords(twice[h], twice[h]) : LowWords(twice[h], twice[h]);
                o[2 * h + w] = (((Bytes16)((four & high) == high)) & 0xF0) |
                               (((Bytes16)((four & low) == low)) & 0x0F);
            }
        }
    }
    for (int r = 0; r < F; ++r)
        for (int k = 0; k < F; ++k) Store16(out + r * step + 16 * k, o[k]);
}

// ---- Runs of 16 pixels ---------------------------------------------------------

// Scales the runs of 16 pixels at the start of a line whose right
// neighbours all exist and are not the last pixel of the line (which the
// 8 x 8 block treats on its own). Gives the first pixel not done.
template <int S, int F>
size_t ScaleRuns(const uint8_t* A, const uint8_t* B, size_t pixels, uint8_t* const* row) {
    size_t p = 0;
    if constexpr (S == 1) {
        for (; p + kRun + 1 < pixels; p += kRun) {
            const Bytes16 a = Load16(A + p), b = Load16(A + p + 1);
            const Bytes16 c = Load16(B + p), d = Load16(B + p + 1);
            if constexpr (F == 8) {
                // Two output rows at a time from the grid, to keep few
                // samples alive at once.
                Bytes16 e[5][5];
                Grid8(a, b, c, d, false, e);
                for (int r = 0; r < 4; ++r) {
                    Bytes16 top[8], bottom[8];
                    CellRows8(e, r, top, bottom);
                    InterleaveRun<8>(top, row[2 * r] + 8 * p);
                    InterleaveRun<8>(bottom, row[2 * r + 1] + 8 * p);
                }
            } else {
                Bytes16 o[F * F];
                BlockOf<F>(a, b, c, d, o);
                for (int r = 0; r < F; ++r) InterleaveRun<F>(o + r * F, row[r] + F * p);
            }
        }
    } else {
        // 16 pixels are three vectors of bytes; their samples go through
        // `run` and out one sample (3 bytes) per 4-byte store, each store's
        // last byte overwritten by the next. The last store of a run reaches
        // one byte into the next pixel, which is written after it.
        alignas(16) uint8_t run[F * F][64];
        for (auto& s : run) std::memset(s + 48, 0, 16);
        for (; p + kRun + 1 < pixels; p += kRun) {
            const size_t x = 3 * p;
            for (int v = 0; v < 3; ++v) {
                Bytes16 o[F * F];
                const size_t at = x + 16 * v;
                BlockOf<F>(Load16(A + at), Load16(A + at + 3), Load16(B + at), Load16(B + at + 3),
                           o);
                for (int k = 0; k < F * F; ++k) Store16(run[k] + 16 * v, o[k]);
            }
            for (int r = 0; r < F; ++r) {
                uint8_t* out = row[r] + 3 * F * p;
                for (size_t i = 0; i < kRun; ++i) {
                    for (int s = 0; s < F; ++s)
                        std::memcpy(out + 3 * (F * i + s), run[r * F + s] + 3 * i, 4);
                }
            }
        }
    }

    return p;
}

#else

template <int S, int F>
size_t ScaleRuns(const uint8_t*, const uint8_t*, size_t, uint8_t* const*) {
    return 0;
}

#endif

// ---- Runs placed with byte shuffles (SSSE3) -----------------------------------

#if SCALE_SHUFFLE_RUNS

#define SCALE_SSSE3 __attribute__((target("ssse3")))
#define SCALE_SSSE3_INLINE [[gnu::always_inline]] inline __attribute__((target("ssse3")))

// A group is the run of pixels one set of 16-lane sample vectors covers:
// 16 pixels of one component, or 5 colour pixels (15 bytes; lane 15 is
// computed but never placed). Row r of a group is `Out` bytes: sample s of
// pixel i (component k for colour) at S * (F * i + s) + k, taken from lane
// S * i + k of the sample vector x[s].
//
// Before the shuffles the F sample vectors may be interleaved with unpack
// instructions to level L (0 to 3): source m * 2^L + h then holds, in byte
// t, sample 2^L * m + t % 2^L of lane (16 / 2^L) * h + t / 2^L. Every
// 16-byte window of the row is the OR of one shuffle of each source it
// draws from (a source that already is the window is taken as it is).
// Higher levels cost F unpacks each but let a window draw from fewer
// sources; the level with the fewest instructions is taken.
template <int S, int F>
constexpr int kGroupOut = S == 1 ? 16 * F : 15 * F;

template <int S, int F>
constexpr int kWindows = (kGroupOut<S, F> + 15) / 16;

template <int S, int F>
struct RowShuffles {
    uint8_t Mask[kWindows<S, F>][F][16];
    bool Uses[kWindows<S, F>][F];
    bool Whole[kWindows<S, F>][F];  // the source is the window as it stands
    int Cost;                       // instructions for one row
};

template <int S, int F>
constexpr RowShuffles<S, F> MakeRowShuffles(int level) {
    RowShuffles<S, F> t{};
    const int n = 1 << level, width = 16 >> level;
    t.Cost = F * level;
    for (int j = 0; j < kWindows<S, F>; ++j) {
        for (int src = 0; src < F; ++src)
            for (int b = 0; b < 16; ++b) t.Mask[j][src][b] = 0x80;
        for (int b = 0; b < 16; ++b) {
            const int q = 16 * j + b;
            if (q >= kGroupOut<S, F>) continue;  // overwritten by the next group
            const int pixel = q / (S * F), s = q % (S * F) / S;
            const int lane = S * pixel + q % S;
            const int src = s / n * n + lane / width;
            t.Mask[j][src][b] = static_cast<uint8_t>(lane % width * n + s % n);
            t.Uses[j][src] = true;
        }
        int sources = 0;
        for (int src = 0; src < F; ++src) {
            if (!t.Uses[j][src]) continue;
            ++sources;
            bool whole = true;
            for (int b = 0; b < 16; ++b) {
                const int m = t.Mask[j][src][b];
                if (m != b && !(m == 0x80 && 16 * j + b >= kGroupOut<S, F>)) whole = false;
            }
            t.Whole[j][src] = whole;
            if (!whole) ++t.Cost;
        }
        t.Cost += sources - 1;
    }
    return t;
}

template <int S, int F>
constexpr int BestLevel() {
    int best = 0;
    for (int level = 1; level <= 3 && F % (1 << level) == 0; ++level)
        if (MakeRowShuffles<S, F>(level).Cost < MakeRowShuffles<S, F>(best).Cost) best = level;
    return best;
}

template <int S, int F>
constexpr int kLevel = BestLevel<S, F>();

template <int S, int F>
constexpr RowShuffles<S, F> kRowShuffles = MakeRowShuffles<S, F>(kLevel<S, F>);

// The sources of level L from the F sample vectors (see above).
template <int F, int L>
SCALE_INLINE void Interleave(const Bytes16* x, Bytes16* out) {
    if constexpr (L == 0) {
        for (int s = 0; s < F; ++s) out[s] = x[s];
    } else {
        Bytes16 u[F];
        for (int m = 0; m < F / 2; ++m) {
            u[2 * m] = LowBytes(x[2 * m], x[2 * m + 1]);
            u[2 * m + 1] = HighBytes(x[2 * m], x[2 * m + 1]);
        }
        if constexpr (L == 1) {
            for (int k = 0; k < F; ++k) out[k] = u[k];
        } else {
            Bytes16 v[F];
            for (int m = 0; m < F / 4; ++m) {
                for (int h = 0; h < 4; ++h) {
                    const Bytes16 lo = u[4 * m + h / 2], hi = u[4 * m + 2 + h / 2];
                    v[4 * m + h] = h & 1 ? HighWords(lo, hi) : LowWords(lo, hi);
                }
            }
            if constexpr (L == 2) {
                for (int k = 0; k < F; ++k) out[k] = v[k];
            } else {
                for (int h = 0; h < 8; ++h) {
                    const Bytes16 lo = v[h / 2], hi = v[4 + h / 2];
                    out[h] = h & 1 ? HighDwords(lo, hi) : LowDwords(lo, hi);
                }
            }
        }
    }
}

template <int S, int F, int J, int K>
SCALE_SSSE3_INLINE Bytes16 Drawn(const Bytes16* sources) {
    constexpr const RowShuffles<S, F>& t = kRowShuffles<S, F>;
    if constexpr (!t.Uses[J][K]) {
        return Bytes16{};
    } else if constexpr (t.Whole[J][K]) {
        return sources[K];
    } else {
        return (Bytes16)_mm_shuffle_epi8((__m128i)sources[K], (__m128i)Load16(t.Mask[J][K]));
    }
}

template <int S, int F, int J, int... K>
SCALE_SSSE3_INLINE Bytes16 Window(const Bytes16* sources, std::integer_sequence<int, K...>) {
    return (Drawn<S, F, J, K>(sources) | ...);
}

template <int S, int F, int... J>
SCALE_SSSE3_INLINE void StoreWindows(const Bytes16* sources, uint8_t* out,
                                     std::integer_sequence<int, J...>) {
    (Store16(out + 16 * J, Window<S, F, J>(sources, std::make_integer_sequence<int, F>{})), ...);
}

// Writes row r of a group from its F sample vectors x: kGroupOut bytes at
// out, and for colour pixels up to F more after them (the next group's,
// written after these).
template <int S, int F>
SCALE_SSSE3_INLINE void PlaceRow(const Bytes16* x, uint8_t* out) {
    Bytes16 sources[F];
    Interleave<F, kLevel<S, F>>(x, sources);
    StoreWindows<S, F>(sources, out, std::make_integer_sequence<int, kWindows<S, F>>{});
}

// The runs of ScaleRuns in groups placed with shuffles: the pixels of a
// group and their right neighbours all exist, and none of those is the
// last pixel of the line. Gives the first pixel not done.
template <int S, int F>
SCALE_SSSE3 size_t ScaleRunsShuffled(const uint8_t* A, const uint8_t* B, size_t pixels,
                                     uint8_t* const* row, size_t p) {
    constexpr size_t group = S == 1 ? kRun : 5;
    for (; p + group + 1 < pixels; p += group) {
        const size_t x = S * p;
        const Bytes16 a = Load16(A + x), b = Load16(A + x + S);
        const Bytes16 c = Load16(B + x), d = Load16(B + x + S);
        if constexpr (F == 8) {
            Bytes16 e[5][5];
            Grid8(a, b, c, d, false, e);
            for (int r = 0; r < 4; ++r) {
                Bytes16 top[8], bottom[8];
                CellRows8(e, r, top, bottom);
                PlaceRow<S, F>(top, row[2 * r] + S * F * p);
                PlaceRow<S, F>(bottom, row[2 * r + 1] + S * F * p);
            }
        } else {
            Bytes16 o[F * F];
            BlockOf<F>(a, b, c, d, o);
            for (int r = 0; r < F; ++r) PlaceRow<S, F>(o + r * F, row[r] + S * F * p);
        }
    }
    return p;
}

// ---- Two groups at once (AVX2) ----------------------------------------------------

// Processors with AVX2 take two groups side by side in the two 16-byte
// halves of 32-byte vectors. Every instruction used acts on each half on its
// own, so each half computes and places its group exactly as above; the
// halves are stored apart, 16 bytes at a time. The block formulas take the
// 32-byte values as they are (plain vector arithmetic, always inlined into
// the AVX2 function below).

typedef uint8_t Bytes32 __attribute__((vector_size(32)));
typedef int16_t Wide16 __attribute__((vector_size(32)));

#define SCALE_AVX2 __attribute__((target("avx2")))
#define SCALE_AVX2_INLINE [[gnu::always_inline]] inline __attribute__((target("avx2")))

// 16 bytes at low into the low half, 16 bytes at high into the high half.
SCALE_AVX2_INLINE Bytes32 LoadHalves(const uint8_t* low, const uint8_t* high) {
    const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low));
    const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high));
    return (Bytes32)_mm256_inserti128_si256(_mm256_castsi128_si256(l), h, 1);
}

SCALE_AVX2_INLINE void StoreHalves(uint8_t* low, uint8_t* high, Bytes32 v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(low), _mm256_castsi256_si128((__m256i)v));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(high), _mm256_extracti128_si256((__m256i)v, 1));
}

template <int Width>
SCALE_AVX2_INLINE Bytes32 LowHalfLanes(Bytes32 x, Bytes32 y) {
    const __m256i a = (__m256i)x, b = (__m256i)y;
    if constexpr (Width == 1) return (Bytes32)_mm256_unpacklo_epi8(a, b);
    else if constexpr (Width == 2) return (Bytes32)_mm256_unpacklo_epi16(a, b);
    else return (Bytes32)_mm256_unpacklo_epi32(a, b);
}

template <int Width>
SCALE_AVX2_INLINE Bytes32 HighHalfLanes(Bytes32 x, Bytes32 y) {
    const __m256i a = (__m256i)x, b = (__m256i)y;
    if constexpr (Width == 1) return (Bytes32)_mm256_unpackhi_epi8(a, b);
    else if constexpr (Width == 2) return (Bytes32)_mm256_unpackhi_epi16(a, b);
    else return (Bytes32)_mm256_unpackhi_epi32(a, b);
}

// BlockOf for two groups; the factor 8 goes through Grid8 instead.
template <int F>
SCALE_AVX2_INLINE void BlockOfHalves(Bytes32 a, Bytes32 b, Bytes32 c, Bytes32 d, Bytes32* o) {
    if constexpr (F == 2) {
        Block2(a, b, c, d, o);
    } else if constexpr (F == 4) {
        Block4(a, b, c, d, o);
    } else {
        const __m256i zero = _mm256_setzero_si256();
        Wide16 low[36], high[36];
        Block6((Wide16)_mm256_unpacklo_epi8((__m256i)a, zero),
               (Wide16)_mm256_unpacklo_epi8((__m256i)b, zero),
               (Wide16)_mm256_unpacklo_epi8((__m256i)c, zero),
               (Wide16)_mm256_unpacklo_epi8((__m256i)d, zero), low);
        Block6((Wide16)_mm256_unpackhi_epi8((__m256i)a, zero),
               (Wide16)_mm256_unpackhi_epi8((__m256i)b, zero),
               (Wide16)_mm256_unpackhi_epi8((__m256i)c, zero),
               (Wide16)_mm256_unpackhi_epi8((__m256i)d, zero), high);
        for (int k = 0; k < 36; ++k)
            o[k] = (Bytes32)_mm256_packus_epi16((__m256i)low[k], (__m256i)high[k]);
    }
}

// Interleave, in each half.
template <int F, int L>
SCALE_AVX2_INLINE void InterleaveHalves(const Bytes32* x, Bytes32* out) {
    if constexpr (L == 0) {
        for (int s = 0; s < F; ++s) out[s] = x[s];
    } else {
        Bytes32 u[F];
        for (int m = 0; m < F / 2; ++m) {
            u[2 * m] = LowHalfLanes<1>(x[2 * m], x[2 * m + 1]);
            u[2 * m + 1] = HighHalfLanes<1>(x[2 * m], x[2 * m + 1]);
        }
        if constexpr (L == 1) {
            for (int k = 0; k < F; ++k) out[k] = u[k];
        } else {
            Bytes32 v[F];
            for (int m = 0; m < F / 4; ++m) {
                for (int h = 0; h < 4; ++h) {
                    const Bytes32 lo = u[4 * m + h / 2], hi = u[4 * m + 2 + h / 2];
                    v[4 * m + h] = h & 1 ? HighHalfLanes<2>(lo, hi) : LowHalfLanes<2>(lo, hi);
                }
            }
            if constexpr (L == 2) {
                for (int k = 0; k < F; ++k) out[k] = v[k];
            } else {
                for (int h = 0; h < 8; ++h) {
                    const Bytes32 lo = v[h / 2], hi = v[4 + h / 2];
                    out[h] = h & 1 ? HighHalfLanes<4>(lo, hi) : LowHalfLanes<4>(lo, hi);
                }
            }
        }
    }
}

template <int S, int F, int J, int K>
SCALE_AVX2_INLINE Bytes32 DrawnHalves(const Bytes32* sources) {
    constexpr const RowShuffles<S, F>& t = kRowShuffles<S, F>;
    if constexpr (!t.Uses[J][K]) {
        return Bytes32{};
    } else if constexpr (t.Whole[J][K]) {
        return sources[K];
    } else {
        const __m256i mask = _mm256_broadcastsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.Mask[J][K])));
        return (Bytes32)_mm256_shuffle_epi8((__m256i)sources[K], mask);
    }
}

template <int S, int F, int J, int... K>
SCALE_AVX2_INLINE Bytes32 WindowHalves(const Bytes32* sources, std::integer_sequence<int, K...>) {
    return (DrawnHalves<S, F, J, K>(sources) | ...);
}

template <int S, int F, int J>
SCALE_AVX2_INLINE void StoreLaterWindow(const Bytes32* sources, uint8_t* low, uint8_t* high) {
    if constexpr (J > 0)
        StoreHalves(low + 16 * J, high + 16 * J,
                    WindowHalves<S, F, J>(sources, std::make_integer_sequence<int, F>{}));
}

template <int S, int F, int... J>
SCALE_AVX2_INLINE void StoreWindowsHalves(const Bytes32* sources, uint8_t* low, uint8_t* high,
                                          std::integer_sequence<int, J...>) {
    // The high group's first window goes last: for colour pixels the low
    // group's last store reaches into it.
    const Bytes32 first = WindowHalves<S, F, 0>(sources, std::make_integer_sequence<int, F>{});
    _mm_storeu_si128(reinterpret_cast<__m128i*>(low), _mm256_castsi256_si128((__m256i)first));
    (StoreLaterWindow<S, F, J>(sources, low, high), ...);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(high),
                     _mm256_extracti128_si256((__m256i)first, 1));
}

// PlaceRow for two groups: the low one's row at out, the high one's right
// after it.
template <int S, int F>
SCALE_AVX2_INLINE void PlaceRowHalves(const Bytes32* x, uint8_t* out) {
    Bytes32 sources[F];
    InterleaveHalves<F, kLevel<S, F>>(x, sources);
    StoreWindowsHalves<S, F>(sources, out, out + kGroupOut<S, F>,
                             std::make_integer_sequence<int, kWindows<S, F>>{});
}

// ScaleRunsShuffled two groups at a time, as far as both groups of a pair
// qualify. Gives the first pixel not done.
template <int S, int F>
SCALE_AVX2 size_t ScaleRunsHalves(const uint8_t* A, const uint8_t* B, size_t pixels,
                                  uint8_t* const* row) {
    constexpr size_t group = S == 1 ? kRun : 5;
    size_t p = 0;
    for (; p + 2 * group + 1 < pixels; p += 2 * group) {
        const size_t x = S * p, y = S * (p + group);
        const Bytes32 a = LoadHalves(A + x, A + y), b = LoadHalves(A + x + S, A + y + S);
        const Bytes32 c = LoadHalves(B + x, B + y), d = LoadHalves(B + x + S, B + y + S);
        if constexpr (F == 8) {
            Bytes32 e[5][5];
            Grid8(a, b, c, d, false, e);
            for (int r = 0; r < 4; ++r) {
                Bytes32 top[8], bottom[8];
                CellRows8(e, r, top, bottom);
                PlaceRowHalves<S, F>(top, row[2 * r] + S * F * p);
                PlaceRowHalves<S, F>(bottom, row[2 * r + 1] + S * F * p);
            }
        } else {
            Bytes32 o[F * F];
            BlockOfHalves<F>(a, b, c, d, o);
            for (int r = 0; r < F; ++r) PlaceRowHalves<S, F>(o + r * F, row[r] + S * F * p);
        }
    }
    return p;
}

// The newest instructions of the processor that the runs use.
ScaleInstructions ProcessorInstructions() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return ScaleInstructions::Avx2;
    if (__builtin_cpu_supports("ssse3")) return ScaleInstructions::Ssse3;
    return ScaleInstructions::Baseline;
}

ScaleInstructions gInstructions = ProcessorInstructions();

#endif

// ---- One pair of lines ------------------------------------------------------

// Writes the F output rows (row r at rows + r * step) made from the upper
// line A and the lower line B, `pixels` pixels of S bytes each: outBytes of
// samples, then zeros up to rowBytes.
template <int S, int F>
void ScalePair(const uint8_t* A, const uint8_t* B, size_t pixels, uint8_t* rows, ptrdiff_t step,
               size_t outBytes, size_t rowBytes) {
    uint8_t* row[F];
    for (int r = 0; r < F; ++r) row[r] = rows + r * step;

    size_t p;
#if SCALE_SHUFFLE_RUNS
    if (gInstructions == ScaleInstructions::Avx2) {
        p = ScaleRunsHalves<S, F>(A, B, pixels, row);
        p = ScaleRunsShuffled<S, F>(A, B, pixels, row, p);
    } else if (gInstructions == ScaleInstructions::Ssse3 && (S == 3 || F == 6)) {
        p = ScaleRunsShuffled<S, F>(A, B, pixels, row, 0);
    } else
#endif
    {
        p = ScaleRuns<S, F>(A, B, pixels, row);
    }

    // The remaining pixels that have a right neighbour, one at a time.
    for (; p + 1 < pixels; ++p) {
        for (int k = 0; k < S; ++k) {
            const size_t x = S * p + k;
            int o[F * F];
            BlockOf<F>(A[x], A[x + S], B[x], B[x + S], p + 2 == pixels, o);
            for (int r = 0; r < F; ++r)
                for (int s = 0; s < F; ++s)
                    row[r][(F * p + s) * S + k] = static_cast<uint8_t>(o[r * F + s]);
        }
    }

    // The last pixel: its whole block is its own upper value.
    const uint8_t* last = A + S * (pixels - 1);
    for (int r = 0; r < F; ++r) {
        uint8_t* out = row[r] + S * F * (pixels - 1);
        for (int s = 0; s < F; ++s)
            for (int k = 0; k < S; ++k) out[S * s + k] = last[k];
        if (rowBytes > outBytes) std::memset(row[r] + outBytes, 0, rowBytes - outBytes);
    }
}

template <int S, int F>
void ScaleBlended(const uint8_t* source, size_t pixels, size_t lines, const uint8_t* carried,
                  uint8_t* destination, ptrdiff_t rowStep, size_t rowBytes) {
    const size_t inBytes = S * pixels;
    const size_t outBytes = inBytes * F;
    for (size_t j = 0; j < lines; ++j) {
        const uint8_t* upper = j == 0 ? carried : source + (j - 1) * inBytes;
        ScalePair<S, F>(upper, source + j * inBytes, pixels,
                        destination + static_cast<ptrdiff_t>(F * j) * rowStep, rowStep, outBytes,
                        rowBytes);
    }
}

// ---- 1-bit lines ------------------------------------------------------------

// For every input byte, its 8 bits each repeated F times: F output bytes,
// the leftmost pixel still in the top bit of the first byte.
template <int F>
struct BitSpread {
    uint8_t Out[256][8];
};

template <int F>
constexpr BitSpread<F> MakeBitSpread() {
    BitSpread<F> t{};
    for (int v = 0; v < 256; ++v) {
        for (int q = 0; q < 8 * F; ++q) {
            if ((v >> (7 - q / F)) & 1) t.Out[v][q / 8] |= static_cast<uint8_t>(0x80 >> (q % 8));
        }
    }
    return t;
}

template <int F>
constexpr BitSpread<F> kBitSpread = MakeBitSpread<F>();

#if SCALE_SHUFFLE_RUNS

// SpreadBitsRun<2> with a table of the 16 doubled nibbles (pshufb).
SCALE_SSSE3_INLINE void DoubleBitsRunShuffled(const uint8_t* in, uint8_t* out, ptrdiff_t step) {
    const __m128i doubled = _mm_setr_epi8(0x00, 0x03, 0x0C, 0x0F, 0x30, 0x33, 0x3C, 0x3F,
                                          static_cast<char>(0xC0), static_cast<char>(0xC3),
                                          static_cast<char>(0xCC), static_cast<char>(0xCF),
                                          static_cast<char>(0xF0), static_cast<char>(0xF3),
                                          static_cast<char>(0xFC), static_cast<char>(0xFF));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i left = _mm_shuffle_epi8(doubled, _mm_and_si128(_mm_srli_epi16(x, 4), nibble));
    const __m128i right = _mm_shuffle_epi8(doubled, _mm_and_si128(x, nibble));
    const __m128i o0 = _mm_unpacklo_epi8(left, right), o1 = _mm_unpackhi_epi8(left, right);
    for (int r = 0; r < 2; ++r) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + r * step), o0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + r * step + 16), o1);
    }
}

// The whole line (at least 16 bytes) into both rows, the last run ending at
// the line's end.
SCALE_SSSE3 void DoubleBitsShuffled(const uint8_t* in, size_t inBytes, uint8_t* first,
                                    ptrdiff_t step) {
    size_t i = 0;
    for (; i + kRun <= inBytes; i += kRun) DoubleBitsRunShuffled(in + i, first + 2 * i, step);
    if (i < inBytes) DoubleBitsRunShuffled(in + inBytes - kRun, first + 2 * (inBytes - kRun), step);
}

#endif

template <int F>
void ScaleBits(const uint8_t* source, size_t inBytes, size_t lines, uint8_t* destination,
               ptrdiff_t rowStep, size_t rowBytes) {
    const size_t outBytes = inBytes * F;
    for (size_t j = 0; j < lines; ++j) {
        const uint8_t* in = source + j * inBytes;
        uint8_t* first = destination + static_cast<ptrdiff_t>(F * j) * rowStep;
        size_t i = 0;
#if SCALE_VECTOR_RUNS
        // For F = 2 and 4 the runs write every row at once; the rest of the
        // line is made in the first row and copied to the others.
        if constexpr (F == 2 || F == 4) {
#if SCALE_SHUFFLE_RUNS
            if (F == 2 && inBytes >= kRun && gInstructions >= ScaleInstructions::Ssse3) {
                DoubleBitsShuffled(in, inBytes, first, rowStep);
                i = inBytes;
            }
#endif
            if (i == 0 && inBytes >= kRun) {
                for (; i + kRun <= inBytes; i += kRun)
                    SpreadBitsRun<F>(in + i, first + F * i, rowStep);
                // The last bytes as one more run ending at the line's end;
                // it writes again what the run before it wrote.
                if (i < inBytes) {
                    i = inBytes - kRun;
                    SpreadBitsRun<F>(in + i, first + F * i, rowStep);
                    i = inBytes;
                }
            }
        }
#endif
        const size_t copied = F * i;
        for (; i < inBytes; ++i) std::memcpy(first + F * i, kBitSpread<F>.Out[in[i]], F);
        if (rowBytes > outBytes) std::memset(first + outBytes, 0, rowBytes - outBytes);
        for (int r = 1; r < F; ++r)
            std::memcpy(first + r * rowStep + copied, first + copied, rowBytes - copied);
    }
}

template <int F>
void ScaleKind(PixelKind kind, const uint8_t* source, size_t pixels, size_t lines,
               const uint8_t* carried, uint8_t* destination, ptrdiff_t rowStep, size_t rowBytes) {
    switch (kind) {
    case PixelKind::Bit:
        ScaleBits<F>(source, ScaleInputLineBytes(kind, pixels), lines, destination, rowStep,
                     rowBytes);
        break;
    case PixelKind::Byte:
        ScaleBlended<1, F>(source, pixels, lines, carried, destination, rowStep, rowBytes);
        break;
    case PixelKind::Rgb:
        ScaleBlended<3, F>(source, pixels, lines, carried, destination, rowStep, rowBytes);
        break;
    }
}

}  // namespace

size_t ScaleLines(PixelKind kind, int factor, const uint8_t* source, size_t pixels, size_t lines,
                  uint8_t* destination, ptrdiff_t rowStep, size_t rowBytes, CarriedLine& carry) {
    if (!IsInterpolationFactor(factor) || pixels == 0 || lines == 0) return 0;
    if (kind != PixelKind::Bit && kind != PixelKind::Byte && kind != PixelKind::Rgb) return 0;
    const size_t inBytes = ScaleInputLineBytes(kind, pixels);
    if (rowBytes < inBytes * static_cast<size_t>(factor)) return 0;

    const uint8_t* carried = nullptr;
    if (kind != PixelKind::Bit) {
        // First chunk of a pass (or a new line length): the first line is
        // its own upper neighbour.
        if (!carry.Held || carry.Line.size() != inBytes) {
            carry.Line.assign(source, source + inBytes);
            carry.Held = true;
        }
        carried = carry.Line.data();
    }

    switch (factor) {
    case 2: ScaleKind<2>(kind, source, pixels, lines, carried, destination, rowStep, rowBytes); break;
    case 4: ScaleKind<4>(kind, source, pixels, lines, carried, destination, rowStep, rowBytes); break;
    case 6: ScaleKind<6>(kind, source, pixels, lines, carried, destination, rowStep, rowBytes); break;
    case 8: ScaleKind<8>(kind, source, pixels, lines, carried, destination, rowStep, rowBytes); break;
    }

    if (kind != PixelKind::Bit)
        std::memcpy(carry.Line.data(), source + (lines - 1) * inBytes, inBytes);
    return lines * static_cast<size_t>(factor);
}

ScaleInstructions ScaleWithInstructions(ScaleInstructions newest) {
#if SCALE_SHUFFLE_RUNS
    const ScaleInstructions processor = ProcessorInstructions();
    gInstructions = newest < processor ? newest : processor;
    return gInstructions;
#else
    (void)newest;
    return ScaleInstructions::Baseline;
#endif
}
