// What twacquire says when it cannot deliver the image, the exit code it
// ends with, and that it leaves no file behind.
#include "tests/win/twacquire/twacquire_run.h"

using namespace twtest;

namespace {

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(TwacquireTest, ARefusedResolutionNamesTheCapabilityAndTheCondition) {
    const ProgramRun run = RunTwacquire("-o " + Out("x.tif") + " --resolution 150");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_TRUE(Has(run.err, "the source refused ICAP_XRESOLUTION = 150: TWRC_FAILURE, TWCC_BADVALUE"))
        << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, ARefusedSettingAndAnUnknownCapability) {
    const ProgramRun refused = RunTwacquire("-o " + Out("x.tif") + " --set ICAP_PIXELTYPE=TWPT_CMYK");
    EXPECT_EQ(refused.exitCode, 5u);
    EXPECT_TRUE(Has(refused.err, "ICAP_PIXELTYPE = TWPT_CMYK")) << refused.err;
    EXPECT_TRUE(Has(refused.err, "TWCC_BADVALUE")) << refused.err;

    const ProgramRun unknown = RunTwacquire("-o " + Out("x.tif") + " --set ICAP_SHARPNESS=3");
    EXPECT_EQ(unknown.exitCode, 1u);
    EXPECT_TRUE(Has(unknown.err, "unknown capability 'ICAP_SHARPNESS'")) << unknown.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, HalftoneThatTheSourceCannotGiveIsRefused) {
    const ProgramRun run = RunTwacquire("-o " + Out("x.tif") + " --mode halftone");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_TRUE(Has(run.err, "the source does not halftone on request")) << run.err;
    EXPECT_TRUE(Has(run.err, "ICAP_BITDEPTHREDUCTION")) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, AMissingSourceIsNamedWithTheSourcesThereAre) {
    const ProgramRun run = RunTwacquire("-o " + Out("x.tif") + " --source \"No Such Scanner\"");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_TRUE(Has(run.err, "no data source is named 'No Such Scanner'; installed: ")) << run.err;
    EXPECT_TRUE(Has(run.err, "'Tavlen")) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, TheSourceIsFoundByItsNameInAnyCase) {
    const ProgramRun run =
        RunTwacquire("-o " + Out("x.tif") + " --source TAVLEN --resolution 72 --frame 0,0,1,1 -q");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(Files(), std::vector<std::string>{"x.tif"});
}

TEST_F(TwacquireTest, APaperJamAtTheStartIsADeviceConditionWithTheSourcesText) {
    // The red pass cannot start. The source reports it in a message box,
    // which twacquire repeats and answers.
    ini_.Set(kScanner, "StartFaultPass", "1");
    ini_.Set(kScanner, "StartFaultStatus", "0x8217");
    const ProgramRun run = RunTwacquire("-o " + Out("x.tif") + " --mode color -q");
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_TRUE(Has(run.err, "the scan failed: TWRC_CANCEL, TWCC_OPERATIONERROR")) << run.err;
    EXPECT_TRUE(Has(run.err, "Paper Jammed in Automatic Document Feeder")) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, AFaultInTheMiddleOfTheScanLeavesNoPartOfTheImage) {
    ini_.Set(kScanner, "ReadFaultLine", "100");
    ini_.Set(kScanner, "ReadFaultStatus", "0x8414");
    for (const char* xfer : {"memory", "native", "file"}) {
        SCOPED_TRACE(xfer);
        const ProgramRun run = RunTwacquire("-o " + Out("x.tif") + " --mode color --resolution 200 "
                                            "--frame 0,0,3,3 -q --xfer " + xfer);
        EXPECT_EQ(run.exitCode, 7u);
        EXPECT_TRUE(Has(run.err, "failed: TWRC_CANCEL, TWCC_OPERATIONERROR")) << run.err;
        // The source's own words follow the condition.
        EXPECT_TRUE(Has(run.err, "TWCC_OPERATIONERROR (the device or the source failed): ")) << run.err;
        EXPECT_TRUE(Has(run.err, "twacquire: the source says: ")) << run.err;
        EXPECT_TRUE(Files().empty());
    }
}

TEST_F(TwacquireTest, EscapeDuringTheScanCancels) {
    ini_.Set(kScanner, "EscapeAfterLines", "300");
    const ProgramRun run = RunTwacquire("-o " + Out("x.tif") + " --mode gray --resolution 300 -q");
    EXPECT_EQ(run.exitCode, 6u);
    EXPECT_TRUE(Has(run.err, "the transfer was cancelled")) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, AnEmptyFeederEndsTheBatchBeforeItStarts) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "0");
    const ProgramRun run = RunTwacquire("-o " + Out("p%d.tif") + " --batch");
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_TRUE(Has(run.err, "the document feeder is empty")) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, ABatchWithoutAFeederIsRefused) {
    const ProgramRun run = RunTwacquire("-o " + Out("p%d.tif") + " --count 3");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_TRUE(Has(run.err, "CAP_FEEDERENABLED")) << run.err;
    EXPECT_TRUE(Has(run.err, "a batch needs the document feeder")) << run.err;
}

TEST_F(TwacquireTest, AnOutputThatCannotBeCreatedIsSaid) {
    const ProgramRun run =
        RunTwacquire("-o " + Out("no_folder\\x.tif") + " --resolution 72 --frame 0,0,1,1 -q");
    EXPECT_EQ(run.exitCode, 8u);
    EXPECT_TRUE(Has(run.err, "cannot create " + Out("no_folder\\x.tif"))) << run.err;
    EXPECT_TRUE(Files().empty());
}

TEST_F(TwacquireTest, ABatchEndedAtPageTwoLeavesTheFileOfAllPagesCompleteWithPageOne) {
    ini_.Set(kScanner, "Feeder", "1");
    // Escape during page 1 (836 lines at 72 dpi) reaches the source as page
    // 2 starts.
    ini_.Set(kScanner, "EscapeAfterLines", "400");
    for (const char* name : {"stack.tif", "stack.pdf"}) {
        SCOPED_TRACE(name);
        ini_.Set(kScanner, "Pages", "3");
        const ProgramRun run = RunTwacquire("-o " + Out(name) + " --batch --mode gray --resolution 72 -q");
        EXPECT_EQ(run.exitCode, 6u) << run.err;
        EXPECT_TRUE(Has(run.err, "the transfer was cancelled")) << run.err;
        EXPECT_TRUE(Has(run.err, "the batch ended at page 2; " + Out(name) +
                                     " is complete with the 1 page before it"))
            << run.err;
    }
    EXPECT_EQ(ReadImageHeader(Out("stack.tif")).pages, 1);
    const std::vector<unsigned char> pdf = wintest::ReadWholeFile(Out("stack.pdf"));
    const std::string tail(pdf.end() - std::min<size_t>(pdf.size(), 6), pdf.end());
    EXPECT_EQ(tail, "%%EOF\n") << "the trailer is written";
}

TEST_F(TwacquireTest, ADeviceFaultInABatchKeepsThePagesBeforeItAndSaysWhichPageFailed) {
    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "ReadFaultLine", "100");
    ini_.Set(kScanner, "ReadFaultStatus", "0x8414");
    ini_.Set(kScanner, "ReadFaultPage", "2");
    for (const char* name : {"stack.tif", "stack.pdf"}) {
        SCOPED_TRACE(name);
        ini_.Set(kScanner, "Pages", "3");
        const ProgramRun run = RunTwacquire("-o " + Out(name) + " --batch --mode gray --resolution 72 -q");
        EXPECT_EQ(run.exitCode, 7u) << run.err;
        EXPECT_TRUE(Has(run.err, "the batch ended at page 2; " + Out(name) +
                                     " is complete with the 1 page before it"))
            << run.err;
    }
    EXPECT_EQ(ReadImageHeader(Out("stack.tif")).pages, 1);

    // On the first page there is nothing to keep.
    ini_.Set(kScanner, "Pages", "3");
    ini_.Set(kScanner, "ReadFaultPage", "1");
    const ProgramRun run = RunTwacquire("-o " + Out("first.pdf") + " --batch --mode gray --resolution 72 -q");
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_TRUE(Has(run.err, "the batch ended at page 1; no file is written")) << run.err;
    EXPECT_FALSE(wintest::FileExists(Out("first.pdf")));
}
