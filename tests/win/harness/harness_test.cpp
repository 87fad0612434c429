// The test harness itself: the prefix has the product folder, WIN.INI keys
// are put back, and the message-box watcher reads and dismisses boxes.
#include "common/twain.h"
#include "tests/support/message_box_watcher.h"
#include "tests/support/wine_support.h"

#include <gtest/gtest.h>

using namespace wintest;

TEST(Harness, ProductFolderExistsInThePrefix) {
    DWORD attributes = GetFileAttributesA(ProductFolder().c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << ProductFolder();
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Harness, WinIniKeysArePutBackAsTheyWere) {
    const std::string section = "PAVOHARNESS";
    WriteProfileStringA(section.c_str(), "Kept", "before");
    {
        WinIniKeys keys;
        keys.Set(section, "Kept", "during");
        keys.Set(section, "Added", "new");
        keys.Keep(section, "Written");
        WriteProfileStringA(section.c_str(), "Written", "by the code under test");
        EXPECT_EQ(ReadWinIni(section, "Kept"), "during");
        EXPECT_EQ(ReadWinIni(section, "Added"), "new");
    }
    EXPECT_EQ(ReadWinIni(section, "Kept"), "before");
    EXPECT_FALSE(ReadWinIni(section, "Added"));
    EXPECT_FALSE(ReadWinIni(section, "Written"));
    WriteProfileStringA(section.c_str(), nullptr, nullptr);
    EXPECT_FALSE(ReadWinIni(section, "Kept"));
}

TEST(Harness, EmptyValueIsNotAnAbsentKey) {
    WinIniKeys keys;
    keys.Set("PAVOHARNESS", "Empty", "");
    EXPECT_EQ(ReadWinIni("PAVOHARNESS", "Empty"), "");
    keys.Remove("PAVOHARNESS", "Empty");
    EXPECT_FALSE(ReadWinIni("PAVOHARNESS", "Empty"));
}

TEST(MessageBoxWatcher, ReadsCaptionTextAndIconAndPressesOk) {
    MessageBoxWatcher watcher;
    int first = MessageBoxA(nullptr, "Flatbed Scanner not found.", "Tavlen  Flatbed Scanner",
                            MB_OK | MB_ICONINFORMATION);
    int second = MessageBoxA(nullptr, "Out of paper", "Second box", MB_OK | MB_ICONSTOP);
    EXPECT_EQ(first, IDOK);
    EXPECT_EQ(second, IDOK);
    ASSERT_TRUE(watcher.WaitFor(2));
    auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Tavlen  Flatbed Scanner");
    EXPECT_EQ(boxes[0].text, "Flatbed Scanner not found.");
    EXPECT_EQ(boxes[0].icon, BoxIcon::Information);
    EXPECT_EQ(boxes[1].caption, "Second box");
    EXPECT_EQ(boxes[1].text, "Out of paper");
    EXPECT_EQ(boxes[1].icon, BoxIcon::Stop);
}

TEST(MessageBoxWatcher, PressesTheDefaultButtonOfAQuestion) {
    MessageBoxWatcher watcher;
    int answer = MessageBoxA(nullptr, "Replace it?", "Question",
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(answer, IDNO);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_EQ(watcher.Boxes()[0].icon, BoxIcon::Question);
}
