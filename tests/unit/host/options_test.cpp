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
}
