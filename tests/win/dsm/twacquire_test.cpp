// twacquire run as a user would run it: a separate process whose output is
// read through pipes.
#include "tests/win/dsm/source_fixture.h"

#include "common/product.h"
#include "tests/support/wine_support.h"

#include <cstdio>
#include <string>

using namespace dsmtest;

namespace {

using wintest::ProgramRun;

// Runs twacquire (the built one, or the copy at `program`) with `arguments`.
ProgramRun RunTwacquire(const std::string& arguments, std::string program = "") {
    if (program.empty()) program = WindowsPathOf(PAVO_TWACQUIRE_FILE);
    return wintest::RunProgram(program, arguments, 30000);
}

}  // namespace

TEST_F(ManagerTest, TwacquireListPrintsTheIdentityOfEachSource) {
    folder.InstallSource("alpha.ds");
    folder.InstallSource("nested\\beta.ds");

    const ProgramRun run = RunTwacquire("--list");
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const std::string out = run.out;
    for (const char* stem : {"alpha", "beta"}) {
        const std::string block = "Product name:   " + TestSourceName(stem) +
                                  "\n"
                                  "Manufacturer:   Bench Instruments\n"
                                  "Product family: Source Doubles\n"
                                  "Version:        2.3 (double 2.3)\n"
                                  "Protocol:       1.5\n";
        EXPECT_NE(out.find(block), std::string::npos) << "no block for " << stem << " in:\n" << out;
    }
    EXPECT_LT(out.find(TestSourceName("alpha")), out.find(TestSourceName("beta")))
        << "sources are printed in the manager's order";
    EXPECT_EQ(run.err, "");
}

TEST_F(ManagerTest, TwacquireNumbersTheSourceBlocks) {
    folder.InstallSource("alpha.ds");
    const ProgramRun run = RunTwacquire("--list");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    const std::string out = run.out;
    EXPECT_EQ(out.rfind("Source 1\nProduct name:   ", 0), 0u) << out;
}

TEST_F(ManagerTest, TwacquireHelpDescribesTheCommands) {
    const ProgramRun run = RunTwacquire("--help");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_NE(run.out.find("--list"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Usage: twacquire"), std::string::npos) << run.out;
}

TEST_F(ManagerTest, TwacquireRejectsAnUnknownArgument) {
    const ProgramRun run = RunTwacquire("--frobnicate");
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_NE(run.err.find("unknown argument '--frobnicate'"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(ManagerTest, TwacquireSaysSoWhenTheSourceManagerCannotBeLoaded) {
    // A copy of twacquire beside a damaged source manager module, which is
    // found before the one in the system folder.
    const std::string folder = wintest::TempPath("twacquire");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string program = folder + "\\twacquire.exe";
    const std::string damaged = folder + "\\" + kSourceManagerModule;
    ASSERT_TRUE(CopyFileA(WindowsPathOf(PAVO_TWACQUIRE_FILE).c_str(), program.c_str(), FALSE));
    FILE* f = std::fopen(damaged.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a module", f);
    std::fclose(f);

    const ProgramRun run = RunTwacquire("--list", program);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.err.find(std::string("cannot load the TWAIN source manager ") +
                           kSourceManagerModule),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.out, "");

    EXPECT_TRUE(DeleteFileA(program.c_str()));
    EXPECT_TRUE(DeleteFileA(damaged.c_str()));
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
}
