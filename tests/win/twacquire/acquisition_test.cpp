// twacquire takes images from the data source and the virtual scanner by
// every transfer mechanism, in every mode, into TIFF, BMP, PNG, JPEG and
// PDF files, and a feeder batch into one file of many pages.
#include "tests/win/twacquire/twacquire_run.h"

using namespace twtest;

namespace {

// One inch across, 1.2 inches down, over the grey ramp and the colour
// patches of the test chart: 200 x 240 pixels at 200 dpi.
constexpr char kArea[] = " --resolution 200 --frame 1,1.6,2,2.8 -q";

struct Case {
    const char* xfer;
    const char* mode;
    const char* file;
    const char* format;
    int bits;
};

}  // namespace

TEST_F(TwacquireTest, EveryMechanismWritesEveryFormatInEveryMode) {
    const Case cases[] = {
        {"memory", "color", "m.tif", "TIFF", 24}, {"memory", "gray", "m.bmp", "BMP", 8},
        {"memory", "lineart", "m1.tif", "TIFF", 1}, {"memory", "lineart", "m1.bmp", "BMP", 1},
        {"native", "color", "n.bmp", "BMP", 24},  {"native", "gray", "n.tif", "TIFF", 8},
        {"native", "lineart", "n1.bmp", "BMP", 1}, {"file", "color", "f.tif", "TIFF", 24},
        {"file", "gray", "f.bmp", "BMP", 8},       {"file", "lineart", "f1.tif", "TIFF", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xfer) + " " + c.mode + " " + c.file);
        const ProgramRun run = RunTwacquire("-o " + Out(c.file) + " --xfer " + c.xfer + " --mode " +
                                            c.mode + kArea);
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        const ImageHeader h = ReadImageHeader(Out(c.file));
        EXPECT_EQ(h.format, c.format);
        EXPECT_EQ(h.width, 200u);
        EXPECT_EQ(h.height, 240u);
        EXPECT_EQ(h.bitsPerPixel, c.bits);
        const std::string bits = c.bits == 1 ? "1 bit" : std::to_string(c.bits) + " bits";
        EXPECT_EQ(run.out.rfind(Out(c.file) + ": 200 x 240 pixels, " + bits + ", 200 x 200 dpi, " +
                                    std::to_string(wintest::ReadWholeFile(Out(c.file)).size()) +
                                    " bytes, ",
                                0),
                  0u)
            << run.out;
        EXPECT_EQ(run.err, "") << "nothing but the image's line with -q";
    }
}

TEST_F(TwacquireTest, PngJpegAndPdfFromTheExtensionOrTheFormatOption) {
    // JPEG has no bilevel form: a line-art page is written as grey.
    const Case cases[] = {
        {"memory", "color", "c.png", "PNG", 24},   {"memory", "gray", "g.png", "PNG", 8},
        {"native", "lineart", "b.png", "PNG", 1},  {"memory", "color", "c.jpg", "JPEG", 0},
        {"native", "gray", "g.jpeg", "JPEG", 0},   {"memory", "lineart", "b.jpg", "JPEG", 0},
        {"memory", "color", "c.pdf", "PDF", 0},    {"native", "gray", "g.pdf", "PDF", 0},
        {"memory", "lineart", "b.pdf", "PDF", 0},  {"memory", "gray", "g.scan --format png", "PNG", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.xfer) + " " + c.mode + " " + c.file);
        const ProgramRun run = RunTwacquire("-o " + Out(c.file) + " --xfer " + c.xfer + " --mode " +
                                            c.mode + kArea);
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        const std::string name = std::string(c.file).substr(0, std::string(c.file).find(' '));
        const ImageHeader h = ReadImageHeader(Out(name));
        EXPECT_EQ(h.format, c.format);
        if (c.bits) {
            EXPECT_EQ(h.width, 200u);
            EXPECT_EQ(h.height, 240u);
            EXPECT_EQ(h.bitsPerPixel, c.bits);
        }
        EXPECT_EQ(run.out.rfind(Out(name) + ": 200 x 240 pixels, ", 0), 0u) << run.out;
        EXPECT_NE(run.out.find(std::to_string(wintest::ReadWholeFile(Out(name)).size()) + " bytes, "),
                  std::string::npos) << run.out;
    }
}

TEST_F(TwacquireTest, AFeederBatchWithoutANumberGoesIntoOneTiffOrPdf) {
    ini_.Set(kScanner, "Feeder", "1");
    for (const char* name : {"stack.tif", "stack.pdf"}) {
        SCOPED_TRACE(name);
        ini_.Set(kScanner, "Pages", "3");
        const ProgramRun run = RunTwacquire("-o " + Out(name) + " --batch --mode gray --resolution 72 -q");
        EXPECT_EQ(run.exitCode, 0u) << run.err;
        for (int page = 1; page <= 3; ++page)
            EXPECT_NE(run.out.find(Out(name) + ", page " + std::to_string(page) + ": "), std::string::npos)
                << run.out;
    }
    EXPECT_EQ(Files(), (std::vector<std::string>{"stack.pdf", "stack.tif"}));
    EXPECT_EQ(ReadImageHeader(Out("stack.tif")).pages, 3);
    EXPECT_EQ(ReadImageHeader(Out("stack.pdf")).format, "PDF");
}

TEST_F(TwacquireTest, PlanarColourIsGatheredIntoTheSameImageAsChunkyColour) {
    ASSERT_EQ(RunTwacquire("-o " + Out("chunky.tif") + " --mode color" + kArea).exitCode, 0u);
    const ProgramRun planar = RunTwacquire("-o " + Out("planar.tif") + " --mode color --planar" + kArea);
    ASSERT_EQ(planar.exitCode, 0u) << planar.err;
    const auto chunky = wintest::ReadWholeFile(Out("chunky.tif"));
    ASSERT_GT(chunky.size(), 200u * 240 * 3);
    EXPECT_TRUE(chunky == wintest::ReadWholeFile(Out("planar.tif")))
        << "the three planes interleave into the very pixels of a chunky transfer";
}

TEST_F(TwacquireTest, AFrameInMillimetresOrPixelsIsTheSameArea) {
    ASSERT_EQ(RunTwacquire("-o " + Out("in.tif") + " --mode gray" + kArea).exitCode, 0u);
    const ProgramRun mm = RunTwacquire("-o " + Out("mm.tif") +
                                       " --mode gray --resolution 200 --units mm -q"
                                       " --frame 25.4,40.64,50.8,71.12");
    const ProgramRun px = RunTwacquire("-o " + Out("px.tif") +
                                       " --mode gray --resolution 200 --units px -q"
                                       " --frame 200,320,400,560");
    EXPECT_EQ(mm.exitCode, 0u) << mm.err;
    EXPECT_EQ(px.exitCode, 0u) << px.err;
    const auto inches = wintest::ReadWholeFile(Out("in.tif"));
    EXPECT_TRUE(inches == wintest::ReadWholeFile(Out("mm.tif")));
    EXPECT_TRUE(inches == wintest::ReadWholeFile(Out("px.tif")));
}

TEST_F(TwacquireTest, AFeederBatchOfThreePagesMakesThreeFiles) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "3");
    const ProgramRun run =
        RunTwacquire("-o " + Out("page%d.tif") + " --batch --mode gray --resolution 72 -q");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Files(), (std::vector<std::string>{"page1.tif", "page2.tif", "page3.tif"}));
    for (int page = 1; page <= 3; ++page) {
        const std::string name = Out("page" + std::to_string(page) + ".tif");
        EXPECT_EQ(ReadImageHeader(name).bitsPerPixel, 8) << name;
        EXPECT_NE(run.out.find(name + ": "), std::string::npos) << run.out;
    }
}

TEST_F(TwacquireTest, ACountStopsTheBatchWithPagesStillInTheFeeder) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "3");
    const ProgramRun run =
        RunTwacquire("-o " + Out("scan%02d.bmp") + " --count 2 --mode lineart --resolution 72 -q");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Files(), (std::vector<std::string>{"scan01.bmp", "scan02.bmp"}));
}

TEST_F(TwacquireTest, TheProgressBarShowsThePercentageAndRateOnTheErrorOutput) {
    ini_.Set(kScanner, "LineDelay", "1");
    const ProgramRun run = RunTwacquire("-o " + Out("p.tif") + " --mode gray --resolution 200 "
                                        "--frame 0,0,2,4");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.err.find("] 100%  "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("B/s\n"), std::string::npos) << "the bar ends its line: " << run.err;
    EXPECT_EQ(run.err.find("twacquire:"), std::string::npos) << run.err;
}
