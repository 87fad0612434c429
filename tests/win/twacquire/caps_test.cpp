// twacquire --caps, alone and after --set.
#include "tests/win/twacquire/twacquire_run.h"

using namespace twtest;

namespace {

// The line of one capability in the listing, without its indentation.
std::string LineOf(const std::string& listing, const std::string& cap) {
    const size_t at = listing.find("  " + cap + " ");
    if (at == std::string::npos) return "";
    const size_t end = listing.find('\n', at);
    std::string line = listing.substr(at + 2, end - at - 2);
    const size_t value = line.find_first_not_of(' ', cap.size());
    return cap + " " + line.substr(value);
}

}  // namespace

TEST_F(TwacquireTest, CapsListsTheAnsweredCapabilitiesWithCurrentValueAndDefault) {
    const ProgramRun run = RunTwacquire("--caps");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.out.rfind("Capabilities of Tavlen", 0), 0u) << run.out;
    EXPECT_EQ(LineOf(run.out, "ICAP_XRESOLUTION"), "ICAP_XRESOLUTION UINT32, current 300, default 300");
    EXPECT_EQ(LineOf(run.out, "ICAP_PIXELTYPE"),
              "ICAP_PIXELTYPE UINT16, current 0 (TWPT_BW), default 0 (TWPT_BW)");
    EXPECT_EQ(LineOf(run.out, "ICAP_XFERMECH"),
              "ICAP_XFERMECH UINT16, current 2 (TWSX_MEMORY), default 2 (TWSX_MEMORY)");
    EXPECT_EQ(LineOf(run.out, "CAP_XFERCOUNT"), "CAP_XFERCOUNT INT16, current -1, default -1");
    EXPECT_EQ(LineOf(run.out, "ICAP_BRIGHTNESS"), "") << "the source does not answer it";
    EXPECT_EQ(run.err, "");
}

TEST_F(TwacquireTest, SetByNameOrNumberChangesWhatCapsShows) {
    const ProgramRun run = RunTwacquire(
        "--caps --set ICAP_XRESOLUTION=600 --set pixeltype=rgb --set 0x0103=TWSX_NATIVE");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(LineOf(run.out, "ICAP_XRESOLUTION").rfind("ICAP_XRESOLUTION UINT32, current 600", 0), 0u)
        << run.out;
    EXPECT_EQ(LineOf(run.out, "ICAP_PIXELTYPE").rfind("ICAP_PIXELTYPE UINT16, current 2 (TWPT_RGB)", 0), 0u)
        << run.out;
    EXPECT_EQ(LineOf(run.out, "ICAP_XFERMECH").rfind("ICAP_XFERMECH UINT16, current 0 (TWSX_NATIVE)", 0), 0u)
        << run.out;
}

TEST_F(TwacquireTest, AValueThatDoesNotFitTheSourcesTypeIsRefusedBeforeItIsSent) {
    const ProgramRun run = RunTwacquire("--caps --set ICAP_XRESOLUTION=300.5");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_NE(run.err.find("ICAP_XRESOLUTION (UINT32): '300.5' is not a number"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(TwacquireTest, TheFeederCapabilitiesFollowTheScanner) {
    const ProgramRun flatbed = RunTwacquire("--caps");
    ASSERT_EQ(flatbed.exitCode, 0u) << flatbed.err;
    EXPECT_EQ(LineOf(flatbed.out, "CAP_FEEDERLOADED"), "") << "no feeder, no paper to report";
    EXPECT_EQ(LineOf(flatbed.out, "CAP_FEEDERENABLED").rfind("CAP_FEEDERENABLED BOOL, current FALSE", 0), 0u)
        << flatbed.out;

    ini_.Set(kScanner, "Feeder", "1");
    ini_.Set(kScanner, "Pages", "2");
    const ProgramRun feeder = RunTwacquire("--caps");
    ASSERT_EQ(feeder.exitCode, 0u) << feeder.err;
    EXPECT_EQ(LineOf(feeder.out, "CAP_FEEDERLOADED").rfind("CAP_FEEDERLOADED BOOL, current TRUE", 0), 0u)
        << feeder.out;
    EXPECT_EQ(LineOf(feeder.out, "CAP_FEEDERENABLED").rfind("CAP_FEEDERENABLED BOOL, current TRUE", 0), 0u)
        << feeder.out;
}

TEST_F(TwacquireTest, AStripUnderAnInchSetAsTheFramesCapabilityIsWhatIsScanned) {
    const ProgramRun caps = RunTwacquire("--caps");
    ASSERT_EQ(caps.exitCode, 0u) << caps.err;
    for (const char* cap : {"CAP_SUPPORTEDCAPS", "ICAP_BITDEPTH", "ICAP_PHYSICALWIDTH", "ICAP_FRAMES"})
        EXPECT_NE(LineOf(caps.out, cap), "") << cap << " is answered\n" << caps.out;

    const ProgramRun run =
        RunTwacquire("-o " + Out("strip.tif") + " --mode gray --set ICAP_FRAMES=0,1,8.5,1.5");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const ImageHeader h = ReadImageHeader(Out("strip.tif"));
    EXPECT_EQ(h.width, 2550u);
    EXPECT_EQ(h.height, 150u) << "half an inch at 300 dpi, not the default page";
}
