#include "ds/acquire/image_files.h"

#include "ds/acquire/interpolation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Random(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (uint8_t& v : b) v = static_cast<uint8_t>(gen());
    return b;
}

uint32_t U16(const Bytes& f, size_t at) { return f.at(at) | f.at(at + 1) << 8; }
uint32_t U32(const Bytes& f, size_t at) { return U16(f, at) | U16(f, at + 2) << 16; }

ImageFileLayout Layout(ImageFileFormat format, PixelKind kind, uint32_t width, uint32_t lines,
                       uint32_t resolution = 300) {
    const auto l = MakeImageFileLayout(format, kind, width, lines, resolution);
    EXPECT_TRUE(l.has_value());
    return l.value_or(ImageFileLayout{});
}

// A whole file in memory: the header, then the rows in one chunk.
Bytes WholeFile(const ImageFileLayout& l, const Bytes& rows) {
    Bytes file(l.FileBytes, 0xEE);
    EXPECT_EQ(WriteImageFileHeader(l, file.data()), l.HeaderBytes);
    EXPECT_EQ(PlaceImageRows(l, rows.data(), l.Lines, file.data() + ImageFileChunkOffset(l, 0, l.Lines)),
              static_cast<size_t>(l.Lines) * l.RowBytes);
    return file;
}

// What a TIFF reader sees: the directory as tag -> values (a RATIONAL gives
// numerator and denominator), and where each value was found.
struct TiffView {
    std::map<uint16_t, std::vector<uint32_t>> Tags;
    std::map<uint16_t, uint32_t> ValueOffset;  // for values outside their entry
    std::vector<uint16_t> Order;
    uint32_t NextDirectory = 1;
};

TiffView ReadTiff(const Bytes& f) {
    TiffView v;
    EXPECT_EQ(f.at(0), 'I');
    EXPECT_EQ(f.at(1), 'I');
    EXPECT_EQ(U16(f, 2), 42u);
    const uint32_t ifd = U32(f, 4);
    const uint32_t count = U16(f, ifd);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t e = ifd + 2 + 12 * i;
        const uint16_t tag = static_cast<uint16_t>(U16(f, e));
        const uint32_t type = U16(f, e + 2), n = U32(f, e + 4);
        v.Order.push_back(tag);
        std::vector<uint32_t>& values = v.Tags[tag];
        if (type == 3) {
            const size_t at = n * 2 <= 4 ? e + 8 : U32(f, e + 8);
            if (n * 2 > 4) v.ValueOffset[tag] = static_cast<uint32_t>(at);
            for (uint32_t k = 0; k < n; ++k) values.push_back(U16(f, at + 2 * k));
        } else if (type == 4) {
            const size_t at = n * 4 <= 4 ? e + 8 : U32(f, e + 8);
            for (uint32_t k = 0; k < n; ++k) values.push_back(U32(f, at + 4 * k));
        } else if (type == 5) {
            const size_t at = U32(f, e + 8);
            v.ValueOffset[tag] = static_cast<uint32_t>(at);
            values.push_back(U32(f, at));
            values.push_back(U32(f, at + 4));
        } else {
            ADD_FAILURE() << "unexpected type " << type << " of tag " << tag;
        }
    }
    v.NextDirectory = U32(f, ifd + 2 + 12 * count);
    return v;
}

using Values = std::vector<uint32_t>;

// What a BMP reader sees.
struct BmpView {
    uint32_t FileSize, RowsAt, Width, Height, Bits, ColoursUsed;
    int32_t SignedHeight;
};

BmpView ReadBmp(const Bytes& f) {
    EXPECT_EQ(f.at(0), 'B');
    EXPECT_EQ(f.at(1), 'M');
    EXPECT_EQ(U32(f, 6), 0u);  // reserved words
    EXPECT_EQ(U32(f, 14), 40u);
    EXPECT_EQ(U16(f, 26), 1u);  // planes
    EXPECT_EQ(U32(f, 30), 0u);  // no compression
    return {U32(f, 2), U32(f, 10), U32(f, 18), U32(f, 22), U16(f, 28), U32(f, 46),
            static_cast<int32_t>(U32(f, 22))};
}

// Image row r as a BMP reader finds it: bottom-up rows padded to 4 bytes.
Bytes BmpRow(const Bytes& f, const BmpView& v, uint32_t r, size_t lineBytes) {
    const size_t stride = (lineBytes + 3) / 4 * 4;
    const size_t at = v.RowsAt + (v.Height - 1 - r) * stride;
    return Bytes(f.begin() + at, f.begin() + at + lineBytes);
}

}  // namespace

// ---- TIFF -----------------------------------------------------------------------------

TEST(TiffFile, GreyTenByThreeIsHeaderAndThirtyBytesOfRows) {
    const ImageFileLayout l = Layout(ImageFileFormat::Tiff, PixelKind::Byte, 10, 3);
    const Bytes rows = Random(30, 1);
    const Bytes f = WholeFile(l, rows);
    EXPECT_EQ(f.size(), 170u);
    const TiffView t = ReadTiff(f);
    EXPECT_EQ(U32(f, 4), 8u);
    EXPECT_EQ(t.Order, (std::vector<uint16_t>{256, 257, 258, 262, 273, 277, 279, 282, 283}));
    EXPECT_EQ(t.NextDirectory, 0u);
    EXPECT_EQ(t.Tags.at(256), Values{10});
    EXPECT_EQ(t.Tags.at(257), Values{3});
    EXPECT_EQ(t.Tags.at(258), Values{8});
    EXPECT_EQ(t.Tags.at(262), Values{1});  // black is zero
    EXPECT_EQ(t.Tags.at(273), Values{140});
    EXPECT_EQ(t.Tags.at(277), Values{1});
    EXPECT_EQ(t.Tags.at(279), Values{30});
    EXPECT_EQ(t.Tags.at(282), (Values{300, 1}));
    EXPECT_EQ(t.Tags.at(283), (Values{300, 1}));
    EXPECT_EQ(t.ValueOffset.at(282), 124u);
    EXPECT_EQ(t.ValueOffset.at(283), 132u);
    EXPECT_EQ(U16(f, 122), 0u);
    EXPECT_EQ(Bytes(f.begin() + 140, f.end()), rows);  // top-down, unpadded
}

TEST(TiffFile, LineArtThirteenBytesByTwoLinesIsBilevel104PixelsWide) {
    const ImageFileLayout l = Layout(ImageFileFormat::Tiff, PixelKind::Bit, 13 * 8, 2, 200);
    const Bytes f = WholeFile(l, Random(26, 2));
    const TiffView t = ReadTiff(f);
    EXPECT_EQ(t.Tags.at(256), Values{104});
    EXPECT_EQ(t.Tags.at(258), Values{1});
    EXPECT_EQ(t.Tags.at(262), Values{1});
    EXPECT_EQ(t.Tags.at(273), Values{140});
    EXPECT_EQ(t.Tags.at(279), Values{26});
    EXPECT_EQ(t.Tags.at(282), (Values{200, 1}));
    EXPECT_EQ(f.size(), 140u + 26u);
}

TEST(TiffFile, ColourKeepsItsBitsPerSampleAndResolutionsBeforeTheRowsAt146) {
    const ImageFileLayout l = Layout(ImageFileFormat::Tiff, PixelKind::Rgb, 5, 4, 1200);
    const Bytes rows = Random(60, 3);
    const Bytes f = WholeFile(l, rows);
    EXPECT_EQ(f.size(), 146u + 60u);
    const TiffView t = ReadTiff(f);
    EXPECT_EQ(t.Tags.at(258), (Values{8, 8, 8}));
    EXPECT_EQ(t.ValueOffset.at(258), 124u);
    EXPECT_EQ(t.Tags.at(262), Values{2});
    EXPECT_EQ(t.Tags.at(273), Values{146});
    EXPECT_EQ(t.Tags.at(277), Values{3});
    EXPECT_EQ(t.Tags.at(279), Values{60});
    EXPECT_EQ(t.ValueOffset.at(282), 130u);
    EXPECT_EQ(t.ValueOffset.at(283), 138u);
    EXPECT_EQ(t.Tags.at(283), (Values{1200, 1}));
    EXPECT_EQ(Bytes(f.begin() + 146, f.end()), rows);
}

TEST(TiffFile, ChunksWrittenAtTheirOffsetsMakeTheSameFileAsOneChunk) {
    const ImageFileLayout l = Layout(ImageFileFormat::Tiff, PixelKind::Rgb, 7, 10);
    const Bytes rows = Random(21 * 10, 4);
    Bytes f(l.FileBytes);
    WriteImageFileHeader(l, f.data());
    for (uint32_t first : {0u, 3u, 4u, 9u}) {
        const uint32_t n = first == 0 ? 3 : first == 3 ? 1 : first == 4 ? 5 : 1;
        PlaceImageRows(l, rows.data() + first * 21, n, f.data() + ImageFileChunkOffset(l, first, n));
    }
    EXPECT_EQ(f, WholeFile(l, rows));
}

// ---- BMP ------------------------------------------------------------------------------

TEST(BmpFile, ColourThreeByTwoIs78BytesWithPaddedRowsBottomUp) {
    const ImageFileLayout l = Layout(ImageFileFormat::Bmp, PixelKind::Rgb, 3, 2);
    const Bytes rows = Random(18, 5);  // already blue, green, red
    const Bytes f = WholeFile(l, rows);
    EXPECT_EQ(f.size(), 78u);
    const BmpView v = ReadBmp(f);
    EXPECT_EQ(v.FileSize, 78u);
    EXPECT_EQ(v.RowsAt, 54u);
    EXPECT_EQ(v.Width, 3u);
    EXPECT_EQ(v.SignedHeight, 2);
    EXPECT_EQ(v.Bits, 24u);
    EXPECT_EQ(v.ColoursUsed, 0u);
    // The first image row is the last row of the file; 3 zero bytes pad each.
    EXPECT_EQ(Bytes(f.begin() + 66, f.begin() + 75), Bytes(rows.begin(), rows.begin() + 9));
    EXPECT_EQ(Bytes(f.begin() + 54, f.begin() + 63), Bytes(rows.begin() + 9, rows.end()));
    EXPECT_EQ(Bytes(f.begin() + 63, f.begin() + 66), Bytes(3, 0));
    EXPECT_EQ(Bytes(f.begin() + 75, f.end()), Bytes(3, 0));
}

TEST(BmpFile, GreyHasA256GreyTableAndRowsAt1078) {
    const ImageFileLayout l = Layout(ImageFileFormat::Bmp, PixelKind::Byte, 10, 3);
    const Bytes rows = Random(30, 6);
    const Bytes f = WholeFile(l, rows);
    const BmpView v = ReadBmp(f);
    EXPECT_EQ(v.RowsAt, 1078u);
    EXPECT_EQ(v.Bits, 8u);
    EXPECT_EQ(v.ColoursUsed, 256u);
    EXPECT_EQ(v.FileSize, 1078u + 3 * 12);
    EXPECT_EQ(f.size(), v.FileSize);
    for (uint32_t i = 0; i < 256; ++i) EXPECT_EQ(U32(f, 54 + 4 * i), i * 0x010101u);
    for (uint32_t r = 0; r < 3; ++r)
        EXPECT_EQ(BmpRow(f, v, r, 10), Bytes(rows.begin() + 10 * r, rows.begin() + 10 * r + 10));
}

TEST(BmpFile, OneBitHasBlackAndWhiteAnd128ByteRowsFor1000Pixels) {
    const ImageFileLayout l = Layout(ImageFileFormat::Bmp, PixelKind::Bit, 1000, 2);
    EXPECT_EQ(l.LineBytes, 125u);
    EXPECT_EQ(l.RowBytes, 128u);
    const Bytes f = WholeFile(l, Random(250, 7));
    const BmpView v = ReadBmp(f);
    EXPECT_EQ(v.RowsAt, 62u);
    EXPECT_EQ(v.Bits, 1u);
    EXPECT_EQ(v.ColoursUsed, 2u);
    EXPECT_EQ(U32(f, 54), 0u);
    EXPECT_EQ(U32(f, 58), 0xFFFFFFu);
    EXPECT_EQ(v.FileSize, 62u + 256u);
}

TEST(BmpFile, ChunksArePlacedFromTheEndTowardsTheHeader) {
    const ImageFileLayout l = Layout(ImageFileFormat::Bmp, PixelKind::Rgb, 5, 9);
    const Bytes rows = Random(15 * 9, 8);
    Bytes f(l.FileBytes, 0xEE);
    WriteImageFileHeader(l, f.data());
    // The first chunk ends the file; the last one starts right after the header.
    EXPECT_EQ(ImageFileChunkOffset(l, 0, 4), l.FileBytes - 4 * 16);
    EXPECT_EQ(ImageFileChunkOffset(l, 4, 5), 54u);
    PlaceImageRows(l, rows.data(), 4, f.data() + ImageFileChunkOffset(l, 0, 4));
    PlaceImageRows(l, rows.data() + 4 * 15, 5, f.data() + ImageFileChunkOffset(l, 4, 5));
    EXPECT_EQ(f, WholeFile(l, rows));
    const BmpView v = ReadBmp(f);
    for (uint32_t r = 0; r < 9; ++r)
        EXPECT_EQ(BmpRow(f, v, r, 15), Bytes(rows.begin() + 15 * r, rows.begin() + 15 * r + 15));
}

TEST(BmpFile, ScaledRowsCanBeWrittenStraightIntoFileOrder) {
    // A colour chunk doubled into the padded bottom-up rows of its file: the
    // rows padded for the scaled width (6 pixels, 18 -> 20 bytes), not for
    // the scanned one.
    const size_t pixels = 3, lines = 2, factor = 2;
    const ImageFileLayout l =
        Layout(ImageFileFormat::Bmp, PixelKind::Rgb, pixels * factor, lines * factor);
    EXPECT_EQ(l.RowBytes, 20u);
    EXPECT_EQ(l.FileBytes, 54u + 4 * 20);
    const Bytes scanned = Random(3 * pixels * lines, 9);
    Bytes packed(4 * 18);
    CarriedLine carry;
    ScaleLines(PixelKind::Rgb, factor, scanned.data(), pixels, lines, packed.data(), carry);

    Bytes f(l.FileBytes, 0xEE);
    WriteImageFileHeader(l, f.data());
    CarriedLine fileCarry;
    uint8_t* chunk = f.data() + ImageFileChunkOffset(l, 0, 4);
    ScaleLines(PixelKind::Rgb, factor, scanned.data(), pixels, lines, chunk + 3 * l.RowBytes,
               -static_cast<ptrdiff_t>(l.RowBytes), l.RowBytes, fileCarry);
    EXPECT_EQ(f, WholeFile(l, packed));
}

// ---- Layouts the formats cannot hold ---------------------------------------------------

TEST(ImageFileLayouts, OnlyTiffAndBmpAreWritten) {
    EXPECT_EQ(ImageFileFormatFromTwain(0), ImageFileFormat::Tiff);
    EXPECT_EQ(ImageFileFormatFromTwain(2), ImageFileFormat::Bmp);
    EXPECT_FALSE(ImageFileFormatFromTwain(1).has_value());  // PICT
    EXPECT_FALSE(ImageFileFormatFromTwain(4).has_value());
    EXPECT_TRUE(FileStoresBlueFirst(ImageFileFormat::Bmp));
    EXPECT_FALSE(FileStoresBlueFirst(ImageFileFormat::Tiff));
}

TEST(ImageFileLayouts, EmptyImagesAndFilesBeyond32BitSizesAreRefused) {
    EXPECT_FALSE(MakeImageFileLayout(ImageFileFormat::Tiff, PixelKind::Byte, 0, 5, 300));
    EXPECT_FALSE(MakeImageFileLayout(ImageFileFormat::Bmp, PixelKind::Byte, 5, 0, 300));
    // 40,800 colour pixels by 52,800 lines (5,100 by 6,600 scaled by 8).
    EXPECT_FALSE(MakeImageFileLayout(ImageFileFormat::Tiff, PixelKind::Rgb, 40800, 52800, 4800));
    EXPECT_FALSE(MakeImageFileLayout(ImageFileFormat::Bmp, PixelKind::Rgb, 40800, 52800, 4800));
    // The largest TIFF that fits exactly.
    const auto edge = MakeImageFileLayout(ImageFileFormat::Tiff, PixelKind::Byte, 0xFFFFFFFFu - 140, 1, 0);
    ASSERT_TRUE(edge);
    EXPECT_EQ(edge->FileBytes, 0xFFFFFFFFu);
    // BMP widths and heights are signed.
    EXPECT_FALSE(MakeImageFileLayout(ImageFileFormat::Bmp, PixelKind::Bit, 0x80000000u, 1, 0));
}

// ---- Temporary files ---------------------------------------------------------------

TEST(PassFiles, EveryPassFileBeginsWithTheGreyHeaderOfOneComponent) {
    Bytes h(200, 0xEE);
    EXPECT_EQ(WritePassFileHeader(h.data(), PixelKind::Byte, 2550, 3300, 600), 140u);
    EXPECT_EQ(h[140], 0xEE);
    h.resize(140);
    const TiffView t = ReadTiff(h);
    EXPECT_EQ(t.Tags.at(256), Values{2550});
    EXPECT_EQ(t.Tags.at(257), Values{3300});
    EXPECT_EQ(t.Tags.at(258), Values{8});
    EXPECT_EQ(t.Tags.at(273), Values{140});
    EXPECT_EQ(t.Tags.at(279), Values{2550u * 3300u});
}

TEST(PassFiles, AOneBitPassTakesTheBilevelHeaderEightPixelsPerByte) {
    Bytes h(140);
    EXPECT_EQ(WritePassFileHeader(h.data(), PixelKind::Bit, 13, 2, 300), 140u);
    const TiffView t = ReadTiff(h);
    EXPECT_EQ(t.Tags.at(256), Values{104});
    EXPECT_EQ(t.Tags.at(258), Values{1});
    EXPECT_EQ(t.Tags.at(279), Values{26});
    EXPECT_EQ(WritePassFileHeader(h.data(), PixelKind::Rgb, 13, 2, 300), 0u);
    EXPECT_EQ(WritePassFileHeader(h.data(), PixelKind::Byte, 13, 0, 300), 0u);
}

TEST(PassFiles, TheInterpolationFileDescribesTheMergedRowsItHolds) {
    Bytes h(146);
    EXPECT_EQ(WriteInterpolationFileHeader(h.data(), ImageFileFormat::Tiff, 850, 1100, 1200), 146u);
    EXPECT_EQ(InterpolationFileRows(ImageFileFormat::Tiff), 146u);
    const TiffView t = ReadTiff(h);
    EXPECT_EQ(t.Tags.at(256), Values{850});
    EXPECT_EQ(t.Tags.at(257), Values{1100});
    EXPECT_EQ(t.Tags.at(279), Values{850u * 1100u * 3u});
    EXPECT_EQ(t.Tags.at(273), Values{146});
    // For BMP transfers the file holds rows only.
    EXPECT_EQ(WriteInterpolationFileHeader(h.data(), ImageFileFormat::Bmp, 850, 1100, 1200), 0u);
    EXPECT_EQ(InterpolationFileRows(ImageFileFormat::Bmp), 0u);
}

TEST(PassFiles, NamesComeFromTheMinuteAndSecondInTheWorkingFilesFolder) {
    const std::string working = "C:\\WINDOWS\\TEMP\\~pav3a2.tmp";
    EXPECT_EQ(PassFilePath(working, 5, 7, 0), "C:\\WINDOWS\\TEMP\\tQk507.R");
    EXPECT_EQ(PassFilePath(working, 59, 59, 1), "C:\\WINDOWS\\TEMP\\tQk3b3b.G");
    EXPECT_EQ(PassFilePath(working, 0, 0, 2), "C:\\WINDOWS\\TEMP\\tQk0.B");
    EXPECT_EQ(PassFilePath(working, 0, 0, 3), "");
    EXPECT_EQ(PassFilePath("D:\\~pav1.tmp", 12, 0, 0), "D:\\tQkc00.R");
    EXPECT_EQ(InterpolationFilePath(working), "C:\\WINDOWS\\TEMP\\Interp.Tmp");
    EXPECT_EQ(FileFolder("D:\\x.tmp"), "D:");
    EXPECT_EQ(FileFolder("x.tmp"), "");
}

// ---- The files as the libtiff tools and ImageMagick read them -------------------------

namespace {

std::string RunTool(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " 2>&1").c_str(), "r")) {
        char buf[512];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

bool Have(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::filesystem::path Save(const std::string& name, const Bytes& f) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("pavo_image_files_" + std::to_string(getpid()) + "_" + name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(f.data()),
                                                static_cast<std::streamsize>(f.size()));
    return path;
}

}  // namespace

TEST(ImageFileTools, TiffinfoReadsEveryModeWithTheExpectedTags) {
    if (!Have("tiffinfo")) GTEST_SKIP() << "tiffinfo is not installed";
    struct Case {
        PixelKind Kind;
        const char* Name;
        const char* Bits;
        const char* Photometric;
    };
    for (const Case c : {Case{PixelKind::Bit, "bilevel.tif", "Bits/Sample: 1", "min-is-black"},
                         Case{PixelKind::Byte, "grey.tif", "Bits/Sample: 8", "min-is-black"},
                         Case{PixelKind::Rgb, "rgb.tif", "Bits/Sample: 8", "RGB color"}}) {
        const ImageFileLayout l = Layout(ImageFileFormat::Tiff, c.Kind, 24, 5, 600);
        const auto path = Save(c.Name, WholeFile(l, Random(l.LineBytes * 5, 10)));
        const std::string info = RunTool("tiffinfo -D '" + path.string() + "'");
        std::filesystem::remove(path);
        EXPECT_NE(info.find("Image Width: 24 Image Length: 5"), std::string::npos) << info;
        EXPECT_NE(info.find("Resolution: 600, 600"), std::string::npos) << info;
        EXPECT_NE(info.find(c.Bits), std::string::npos) << info;
        EXPECT_NE(info.find(c.Photometric), std::string::npos) << info;
        EXPECT_EQ(info.find("rror"), std::string::npos) << info;
        EXPECT_EQ(info.find("arning"), std::string::npos) << info;
    }
}

TEST(ImageFileTools, IdentifyReadsEveryBmpWithItsSizeAndDepth) {
    if (!Have("identify")) GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        PixelKind Kind;
        const char* Name;
        const char* Depth;  // bits per sample, the class and the colour space
    };
    for (const Case c : {Case{PixelKind::Bit, "bilevel.bmp", " 1 PseudoClass Gray"},
                         Case{PixelKind::Byte, "grey.bmp", " 8 PseudoClass Gray"},
                         Case{PixelKind::Rgb, "rgb.bmp", " 8 DirectClass sRGB"}}) {
        const ImageFileLayout l = Layout(ImageFileFormat::Bmp, c.Kind, 13, 7);
        const auto path = Save(c.Name, WholeFile(l, Random(l.LineBytes * 7, 11)));
        const std::string info = RunTool("identify -format '%m %w %h %z %r' '" + path.string() + "'");
        std::filesystem::remove(path);
        // BMP3: a file with the 40-byte bitmap header.
        EXPECT_EQ(info.rfind(std::string("BMP3 13 7") + c.Depth, 0), 0u) << info;
    }
}
