// Resolution scaling: above the scanner's optical ceiling the image is
// scanned at a lower resolution and multiplied here by the
// `InterpolationFactor` F (2, 4, 6 or 8) in both directions.
//
// The routine runs over whole chunks of lines and carries the last line of
// each chunk over to the next call, so a pass is scaled piece by piece:
//
//   CarriedLine carry;                     one per channel, kept by the caller
//   ResetCarriedLine(carry);               at the start of every pass
//   for each chunk of `lines` input lines:
//       ScaleLines(kind, F, chunk, pixels, lines, out, rowStep, rowBytes, carry);
//       -> lines * F output rows at out, out + rowStep, ...
//
// Input line j of a call yields output rows F*j to F*j + F - 1. For bytes
// and colour pixels they are blended from an upper line A (the line before
// j, or the carried line for j = 0) and a lower line B (line j); at the
// start of a pass the carried line is the first input line itself, so the
// first F output rows repeat the first scanned line. 1-bit lines are not
// blended: every bit is repeated F times along the line and the F rows of
// input line j are all copies of line j.
//
// Pure computation: no Windows header.
#pragma once

#include "ds/acquire/pixel_kind.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The factors the routine knows.
constexpr bool IsInterpolationFactor(int factor) {
    return factor == 2 || factor == 4 || factor == 6 || factor == 8;
}

// Bytes of one input line of `pixels` pixels: (pixels + 7) / 8 for 1-bit
// lines, pixels for one component, 3 * pixels for colour pixels.
constexpr size_t ScaleInputLineBytes(PixelKind kind, size_t pixels) {
    switch (kind) {
    case PixelKind::Bit: return (pixels + 7) / 8;
    case PixelKind::Byte: return pixels;
    case PixelKind::Rgb: return 3 * pixels;
    }
    return 0;
}

// Bytes of one output row: the input line's bytes times the factor.
constexpr size_t ScaleOutputLineBytes(PixelKind kind, size_t pixels, int factor) {
    return ScaleInputLineBytes(kind, pixels) * static_cast<size_t>(factor);
}

// Input lines one call may take so that its rows (F per input line, each
// `rowBytes` apart) fit `capacity` bytes of destination.
constexpr size_t ScaleInputLinesThatFit(size_t capacity, size_t rowBytes, int factor) {
    if (rowBytes == 0 || !IsInterpolationFactor(factor)) return 0;
    return capacity / rowBytes / static_cast<size_t>(factor);
}

// Bytes of the output buffer a caller scales chunks into, for a transfer
// buffer of `transferBufferBytes` and output rows of `outputRowBytes`: the
// transfer buffer times the factor (twice the transfer buffer, times
// `DpiScale` for the factors 4, 6 and 8), but never less than the F rows of
// one input line, so that a line wider than the transfer buffer still
// makes progress.
constexpr size_t InterpolationBufferBytes(size_t transferBufferBytes, size_t outputRowBytes,
                                          int factor) {
    const size_t f = static_cast<size_t>(factor);
    const size_t usual = transferBufferBytes * f, oneLine = outputRowBytes * f;
    return usual > oneLine ? usual : oneLine;
}

// The last input line of the previous chunk of one channel (grey, or one
// colour component; colour rows of kind Rgb are one channel of their own).
// Its memory is taken once, at the first chunk of a pass or when the line
// length changes, and reused for the rest of the pass.
struct CarriedLine {
    std::vector<uint8_t> Line;  // the carried bytes: one input line
    bool Held = false;          // Line holds the last line of this pass's previous chunk
};

// Forgets the previous chunk: the next call starts a pass (its first line
// becomes the carried line). The memory is kept.
inline void ResetCarriedLine(CarriedLine& carry) { carry.Held = false; }

// Frees the carried line's memory (clean-up of the job).
inline void FreeCarriedLine(CarriedLine& carry) {
    carry.Held = false;
    std::vector<uint8_t>().swap(carry.Line);
}

// One carried line for the grey channel and one for each colour component.
struct ScaleChannels {
    CarriedLine Grey;
    CarriedLine Component[3];  // red, green, blue
};

inline void ResetScaleChannels(ScaleChannels& channels) {
    ResetCarriedLine(channels.Grey);
    for (CarriedLine& c : channels.Component) ResetCarriedLine(c);
}

inline void FreeScaleChannels(ScaleChannels& channels) {
    FreeCarriedLine(channels.Grey);
    for (CarriedLine& c : channels.Component) FreeCarriedLine(c);
}

// Scales `lines` input lines of `pixels` pixels of `kind`, stored one after
// another at `source` (ScaleInputLineBytes each), into lines * factor rows:
// row k is written at destination + k * rowStep (a negative step fills rows
// bottom-up), ScaleOutputLineBytes bytes of image followed by zero bytes up
// to `rowBytes`. `carry` is the channel's carried line; it is not used for
// 1-bit lines. Source and destination must not overlap.
//
// Gives the number of rows written: 0 (nothing written, the carried line
// untouched) for a factor other than 2, 4, 6, 8, no pixels, no lines, or
// rowBytes smaller than an output row.
size_t ScaleLines(PixelKind kind, int factor, const uint8_t* source, size_t pixels, size_t lines,
                  uint8_t* destination, ptrdiff_t rowStep, size_t rowBytes, CarriedLine& carry);

// The instructions ScaleLines may use beyond the baseline (SSE2 on x86-64):
// byte shuffles (SSSE3), and 32-byte vectors (AVX2). By default it uses the
// newest the processor has. Every choice gives the same bytes; tests compare
// them. Takes the newest allowed, gives the newest now in use (never more
// than the processor has).
enum class ScaleInstructions { Baseline, Ssse3, Avx2 };
ScaleInstructions ScaleWithInstructions(ScaleInstructions newest);

// The same with rows packed one after another, each ScaleOutputLineBytes long.
inline size_t ScaleLines(PixelKind kind, int factor, const uint8_t* source, size_t pixels,
                         size_t lines, uint8_t* destination, CarriedLine& carry) {
    const size_t rowBytes = ScaleOutputLineBytes(kind, pixels, factor);
    return ScaleLines(kind, factor, source, pixels, lines, destination,
                      static_cast<ptrdiff_t>(rowBytes), rowBytes, carry);
}
