// A TIFF of several pages as a reader walks it, from directory to
// directory, while the batch is still going and after it; and what is
// left of a file with no page.
#include "host/twacquire/multipage_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

using namespace twacquire;

namespace {

uint32_t Get16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t Get32(const std::vector<uint8_t>& b, size_t at) { return Get16(b, at) | Get16(b, at + 2) << 16; }

std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct PageSeen {
    uint32_t width, height, dpi;
    std::vector<uint8_t> firstStrip;
};

// Every directory of the chain, with the first strip of each.
std::vector<PageSeen> Walk(const std::vector<uint8_t>& f) {
    std::vector<PageSeen> pages;
    uint32_t dir = Get32(f, 4);
    while (dir != 0 && pages.size() < 10) {
        EXPECT_EQ(dir % 2, 0u) << "a directory starts on a word";
        std::map<uint32_t, uint32_t> value, count;
        const uint32_t n = Get16(f, dir);
        for (uint32_t i = 0; i < n; ++i) {
            const size_t at = dir + 2 + 12 * i;
            value[Get16(f, at)] = Get16(f, at + 2) == 3 ? Get16(f, at + 8) : Get32(f, at + 8);
            count[Get16(f, at)] = Get32(f, at + 4);
        }
        const uint32_t strips = count[273];
        const uint32_t offset = strips == 1 ? value[273] : Get32(f, value[273]);
        const uint32_t bytes = strips == 1 ? value[279] : Get32(f, value[279]);
        pages.push_back({value[256], value[257], Get32(f, value[282]) / Get32(f, value[282] + 4),
                         std::vector<uint8_t>(f.begin() + offset, f.begin() + offset + bytes)});
        dir = Get32(f, dir + 2 + 12 * n);
    }
    return pages;
}

Raster Page(uint32_t width, uint32_t height, int bits, double dpi, uint8_t seed) {
    Raster r;
    r.width = width;
    r.height = height;
    r.bitsPerPixel = bits;
    r.xDpi = r.yDpi = dpi;
    r.rows.resize(size_t{r.RowBytes()} * height);
    for (size_t i = 0; i < r.rows.size(); ++i) r.rows[i] = static_cast<uint8_t>(seed + i * 3);
    return r;
}

class TwacquireMultiPage : public ::testing::Test {
protected:
    void TearDown() override { std::remove(path_.c_str()); }
    std::string path_ = ::testing::TempDir() + "twacquire_multipage_test.out";
};

}  // namespace

TEST_F(TwacquireMultiPage, EveryTiffPageIsAFullDirectoryAndTheFileIsCompleteBetweenPages) {
    const Raster pages[] = {Page(33, 20, 8, 300, 1), Page(7, 5, 24, 150, 2), Page(45, 3, 1, 75, 3)};
    MultiPageFile file(path_, FileFormat::Tiff);
    std::string error;
    for (size_t k = 0; k < 3; ++k) {
        ASSERT_TRUE(file.AddTiffPage(pages[k], error)) << error;
        const std::vector<PageSeen> seen = Walk(Read(path_));
        ASSERT_EQ(seen.size(), k + 1) << "readable with the pages so far, before Finish";
        for (size_t i = 0; i <= k; ++i) {
            EXPECT_EQ(seen[i].width, pages[i].width);
            EXPECT_EQ(seen[i].height, pages[i].height);
            EXPECT_EQ(seen[i].dpi, static_cast<uint32_t>(pages[i].xDpi));
            EXPECT_EQ(seen[i].firstStrip, pages[i].rows) << "page " << i + 1;
        }
    }
    ASSERT_TRUE(file.Finish(error)) << error;
    EXPECT_EQ(file.Pages(), 3);
    EXPECT_EQ(file.Bytes(), Read(path_).size());
}

TEST_F(TwacquireMultiPage, APdfIsEndedWithThePagesItHasAndWithoutAPageThereIsNoFile) {
    std::string error;
    {
        MultiPageFile empty(path_, FileFormat::Pdf);
        ASSERT_TRUE(empty.Finish(error));
        EXPECT_EQ(std::fopen(path_.c_str(), "rb"), nullptr) << "no page, no file";
    }
    MultiPageFile file(path_, FileFormat::Pdf);
    PdfImage image;
    image.width = image.height = 4;
    image.filter = "FlateDecode";
    ASSERT_TRUE(file.AddPdfPage(image, error)) << error;
    ASSERT_TRUE(file.Finish(error)) << error;
    const std::vector<uint8_t> f = Read(path_);
    const std::string text(f.begin(), f.end());
    EXPECT_NE(text.find("/Count 1 "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 6), "%%EOF\n");
}

TEST_F(TwacquireMultiPage, AFileThatCannotBeCreatedIsSaid) {
    MultiPageFile file(::testing::TempDir() + "no_such_folder/stack.tif", FileFormat::Tiff);
    std::string error;
    EXPECT_FALSE(file.AddTiffPage(Page(2, 2, 8, 100, 0), error));
    EXPECT_EQ(error.rfind("cannot create " + ::testing::TempDir() + "no_such_folder/stack.tif: ", 0), 0u)
        << error;
}
