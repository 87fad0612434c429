// A PDF of image pages read back as a reader finds its way through it:
// from startxref to the cross-reference table, to every object, to the
// page tree and each page's size and image.
#include "host/twacquire/pdf_images.h"
#include "host/twacquire/pdf_writer.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

using namespace twacquire;

namespace {

Raster Pattern(uint32_t width, uint32_t height, int bits, double dpi) {
    Raster r;
    r.width = width;
    r.height = height;
    r.bitsPerPixel = bits;
    r.xDpi = r.yDpi = dpi;
    r.rows.resize(size_t{r.RowBytes()} * height);
    for (size_t i = 0; i < r.rows.size(); ++i) r.rows[i] = static_cast<uint8_t>(i * 5 + i / 11);
    return r;
}

std::string Document(const std::vector<PdfImage>& pages) {
    PdfWriter pdf;
    std::vector<uint8_t> bytes = pdf.Header();
    for (const PdfImage& page : pages) {
        const std::vector<uint8_t> more = pdf.Page(page);
        bytes.insert(bytes.end(), more.begin(), more.end());
    }
    const std::vector<uint8_t> end = pdf.End();
    bytes.insert(bytes.end(), end.begin(), end.end());
    return std::string(bytes.begin(), bytes.end());
}

// The text of object `n`, found through the cross-reference table.
std::string Object(const std::string& pdf, int n) {
    const size_t startxref = pdf.rfind("startxref\n");
    const size_t xref = std::stoul(pdf.substr(startxref + 10));
    EXPECT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
    const size_t entries = pdf.find('\n', xref + 5) + 1;
    const std::string entry = pdf.substr(entries + 20 * n, 20);
    EXPECT_EQ(entry.substr(10), " 00000 n \n") << "entries of 20 bytes";
    const size_t at = std::stoul(entry.substr(0, 10));
    const std::string head = std::to_string(n) + " 0 obj\n";
    EXPECT_EQ(pdf.compare(at, head.size(), head), 0) << "object " << n;
    return pdf.substr(at, pdf.find("endobj", at) - at);
}

std::string Between(const std::string& text, const std::string& before, const std::string& after) {
    const size_t from = text.find(before);
    if (from == std::string::npos) return "(no " + before + ")";
    const size_t start = from + before.size();
    return text.substr(start, text.find(after, start) - start);
}

}  // namespace

TEST(TwacquirePdf, APageIsTheImageAtItsSizeInPoints) {
    struct Case {
        uint32_t pixels;
        double dpi;
        const char* points;
    } cases[] = {
        {2550, 300, "612"}, {200, 200, "72"}, {2480, 300, "595.2"}, {100, 0, "100"}, {1, 3, "24"},
    };
    for (const Case& c : cases) EXPECT_EQ(PdfPoints(c.pixels, c.dpi), c.points) << c.pixels << " at " << c.dpi;
}

TEST(TwacquirePdf, EveryPageAndObjectIsFoundFromTheTrailer) {
    const Raster colour = Pattern(300, 150, 24, 150);
    const Raster grey = Pattern(170, 220, 8, 100);
    const std::string pdf = Document({FlateImage(colour), FlateImage(grey)});
    EXPECT_EQ(pdf.rfind("%PDF-1.4\n%\xE2", 0), 0u);
    EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");

    const std::string trailer = pdf.substr(pdf.rfind("trailer"));
    EXPECT_EQ(Between(trailer, "/Size ", " "), "10") << "0, catalogue, page tree, information, 3 a page";
    const std::string catalog = Object(pdf, std::stoi(Between(trailer, "/Root ", " 0 R")));
    const std::string tree = Object(pdf, std::stoi(Between(catalog, "/Pages ", " 0 R")));
    EXPECT_EQ(Between(tree, "/Kids [", "]"), "4 0 R 7 0 R");
    EXPECT_EQ(Between(tree, "/Count ", " "), "2");
    EXPECT_EQ(Between(Object(pdf, 3), "/Producer (", ")"), "twacquire");

    struct Page {
        int object;
        const char* mediaBox;
        const Raster* raster;
        const char* colourSpace;
    } pages[] = {{4, "0 0 144 72", &colour, "/DeviceRGB"}, {7, "0 0 122.4 158.4", &grey, "/DeviceGray"}};
    for (const Page& p : pages) {
        const std::string page = Object(pdf, p.object);
        EXPECT_EQ(Between(page, "/MediaBox [", "]"), p.mediaBox);
        EXPECT_EQ(Between(page, "/Parent ", " 0 R"), "2");
        const std::string contents = Object(pdf, std::stoi(Between(page, "/Contents ", " 0 R")));
        const std::string w = Between(page, "/MediaBox [0 0 ", " "), h = Between(page, w + " ", "]");
        EXPECT_EQ(Between(contents, "stream\n", "endstream"), "q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q\n");
        const std::string image = Object(pdf, std::stoi(Between(page, "/Im0 ", " 0 R")));
        EXPECT_EQ(Between(image, "/Width ", " "), std::to_string(p.raster->width));
        EXPECT_EQ(Between(image, "/Height ", " "), std::to_string(p.raster->height));
        EXPECT_EQ(Between(image, "/ColorSpace ", " "), p.colourSpace);
        EXPECT_EQ(Between(image, "/Filter ", " "), "/FlateDecode");

        const size_t length = std::stoul(Between(image, "/Length ", " "));
        const std::string stream = image.substr(image.find("stream\n") + 7, length);
        EXPECT_EQ(image.compare(image.find("stream\n") + 7 + length, 11, "\nendstream\n"), 0);
        std::vector<uint8_t> rows(p.raster->rows.size() + 1);
        uLongf size = rows.size();
        ASSERT_EQ(uncompress(rows.data(), &size, reinterpret_cast<const Bytef*>(stream.data()), length), Z_OK);
        rows.resize(size);
        EXPECT_EQ(rows, p.raster->rows) << "the samples come back as they were";
    }
}

TEST(TwacquirePdf, BilevelAndJpegPagesSayHowToDecodeThem) {
    Raster bits = Pattern(20, 10, 1, 200);
    bits.whiteIsZero = true;
    struct Case {
        PdfImage image;
        const char* expected;  // the image dictionary from /Width to /Filter and its parameters
    } cases[] = {
        {FlateImage(bits), "/Width 20 /Height 10 /ColorSpace /DeviceGray /BitsPerComponent 1 "
                           "/Decode [1 0]\n   /Filter /FlateDecode"},
        {JpegImage(Pattern(20, 10, 24, 200), {0xFF, 0xD8, 0xFF, 0xD9}),
         "/Width 20 /Height 10 /ColorSpace /DeviceRGB /BitsPerComponent 8\n   /Filter /DCTDecode"},
    };
    for (const Case& c : cases) {
        const std::string image = Object(Document({c.image}), 6);
        EXPECT_EQ(Between(image, "/Subtype /Image ", " /Length"), c.expected);
        EXPECT_EQ(Between(image, "/Length ", " "), std::to_string(c.image.data.size()));
    }
}
