// Line assembly: turns the raw lines of one scanner pass into image rows.
// Tone curves, inversion, feeder mirroring, the interleave of the colour
// passes into pixels, row padding and row order.
//
// Everything per pass is settled once: the geometry from the Scan status
// reply, the curves that apply, and one 256-entry byte table that folds the
// curves, the inversion and (for 1-bit lines) the bit reversal of the mirror
// together in the order of the delivery path. The chunk functions then run
// over whole chunks of lines with one table look-up (or a plain copy) per
// byte and no allocation.
//
// Per pass the caller does:
//   geometry  = GeometryFromScanStatus(mode, reply)      (refused: Start fails)
//   transform = PassTransform(kind, delivery, options, curves, PassIndex, ToneTables)
// and per chunk of the `TransferBuffer`, by delivery:
//   native bitmap        AssembleNativeChunk(transform, geometry, PassIndex, rows, firstLine, raw, n)
//   memory planes, files ConvertLines(transform, raw, PassLineBytes, n, out, rowStep, rowBytes)
// Colour rows from converted component lines (pass files):
//   memory strips        InterleaveRgb(red, green, blue, pixels, n, rows, rowBytes)
//   file merge           InterleaveRows(components in pixel order, pixels, n, row, rowStep, rowBytes)
//
// Pure computation: no Windows header.
#pragma once

#include "common/driver_request.h"
#include "ds/acquire/pixel_kind.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// ---- Pass geometry ---------------------------------------------------------

struct PassGeometry {
    uint32_t LineCount = 0;        // lines of the pass
    uint32_t PassLineBytes = 0;    // bytes of one raw line of the pass
    uint32_t LineBytes = 0;        // bytes of one image row: three passes side by side for Color
    uint32_t PixelsPerLine = 0;    // eight per byte for 1-bit lines
    uint32_t PaddedLineBytes = 0;  // LineBytes rounded up to a multiple of 4

    bool operator==(const PassGeometry&) const = default;
};

// Geometry of the pass just started, from the Scan status reply that follows
// the Start. Nothing (the Start fails) for a reply without lines, a line
// without bytes, or a mode code other than 1011 to 1014.
std::optional<PassGeometry> GeometryFromScanStatus(uint16_t scanMode,
                                                   const ScanStatusRequest& reply);

// ---- Tone curves -----------------------------------------------------------

using ToneCurve = std::array<uint8_t, 256>;

// Curves inside the `ToneTables` block (kToneStoreSize bytes).
constexpr size_t kGammaCurveBlue = 0x400;
constexpr size_t kGammaCurveGreen = 0x500;
constexpr size_t kGammaCurveRed = 0x600;
constexpr size_t kGammaCurveGrey = 0x700;
constexpr size_t kLevelCurveBlue = 0x800;
constexpr size_t kLevelCurveGreen = 0x900;
constexpr size_t kLevelCurveRed = 0xA00;
constexpr size_t kLevelCurveGrey = 0xB00;

// `GammaChannel`: which passes the gamma curves serve.
constexpr uint16_t kGammaChannelEach = 2007;   // every pass its own component
constexpr uint16_t kGammaChannelRed = 2008;    // red pass only
constexpr uint16_t kGammaChannelGreen = 2009;  // green pass only
constexpr uint16_t kGammaChannelBlue = 2010;   // blue pass only
constexpr uint16_t kGammaChannelGrey = 2011;   // grey curve on every pass
// `LevelChannel`: the same for the level curves.
constexpr uint16_t kLevelChannelEach = 7014;
constexpr uint16_t kLevelChannelRed = 7015;
constexpr uint16_t kLevelChannelGreen = 7016;
constexpr uint16_t kLevelChannelBlue = 7017;
constexpr uint16_t kLevelChannelGrey = 7018;

// Where the converted lines go. The curves chosen for one-pass scans and the
// order of the steps depend on it.
enum class Delivery : uint8_t {
    Native,        // one device-independent bitmap
    MemoryPlanes,  // memory strips, `ChunkyPixels` clear: lines go straight to the host
    MemoryChunky,  // memory strips, `ChunkyPixels` set: lines go through the pass files
    File,          // file transfer: lines go to the transfer file or the pass files
};

struct CurveSettings {
    uint16_t GammaChannel = 0;   // 2007 to 2011
    uint16_t LevelChannel = 0;   // 7014 to 7018
    uint16_t Gamma = 0;          // `Gamma` word of the prepared block; 39 = gamma curves on
    bool LevelsApplied = false;  // level curves on
};

// Offsets into `ToneTables` of the level and gamma curve of one pass.
struct CurveChoice {
    std::optional<size_t> Level;
    std::optional<size_t> Gamma;

    bool operator==(const CurveChoice&) const = default;
};

// The curves of one pass. `passIndex` is -1 for the single pass of
// LineArt, Halftone and Gray, and 0, 1, 2 for the red, green and blue
// passes of Color.
//  - One pass, native bitmap or memory planes: the grey level curve only
//    under code 7018, the grey gamma curve only under 2011.
//  - One pass through the pass files (files, chunky memory strips): the grey
//    level curve whenever levels are applied, the grey gamma curve whenever
//    `Gamma` is 39.
//  - Colour pass, every delivery: code "each" gives the pass's own
//    component, a named component only that pass, "grey" the grey curve.
// In every case a level curve needs `LevelsApplied` and a gamma curve needs
// `Gamma` 39; an unknown code chooses nothing.
CurveChoice ChooseCurves(const CurveSettings& settings, Delivery delivery, int passIndex);

// The chosen curves as one table: level curve first, then gamma curve.
// Identity when neither applies. `toneTables` is the kToneStoreSize-byte
// block; it is not read when nothing is chosen and may then be null.
ToneCurve CombineCurves(const uint8_t* toneTables, const CurveChoice& choice);

// With `Gamma` 39 the scanner itself takes each pass through the curve it is
// sent (the grey curve for a one-pass scan, the pass's own component in
// Color), so a gamma curve chosen above that is the same one is left out:
// applying it here as well would apply the user's curve twice.
CurveChoice WithoutScannerGamma(CurveChoice choice, int passIndex);

constexpr ToneCurve IdentityCurve() {
    ToneCurve c{};
    for (size_t i = 0; i < c.size(); ++i) c[i] = static_cast<uint8_t>(i);
    return c;
}

// ---- Single steps on one finished line ----------------------------------

// Every byte b becomes curve[b].
void ApplyCurve(std::span<uint8_t> line, const ToneCurve& curve);
// Every byte b becomes 255 - b.
void InvertLine(std::span<uint8_t> line);
// Reverses the pixel order. Bit: the bytes and the bits of every byte;
// Byte: the bytes; Rgb: the 3-byte pixels, each pixel's bytes kept in order
// (a trailing partial pixel stays where it is).
void MirrorLine(std::span<uint8_t> line, PixelKind kind);

// ---- Conversion of the raw lines of a pass --------------------------------

// The instructions the conversion, placing and interleaving loops may use
// beyond the baseline: byte shuffles (SSSE3), 32-byte vectors (AVX2) and
// 64-byte byte permutes (AVX-512 VBMI). By default they use the newest the
// processor has. Every choice gives the same bytes; tests compare them.
// Takes the newest allowed, gives the newest now in use (never more than the
// processor has).
enum class AssemblyInstructions { Baseline, Ssse3, Avx2, Avx512Vbmi };
AssemblyInstructions AssembleWithInstructions(AssemblyInstructions newest);

struct LineOptions {
    bool Invert = false;  // `IsInvert`
    bool Mirror = false;  // `FeederSelected`
};

// What converting one raw line does, settled once per pass.
struct LineTransform {
    // Copy and Invert need no table look-up. Nibbles is a look-up whose table
    // is the XOR of a table of the high four bits and one of the low four
    // bits, Table[b] == Table[b & 0xF0] ^ Table[b & 0x0F] ^ Table[0] for
    // every b (the bit reversal of mirrored 1-bit lines, inverted or not):
    // two 16-entry look-ups per byte serve it. Lookup is any other table.
    enum class Operation : uint8_t { Copy, Invert, Lookup, Nibbles };
    Operation Op = Operation::Copy;
    bool Reverse = false;            // the byte order is reversed (mirror)
    ToneCurve Table = IdentityCurve();  // output byte for each raw byte

    bool operator==(const LineTransform&) const = default;
};

// Folds the steps of one raw line of kind Bit or Byte into a transform:
//  - native bitmap: `curves` on the raw byte, then inversion, then mirror;
//  - memory strips and files: inversion, then mirror, then `curves`.
// The two orders differ for inversion with a curve (the native bitmap
// inverts the curve's result, the others feed the curve the inverted byte)
// and, for 1-bit lines, for mirror with a curve (bits reversed after or
// before the curve).
LineTransform MakeLineTransform(PixelKind passKind, Delivery delivery, const LineOptions& options,
                                const ToneCurve& curves);

// ChooseCurves, WithoutScannerGamma, CombineCurves and MakeLineTransform in one: the transform of
// one pass.
LineTransform PassTransform(PixelKind passKind, Delivery delivery, const LineOptions& options,
                            const CurveSettings& settings, int passIndex,
                            const uint8_t* toneTables);

// Converts `lines` raw lines of `lineBytes` bytes each, stored one after
// another at `raw`, into rows: line k goes to firstRow + k * rowStep (a
// negative step fills rows bottom-up); bytes lineBytes to rowBytes - 1 of
// each row are padding and set to zero.
void ConvertLines(const LineTransform& transform, const uint8_t* raw, size_t lineBytes,
                  size_t lines, uint8_t* firstRow, ptrdiff_t rowStep, size_t rowBytes);

// Converts `lines` raw lines of one colour component (`pixels` bytes each)
// into byte `byteInPixel` (0 to 2) of the 3-byte pixels of rows placed as in
// ConvertLines; bytes 3 * pixels to rowBytes - 1 of each row are set to
// zero, the other components are left as they are.
void ConvertComponentLines(const LineTransform& transform, const uint8_t* raw, size_t pixels,
                           size_t lines, uint8_t* firstRow, ptrdiff_t rowStep,
                           size_t byteInPixel, size_t rowBytes);

// ---- Colour pixels ---------------------------------------------------------

// Byte order of a 3-byte pixel: red, green, blue (memory strips, TIFF) or
// blue, green, red (native bitmap, BMP).
enum class PixelOrder : uint8_t { Rgb, Bgr };

// Byte of a pixel that holds component c (0 red, 1 green, 2 blue).
constexpr size_t ComponentByte(PixelOrder order, size_t component) {
    return order == PixelOrder::Rgb ? component : 2 - component;
}

// Copies already converted lines of one component (`pixels` bytes each, one
// after another) into byte `byteInPixel` of the pixels of rows placed as in
// ConvertLines, zeroing the padding after 3 * pixels bytes up to rowBytes.
// The colour merge of file transfers calls it once per component.
void PlaceComponent(const uint8_t* component, size_t pixels, size_t lines, uint8_t* firstRow,
                    ptrdiff_t rowStep, size_t byteInPixel, size_t rowBytes);

// Builds rows of 3-byte pixels from the converted lines of three components
// (`pixels` bytes each, one after another), given in the byte order of the
// pixel: `first` becomes byte 0 of every pixel. Rows are placed as in
// ConvertLines, with zero bytes from 3 * pixels up to rowBytes. The colour
// merge of file transfers builds its rows with it in one sweep.
void InterleaveRows(const uint8_t* first, const uint8_t* second, const uint8_t* third,
                    size_t pixels, size_t lines, uint8_t* firstRow, ptrdiff_t rowStep,
                    size_t rowBytes);

// Builds top-down rows of red, green, blue pixels from the converted lines
// of the three components (`pixels` bytes each, one after another), rows
// `rowBytes` apart (at least 3 * pixels; the rest is set to zero).
void InterleaveRgb(const uint8_t* red, const uint8_t* green, const uint8_t* blue, size_t pixels,
                   size_t lines, uint8_t* rows, size_t rowBytes);

// ---- Native bitmap ---------------------------------------------------------

// Address of the row of scanned line `line` (0 = first scanned) in the rows
// of a bottom-up bitmap of `lineCount` rows: the first scanned line is the
// last row in memory.
inline uint8_t* NativeRow(uint8_t* rows, size_t paddedLineBytes, size_t lineCount, size_t line) {
    return rows + (lineCount - 1 - line) * paddedLineBytes;
}

// Places the raw lines firstLine to firstLine + lines - 1 of a pass into the
// rows of the native bitmap (`rows`: LineCount rows of PaddedLineBytes,
// bottom-up). One-pass modes fill the rows and zero the padding; a colour
// pass (passIndex 0, 1, 2 for red, green, blue) fills byte 2 - passIndex of
// every blue, green, red pixel. Lines beyond the pass's LineCount are not
// placed. Gives the number of lines placed.
size_t AssembleNativeChunk(const LineTransform& transform, const PassGeometry& geometry,
                           int passIndex, uint8_t* rows, size_t firstLine, const uint8_t* raw,
                           size_t lines);
