// Byte layouts of the files the acquisition engine writes: the transfer file
// in TIFF or BMP, the temporary pass files of a colour or memory scan and
// the interpolation file. Everything here fills byte buffers; the Windows
// side creates the files and writes the buffers at the offsets given here.
//
// All files are little-endian and uncompressed, one strip of rows after a
// fixed header:
//  - TIFF: "II", 42, directory at 8 with 9 entries, no next directory; the
//    values that do not fit an entry from offset 124; rows top-down and
//    unpadded from 140 (1-bit and grey) or 146 (colour, red green blue).
//  - BMP: 14-byte file header, 40-byte bitmap header and colour table as in
//    the native bitmap; rows bottom-up, each padded to a multiple of 4 bytes,
//    colour pixels blue green red. The first image row is the last row of
//    the file, so chunks of rows are placed from the end towards the header.
//
// Writing an image chunk by chunk:
//   layout = MakeImageFileLayout(format, kind, width, lines, resolution)
//   header: WriteImageFileHeader(layout, buffer), written at offset 0; for
//           BMP the file is then extended to layout.FileBytes
//   chunk of `n` top-down rows starting at image row `first`:
//           PlaceImageRows(layout, rows, n, buffer)   (n * layout.RowBytes bytes)
//           written at ImageFileChunkOffset(layout, first, n)
//
// Pure computation: no Windows header.
#pragma once

#include "ds/acquire/pixel_kind.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The formats a transfer file can have, by their TWAIN numbers.
enum class ImageFileFormat : uint16_t {
    Tiff = 0,
    Bmp = 2,
};

// Nothing for a format that is not written (every number but 0 and 2): the
// file is not created.
std::optional<ImageFileFormat> ImageFileFormatFromTwain(uint16_t format);

// Byte order of colour pixels in a file of this format: red, green, blue in
// TIFF files; blue, green, red in BMP files.
constexpr bool FileStoresBlueFirst(ImageFileFormat format) { return format == ImageFileFormat::Bmp; }

constexpr uint16_t kTiffEntryCount = 9;
constexpr uint32_t kTiffExtraValues = 124;      // values that do not fit in an entry
constexpr uint32_t kTiffOneSampleRows = 140;    // first row of 1-bit and grey files
constexpr uint32_t kTiffRgbRows = 146;          // first row of colour files
constexpr uint32_t kPassFileHeaderBytes = 140;  // every pass file
constexpr uint32_t kBmpFileHeaderBytes = 14;
constexpr uint32_t kBmpInfoHeaderBytes = 40;

// Bits per pixel of a kind: 1, 8 or 24.
constexpr uint16_t BitsPerPixel(PixelKind kind) {
    return kind == PixelKind::Bit ? 1 : kind == PixelKind::Byte ? 8 : 24;
}

// Everything about one file that the writers and the file offsets need.
struct ImageFileLayout {
    ImageFileFormat Format = ImageFileFormat::Tiff;
    PixelKind Kind = PixelKind::Byte;
    uint32_t Width = 0;        // pixels per row
    uint32_t Lines = 0;        // rows
    uint32_t Resolution = 0;   // dots per inch, both directions (TIFF)
    uint32_t LineBytes = 0;    // bytes of one row of image data, unpadded
    uint32_t RowBytes = 0;     // bytes of one row in the file: LineBytes, padded to 4 in BMP
    uint32_t HeaderBytes = 0;  // offset of the row area
    uint32_t FileBytes = 0;    // the whole file

    bool operator==(const ImageFileLayout&) const = default;
};

// The layout of a file of `lines` rows of `width` pixels. 1-bit rows take
// (width + 7) / 8 bytes. Nothing for an empty image or one whose file would
// not fit the formats' 32-bit sizes and offsets (or BMP's signed width and
// height).
std::optional<ImageFileLayout> MakeImageFileLayout(ImageFileFormat format, PixelKind kind,
                                                   uint32_t width, uint32_t lines,
                                                   uint32_t resolution);

// Writes the header of the file, layout.HeaderBytes bytes: the TIFF header
// with its directory and values, or the BMP file header, bitmap header and
// colour table. Gives the number of bytes written.
size_t WriteImageFileHeader(const ImageFileLayout& layout, uint8_t* out);

// File offset of image row `row` (0 = the first, top row).
uint32_t ImageFileRowOffset(const ImageFileLayout& layout, uint32_t row);

// File offset at which a chunk of `rows` rows beginning with image row
// `firstRow` starts: the first row's offset in TIFF, the offset of the
// chunk's last row in BMP, whose chunks are placed from the end.
uint32_t ImageFileChunkOffset(const ImageFileLayout& layout, uint32_t firstRow, uint32_t rows);

// Lays out `rows` top-down rows of layout.LineBytes bytes each, one after
// another at `source`, as they stand in the file from their chunk offset:
// unchanged for TIFF; for BMP in reverse order, each followed by zero bytes
// up to RowBytes. Gives the bytes written, rows * RowBytes.
size_t PlaceImageRows(const ImageFileLayout& layout, const uint8_t* source, size_t rows,
                      uint8_t* out);

// ---- Temporary files ----------------------------------------------------------

// The 140-byte header every pass file begins with: the grey TIFF header for
// one component of `passLineBytes` pixels, or, for 1-bit passes, the
// bilevel header with passLineBytes * 8 pixels; `lineCount` lines. Gives the
// bytes written (140), or 0 for colour pixels or a pass without lines.
size_t WritePassFileHeader(uint8_t* out, PixelKind passKind, uint32_t passLineBytes,
                           uint32_t lineCount, uint32_t resolution);

// The interpolation file holds the merged colour rows of the scanned image
// (`pixels` by `lineCount`) until the last component is merged and scaled.
// For TIFF transfers it begins with a colour TIFF header describing those
// rows; for BMP transfers it has no header. Gives the bytes written: 146 or 0.
size_t WriteInterpolationFileHeader(uint8_t* out, ImageFileFormat transferFormat, uint32_t pixels,
                                    uint32_t lineCount, uint32_t resolution);

// Offset of the first row in the interpolation file.
constexpr uint32_t InterpolationFileRows(ImageFileFormat transferFormat) {
    return transferFormat == ImageFileFormat::Tiff ? kTiffRgbRows : 0;
}

// Folder of a file name: everything before its last backslash (or slash);
// empty when there is none.
std::string_view FileFolder(std::string_view path);

// Name of the pass file of `component` (0 red, 1 green, 2 blue) in the
// folder of `workingFileName`: "\tQk" + (minute * 256 + second) in
// lower-case hexadecimal + ".R", ".G" or ".B". Empty for another component.
std::string PassFilePath(std::string_view workingFileName, unsigned minute, unsigned second,
                         int component);

// "\Interp.Tmp" in the folder of `workingFileName`.
std::string InterpolationFilePath(std::string_view workingFileName);
