// twacquire's command line.
#include "host/twacquire/options.h"

#include <gtest/gtest.h>

using namespace twacquire;

TEST(TwacquireOptions, ListCommand) {
    for (const char* arg : {"--list", "-l"}) {
        const ParsedArguments parsed = ParseArguments({arg});
        ASSERT_TRUE(parsed.ok) << arg << ": " << parsed.error;
        EXPECT_EQ(parsed.options.command, Command::List) << arg;
    }
}

TEST(TwacquireOptions, HelpCommand) {
    for (const char* arg : {"--help", "-h", "/?"}) {
        const ParsedArguments parsed = ParseArguments({arg});
        ASSERT_TRUE(parsed.ok) << arg << ": " << parsed.error;
        EXPECT_EQ(parsed.options.command, Command::Help) << arg;
    }
}

TEST(TwacquireOptions, NoArgumentsIsAnError) {
    const ParsedArguments parsed = ParseArguments({});
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error, "no command given");
}

TEST(TwacquireOptions, UnknownArgumentIsNamedInTheError) {
    const ParsedArguments parsed = ParseArguments({"--list", "--scan-everything"});
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.error, "unknown argument '--scan-everything'");
}

TEST(TwacquireOptions, TwoDifferentCommandsAreAnError) {
    EXPECT_FALSE(ParseArguments({"--list", "--help"}).ok);
    EXPECT_TRUE(ParseArguments({"--list", "-l"}).ok) << "the same command twice is harmless";
}

TEST(TwacquireOptions, UsageNamesEveryCommandAndTheExitCodes) {
    const std::string usage = UsageText();
    EXPECT_EQ(usage.rfind("Usage: twacquire", 0), 0u);
    EXPECT_NE(usage.find("--list"), std::string::npos);
    EXPECT_NE(usage.find("--help"), std::string::npos);
    EXPECT_NE(usage.find("3 no data source"), std::string::npos);
    for (const char* option : {"--caps", "--set", "--mode", "--resolution", "--frame", "--units",
                               "--xfer", "--format", "--planar", "--ui", "--count", "--batch",
                               "--jpeg-quality", "--pdf-jpeg"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    EXPECT_NE(usage.find("7 device condition"), std::string::npos);
}

TEST(TwacquireOptions, AnOutputMeansAcquisitionWithEveryOptionTaken) {
    const ParsedArguments parsed = ParseArguments(
        {"-o", "scan.bmp", "--source", "Tavlen", "--mode", "grey", "--resolution", "200",
         "--frame", "0.5,1,4,6.25", "--units", "cm", "--xfer", "file", "--format", "tiff",
         "--planar", "--set", "ICAP_CONTRAST=10", "--set", "0x1101=-5", "-q"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const Options& o = parsed.options;
    EXPECT_EQ(o.command, Command::Acquire);
    EXPECT_EQ(o.output, "scan.bmp");
    EXPECT_EQ(o.source, "Tavlen");
    EXPECT_EQ(o.mode, Mode::Gray);
    EXPECT_EQ(o.resolution, 200.0);
    ASSERT_TRUE(o.frame);
    EXPECT_EQ(o.frame->left, 0.5);
    EXPECT_EQ(o.frame->bottom, 6.25);
    EXPECT_EQ(o.units, Units::Centimetres);
    EXPECT_EQ(o.mechanism, Mechanism::File);
    EXPECT_EQ(o.format, FileFormat::Tiff) << "--format wins over the extension";
    EXPECT_TRUE(o.planar);
    EXPECT_TRUE(o.quiet);
    ASSERT_EQ(o.sets.size(), 2u);
    EXPECT_EQ(o.sets[0], (std::pair<std::string, std::string>{"ICAP_CONTRAST", "10"}));
    EXPECT_EQ(o.sets[1], (std::pair<std::string, std::string>{"0x1101", "-5"}));
    EXPECT_EQ(o.count, 1);
}

TEST(TwacquireOptions, CapsWithSettingsIsItsOwnCommand) {
    const ParsedArguments parsed = ParseArguments({"--caps", "--set", "PIXELTYPE=TWPT_RGB"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.command, Command::Caps);
    EXPECT_FALSE(ParseArguments({"--caps", "-o", "x.tif"}).ok);
}

TEST(TwacquireOptions, WrongValuesAreNamed) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    } cases[] = {
        {{"-o", "a.tif", "--mode", "sepia"}, "--mode is one of lineart, halftone, gray, color; not 'sepia'"},
        {{"-o", "a.tif", "--resolution", "fine"}, "--resolution wants dots per inch, not 'fine'"},
        {{"-o", "a.tif", "--resolution", "0"}, "--resolution wants dots per inch, not '0'"},
        {{"-o", "a.tif", "--frame", "1,2,3"}, nullptr},
        {{"-o", "a.tif", "--frame", "4,0,3,5"}, nullptr},
        {{"-o", "a.tif", "--units", "ft"}, "--units is one of in, cm, mm, px; not 'ft'"},
        {{"-o", "a.tif", "--xfer", "fax"}, "--xfer is one of native, memory, file; not 'fax'"},
        {{"-o", "a.tif", "--format", "gif"}, "--format is one of png, jpeg, tiff, bmp, pdf; not 'gif'"},
        {{"-o", "a.jpg", "--jpeg-quality", "0"}, "--jpeg-quality wants a number from 1 to 100, not '0'"},
        {{"-o", "a.jpg", "--jpeg-quality", "101"}, "--jpeg-quality wants a number from 1 to 100, not '101'"},
        {{"-o", "a.jpg", "--jpeg-quality", "high"}, "--jpeg-quality wants a number from 1 to 100, not 'high'"},
        {{"-o", "a%d.tif", "--count", "0"}, "--count wants a number of images from 1 up, not '0'"},
        {{"--caps", "--set", "CONTRAST"}, "--set wants CAP=VALUE, not 'CONTRAST'"},
        {{"-o"}, "-o needs a value"},
        {{"--mode", "gray"}, "nothing to do: give --list, --caps or -o OUTPUT"},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = ParseArguments(c.args);
        EXPECT_FALSE(parsed.ok) << c.args.back();
        if (c.error) EXPECT_EQ(parsed.error, c.error);
        else EXPECT_EQ(parsed.error.rfind("--frame wants LEFT,TOP,RIGHT,BOTTOM", 0), 0u) << parsed.error;
    }
}

TEST(TwacquireOptions, SeveralImagesGoIntoNumberedFilesOrTheFileOfAllPages) {
    const ParsedArguments batch = ParseArguments({"-o", "page%03d.png", "--batch"});
    ASSERT_TRUE(batch.ok) << batch.error;
    EXPECT_TRUE(batch.options.batch);
    EXPECT_EQ(batch.options.count, 0) << "a batch runs until the feeder is empty";
    EXPECT_FALSE(OneFileForAllImages(batch.options));
    const ParsedArguments limited = ParseArguments({"-o", "p%d.tif", "--batch", "-n", "2"});
    EXPECT_EQ(limited.options.count, 2);

    struct Case {
        std::vector<std::string> args;
        std::optional<FileFormat> format;  // of the file of all pages; nothing: refused
    } cases[] = {
        {{"-o", "stack.pdf", "--batch"}, FileFormat::Pdf},
        {{"-o", "stack.tif", "--count", "3"}, FileFormat::Tiff},
        {{"-o", "stack", "--batch"}, FileFormat::Tiff},
        {{"-o", "stack", "--batch", "-f", "pdf", "-x", "native"}, FileFormat::Pdf},
        {{"-o", "stack.png", "--batch"}, std::nullopt},
        {{"-o", "stack.tif", "--batch", "-f", "jpeg"}, std::nullopt},
        {{"-o", "stack.bmp", "--count", "2"}, std::nullopt},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = ParseArguments(c.args);
        SCOPED_TRACE(c.args[1]);
        EXPECT_EQ(parsed.ok, c.format.has_value()) << parsed.error;
        if (!parsed.ok) {
            EXPECT_EQ(parsed.error.rfind("several images in one file need tiff or pdf, not ", 0), 0u)
                << parsed.error;
            continue;
        }
        EXPECT_TRUE(OneFileForAllImages(parsed.options));
        EXPECT_EQ(parsed.options.format, c.format);
    }
    EXPECT_FALSE(OneFileForAllImages(ParseArguments({"-o", "page.tif", "--count", "1"}).options));
}

TEST(TwacquireOptions, WhatTheSourceWritesAndWhatIsForPdfOnly) {
    struct Case {
        std::vector<std::string> args;
        const char* error;  // nothing: accepted
    } cases[] = {
        {{"-o", "a.tif", "-x", "file"}, nullptr},
        {{"-o", "a.png", "-x", "file"}, "--xfer file writes tiff or bmp (the source writes the file), not PNG"},
        {{"-o", "a.tif", "-x", "file", "-f", "pdf"}, "--xfer file writes tiff or bmp (the source writes the file), not PDF"},
        {{"-o", "all.tif", "-x", "file", "--batch"}, "--xfer file writes one file an image: give a %d in the output name"},
        {{"-o", "a.pdf", "--pdf-jpeg", "--jpeg-quality", "75"}, nullptr},
        {{"-o", "a.tif", "--pdf-jpeg"}, "--pdf-jpeg is for pdf output"},
    };
    for (const Case& c : cases) {
        const ParsedArguments parsed = ParseArguments(c.args);
        EXPECT_EQ(parsed.ok, c.error == nullptr) << c.args[1] << ": " << parsed.error;
        if (c.error) {
            EXPECT_EQ(parsed.error, c.error);
        }
    }
    const Options o = ParseArguments({"-o", "a.pdf", "--pdf-jpeg", "--jpeg-quality", "75"}).options;
    EXPECT_TRUE(o.pdfJpeg);
    EXPECT_EQ(o.jpegQuality, 75);
    EXPECT_EQ(ParseArguments({"-o", "a.jpg"}).options.jpegQuality, 90);
}

TEST(TwacquireOptions, OutputNamesWithAStrayPercentAreRefused) {
    EXPECT_FALSE(ParseArguments({"-o", "100%.tif"}).ok);
    EXPECT_TRUE(ParseArguments({"-o", "100%%.tif"}).ok);
}

TEST(TwacquireOptions, TheExtensionTellsTheFormat) {
    EXPECT_EQ(FormatOfName("scan.TIF"), FileFormat::Tiff);
    EXPECT_EQ(FormatOfName("C:\\scans\\a.tiff"), FileFormat::Tiff);
    EXPECT_EQ(FormatOfName("page%d.bmp"), FileFormat::Bmp);
    EXPECT_EQ(FormatOfName("scan.png"), FileFormat::Png);
    EXPECT_EQ(FormatOfName("scan.JPG"), FileFormat::Jpeg);
    EXPECT_EQ(FormatOfName("scan.jpeg"), FileFormat::Jpeg);
    EXPECT_EQ(FormatOfName("stack.Pdf"), FileFormat::Pdf);
    EXPECT_EQ(FormatOfName("scan.gif"), std::nullopt);
    EXPECT_EQ(FormatOfName("dir.bmp\\scan"), std::nullopt);
}
