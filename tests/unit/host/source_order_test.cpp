// The order the source manager lists sources in and its choice of default.
#include "host/dsm/source_order.h"

#include <gtest/gtest.h>

using namespace dsm;

TEST(SourceOrder, PathsAreSortedIgnoringCase) {
    std::vector<std::string> paths = {
        "C:\\windows\\TWAIN_64\\Zeta\\z.ds",
        "C:\\windows\\TWAIN_64\\alpha\\b.ds",
        "C:\\windows\\TWAIN_64\\ALPHA\\a.ds",
        "C:\\windows\\TWAIN_64\\Beta.ds",
    };
    SortSourcePaths(paths);
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "C:\\windows\\TWAIN_64\\ALPHA\\a.ds",
                         "C:\\windows\\TWAIN_64\\alpha\\b.ds",
                         "C:\\windows\\TWAIN_64\\Beta.ds",
                         "C:\\windows\\TWAIN_64\\Zeta\\z.ds",
                     }));
}

TEST(SourceOrder, AShorterPathThatIsAPrefixComesFirst) {
    EXPECT_TRUE(SourcePathLess("C:\\a.ds", "C:\\a.ds.old.ds"));
    EXPECT_FALSE(SourcePathLess("C:\\a.ds.old.ds", "C:\\a.ds"));
    EXPECT_FALSE(SourcePathLess("C:\\A.DS", "c:\\a.ds")) << "same file, different case";
}

TEST(SourceOrder, DefaultIsTheSourceNamedInTheSettings) {
    const std::vector<std::string> names = {"Flatbed", "Tavlen", "Camera"};
    EXPECT_EQ(DefaultSourceIndex(names, "Tavlen"), 1u);
    EXPECT_EQ(DefaultSourceIndex(names, "Camera"), 2u);
    // WIN.INI drops the blank a source may end its name with.
    EXPECT_EQ(DefaultSourceIndex({"Flatbed", "Tavlen "}, "Tavlen"), 1u);
}

TEST(SourceOrder, DefaultIsTheFirstWhenTheSettingNamesNoInstalledSource) {
    const std::vector<std::string> names = {"Flatbed", "Tavlen"};
    EXPECT_EQ(DefaultSourceIndex(names, ""), 0u);
    EXPECT_EQ(DefaultSourceIndex(names, "Gone Scanner"), 0u);
    EXPECT_EQ(DefaultSourceIndex(names, "tavlen"), 0u) << "product names are matched exactly";
}

TEST(SourceOrder, ThereIsNoDefaultWithoutSources) {
    EXPECT_FALSE(DefaultSourceIndex({}, "Tavlen"));
    EXPECT_FALSE(DefaultSourceIndex({}, ""));
}

TEST(SourceOrder, FieldTextStopsAtTheZeroOrTheFieldEnd) {
    const char terminated[8] = {'a', 'b', '\0', 'x', 'x', 'x', 'x', 'x'};
    const char full[4] = {'w', 'x', 'y', 'z'};
    EXPECT_EQ(FieldText(terminated, sizeof terminated), "ab");
    EXPECT_EQ(FieldText(full, sizeof full), "wxyz");
}
