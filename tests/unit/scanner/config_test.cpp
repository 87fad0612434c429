// Configuration values: numbers as written in WIN.INI and the keys read.
#include "outside/scanner/scanner_config.h"

#include <gtest/gtest.h>

#include <map>

using namespace scanner;

TEST(ConfigNumbers, DecimalHexAndRubbish) {
    EXPECT_EQ(ParseNumber("12000"), 12000);
    EXPECT_EQ(ParseNumber("  7 "), 7);
    EXPECT_EQ(ParseNumber("0x8321"), 0x8321);
    EXPECT_EQ(ParseNumber("0X00ff"), 0xFF);
    EXPECT_EQ(ParseNumber("-1"), -1);
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("12a"));
    EXPECT_FALSE(ParseNumber("0x"));
    EXPECT_FALSE(ParseNumber("8217h"));
    EXPECT_FALSE(ParseNumber("99999999999999")) << "too long to be a number we use";
}

TEST(ConfigKeys, EveryKeyIsRead) {
    std::map<std::string, std::string> ini = {
        {"Model", "6060"}, {"Adapter", "1"}, {"Feeder", "1"}, {"ColourWithFeeder", "0"},
        {"Pages", "3"}, {"Firmware", "2.10"}, {"Picture", "C:\\pics\\a.bmp"}, {"LineDelay", "5"},
        {"Log", "C:\\log.txt"}, {"InquiryStatus", "0x00FF"}, {"NotReadyPolls", "2"},
        {"NotReadyAfter", "3"}, {"StartFaultPass", "2"}, {"StartFaultStatus", "0x8414"},
        {"StartRefusals", "4"}, {"StartRefusalStatus", "0x0010"}, {"ReadFaultLine", "40"},
        {"ReadFaultStatus", "0x8321"}, {"ReadFaultPass", "1"}, {"ReadFaultCount", "1"},
        {"ZeroLineCount", "1"}, {"EscapeAfterLines", "100"}, {"Unrelated", "9"}};
    ScannerConfig c = ConfigFromLookup([&](const char* key) -> std::optional<std::string> {
        auto it = ini.find(key);
        if (it == ini.end()) return std::nullopt;
        return it->second;
    });
    EXPECT_EQ(c.model, 6060u);
    EXPECT_TRUE(c.adapter);
    EXPECT_TRUE(c.feeder);
    EXPECT_FALSE(c.colourWithFeeder);
    EXPECT_EQ(c.pages, 3u);
    EXPECT_EQ(c.firmware, "2.10");
    EXPECT_EQ(c.picture, "C:\\pics\\a.bmp");
    EXPECT_EQ(c.lineDelayMs, 5u);
    EXPECT_EQ(c.logPath, "C:\\log.txt");
    EXPECT_EQ(c.inquiryStatus, 0x00FF);
    EXPECT_EQ(c.notReadyPolls, 2u);
    EXPECT_EQ(c.notReadyAfter, 3u);
    EXPECT_EQ(c.startFaultPass, 2);
    EXPECT_EQ(c.startFaultStatus, 0x8414);
    EXPECT_EQ(c.startRefusals, 4u);
    EXPECT_EQ(c.startRefusalStatus, 0x0010);
    EXPECT_EQ(c.readFaultLine, 40);
    EXPECT_EQ(c.readFaultStatus, 0x8321);
    EXPECT_EQ(c.readFaultPass, 1);
    EXPECT_EQ(c.readFaultCount, 1u);
    EXPECT_TRUE(c.zeroLineCount);
    EXPECT_EQ(c.escapeAfterLines, 100u);
}

TEST(ConfigKeys, ValuesThatAreNotNumbersKeepTheDefaults) {
    ScannerConfig c = ConfigFromLookup([](const char* key) -> std::optional<std::string> {
        if (std::string(key) == "Model") return "ZEB";
        if (std::string(key) == "Pages") return "";
        return std::nullopt;
    });
    EXPECT_EQ(c.model, 12000u);
    EXPECT_EQ(c.pages, 1u);
}
