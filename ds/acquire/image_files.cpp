#include "ds/acquire/image_files.h"

#include "ds/acquire/dib.h"

#include <cstdio>
#include <cstring>

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// TIFF field types.
constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kRational = 5;

// One 12-byte directory entry. A SHORT value sits in the first two bytes of
// the value field; the other two stay zero.
void PutEntry(uint8_t* p, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    Put16(p, tag);
    Put16(p + 2, type);
    Put32(p + 4, count);
    if (type == kShort && count == 1) {
        Put16(p + 8, static_cast<uint16_t>(value));
        Put16(p + 10, 0);
    } else {
        Put32(p + 8, value);
    }
}

size_t WriteTiffHeader(const ImageFileLayout& l, uint8_t* out) {
    const bool rgb = l.Kind == PixelKind::Rgb;
    const uint32_t xResolution = rgb ? 130 : kTiffExtraValues;
    const uint32_t yResolution = xResolution + 8;
    std::memset(out, 0, l.HeaderBytes);
    out[0] = 'I';
    out[1] = 'I';
    Put16(out + 2, 42);
    Put32(out + 4, 8);
    Put16(out + 8, kTiffEntryCount);
    uint8_t* e = out + 10;
    PutEntry(e + 0, 256, kLong, 1, l.Width);                                   // ImageWidth
    PutEntry(e + 12, 257, kLong, 1, l.Lines);                                  // ImageLength
    if (rgb)
        PutEntry(e + 24, 258, kShort, 3, kTiffExtraValues);                    // BitsPerSample
    else
        PutEntry(e + 24, 258, kShort, 1, BitsPerPixel(l.Kind));
    PutEntry(e + 36, 262, kShort, 1, rgb ? 2 : 1);                             // Photometric
    PutEntry(e + 48, 273, kLong, 1, l.HeaderBytes);                            // StripOffsets
    PutEntry(e + 60, 277, kShort, 1, rgb ? 3 : 1);                             // SamplesPerPixel
    PutEntry(e + 72, 279, kLong, 1, l.LineBytes * l.Lines);                    // StripByteCounts
    PutEntry(e + 84, 282, kRational, 1, xResolution);                          // XResolution
    PutEntry(e + 96, 283, kRational, 1, yResolution);                          // YResolution
    // 118: no next directory; 122: two zero bytes.
    if (rgb) {
        Put16(out + 124, 8);
        Put16(out + 126, 8);
        Put16(out + 128, 8);
    }
    Put32(out + xResolution, l.Resolution);
    Put32(out + xResolution + 4, 1);
    Put32(out + yResolution, l.Resolution);
    Put32(out + yResolution + 4, 1);
    return l.HeaderBytes;
}

size_t WriteBmpHeader(const ImageFileLayout& l, uint8_t* out) {
    out[0] = 'B';
    out[1] = 'M';
    Put32(out + 2, l.FileBytes);
    Put16(out + 6, 0);
    Put16(out + 8, 0);
    Put32(out + 10, l.HeaderBytes);
    WriteDibHeader(out + kBmpFileHeaderBytes, static_cast<int32_t>(l.Width),
                   static_cast<int32_t>(l.Lines), BitsPerPixel(l.Kind));
    return l.HeaderBytes;
}

}  // namespace

std::optional<ImageFileFormat> ImageFileFormatFromTwain(uint16_t format) {
    switch (format) {
    case 0: return ImageFileFormat::Tiff;
    case 2: return ImageFileFormat::Bmp;
    default: return std::nullopt;
    }
}

std::optional<ImageFileLayout> MakeImageFileLayout(ImageFileFormat format, PixelKind kind,
                                                   uint32_t width, uint32_t lines,
                                                   uint32_t resolution) {
    if (width == 0 || lines == 0) return std::nullopt;
    if (format != ImageFileFormat::Tiff && format != ImageFileFormat::Bmp) return std::nullopt;
    uint64_t lineBytes;
    switch (kind) {
    case PixelKind::Bit: lineBytes = (uint64_t{width} + 7) / 8; break;
    case PixelKind::Byte: lineBytes = width; break;
    case PixelKind::Rgb: lineBytes = 3ull * width; break;
    default: return std::nullopt;
    }
    uint64_t rowBytes = lineBytes;
    uint64_t header;
    if (format == ImageFileFormat::Tiff) {
        header = kind == PixelKind::Rgb ? kTiffRgbRows : kTiffOneSampleRows;
    } else {
        if (width > 0x7FFFFFFFu || lines > 0x7FFFFFFFu) return std::nullopt;
        rowBytes = (lineBytes + 3) & ~uint64_t{3};
        header = kBmpFileHeaderBytes + kBmpInfoHeaderBytes + 4ull * DibColours(BitsPerPixel(kind));
    }
    const uint64_t fileBytes = header + rowBytes * lines;
    if (fileBytes > 0xFFFFFFFFull) return std::nullopt;

    ImageFileLayout l;
    l.Format = format;
    l.Kind = kind;
    l.Width = width;
    l.Lines = lines;
    l.Resolution = resolution;
    l.LineBytes = static_cast<uint32_t>(lineBytes);
    l.RowBytes = static_cast<uint32_t>(rowBytes);
    l.HeaderBytes = static_cast<uint32_t>(header);
    l.FileBytes = static_cast<uint32_t>(fileBytes);
    return l;
}

size_t WriteImageFileHeader(const ImageFileLayout& layout, uint8_t* out) {
    return layout.Format == ImageFileFormat::Tiff ? WriteTiffHeader(layout, out)
                                                  : WriteBmpHeader(layout, out);
}

uint32_t ImageFileRowOffset(const ImageFileLayout& layout, uint32_t row) {
    const uint32_t fileRow =
        layout.Format == ImageFileFormat::Bmp ? layout.Lines - 1 - row : row;
    return layout.HeaderBytes + fileRow * layout.RowBytes;
}

uint32_t ImageFileChunkOffset(const ImageFileLayout& layout, uint32_t firstRow, uint32_t rows) {
    if (layout.Format == ImageFileFormat::Bmp && rows > 0)
        return ImageFileRowOffset(layout, firstRow + rows - 1);
    return ImageFileRowOffset(layout, firstRow);
}

size_t PlaceImageRows(const ImageFileLayout& layout, const uint8_t* source, size_t rows,
                      uint8_t* out) {
    const size_t line = layout.LineBytes, row = layout.RowBytes;
    if (layout.Format == ImageFileFormat::Tiff) {
        std::memcpy(out, source, rows * line);
        return rows * line;
    }
    for (size_t r = 0; r < rows; ++r) {
        uint8_t* to = out + (rows - 1 - r) * row;
        std::memcpy(to, source + r * line, line);
        if (row > line) std::memset(to + line, 0, row - line);
    }
    return rows * row;
}

size_t WritePassFileHeader(uint8_t* out, PixelKind passKind, uint32_t passLineBytes,
                           uint32_t lineCount, uint32_t resolution) {
    if (passKind == PixelKind::Rgb) return 0;
    const uint64_t width = passKind == PixelKind::Bit ? 8ull * passLineBytes : passLineBytes;
    if (width > 0xFFFFFFFFull) return 0;
    const auto layout = MakeImageFileLayout(ImageFileFormat::Tiff, passKind,
                                            static_cast<uint32_t>(width), lineCount, resolution);
    return layout ? WriteImageFileHeader(*layout, out) : 0;
}

size_t WriteInterpolationFileHeader(uint8_t* out, ImageFileFormat transferFormat, uint32_t pixels,
                                    uint32_t lineCount, uint32_t resolution) {
    if (transferFormat != ImageFileFormat::Tiff) return 0;
    const auto layout =
        MakeImageFileLayout(ImageFileFormat::Tiff, PixelKind::Rgb, pixels, lineCount, resolution);
    return layout ? WriteImageFileHeader(*layout, out) : 0;
}

std::string_view FileFolder(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

std::string PassFilePath(std::string_view workingFileName, unsigned minute, unsigned second,
                         int component) {
    if (component < 0 || component > 2) return {};
    char name[16];
    std::snprintf(name, sizeof name, "\\tQk%x.%c", (minute * 256 + second) & 0xFFFFu,
                  "RGB"[component]);
    return std::string(FileFolder(workingFileName)) + name;
}

std::string InterpolationFilePath(std::string_view workingFileName) {
    return std::string(FileFolder(workingFileName)) + "\\Interp.Tmp";
}
