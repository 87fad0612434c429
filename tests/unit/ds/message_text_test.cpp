#include "ds/twain/message_text.h"

#include <gtest/gtest.h>

TEST(DiskSpaceMessage, PrintsSmallSizesInBytesAndLargerOnesInWholeKilobytes) {
    EXPECT_EQ(FormatDiskSize(0), "0");
    EXPECT_EQ(FormatDiskSize(1024), "1024");
    EXPECT_EQ(FormatDiskSize(1025), "1K");
    EXPECT_EQ(FormatDiskSize(2047), "1K");
    EXPECT_EQ(FormatDiskSize(5ull * 1024 * 1024 * 1024), "5242880K");
}

TEST(DiskSpaceMessage, NamesTheRequiredSizeFirstThenTheFreeSize) {
    EXPECT_EQ(DiskSpaceText(512, 3 * 1024 * 1024, " need, have ", " free."),
              "3072K need, have 512 free.");
}

TEST(Identity, ProductNameIsTheBrandAndOneBlank) {
    EXPECT_EQ(IdentityProductName("Tavlen "), "Tavlen ");
    EXPECT_EQ(IdentityProductName(" "), " ");
}

TEST(Identity, AnOverlongBrandIsCutSoTheBlankStillFitsTheField) {
    const std::string name = IdentityProductName(std::string(40, 'B') + " ");
    EXPECT_EQ(name.size(), 33u);  // the 34-byte field keeps its terminating zero
    EXPECT_EQ(name, std::string(32, 'B') + " ");
}

TEST(MessageCaption, PutsTwoBlanksBetweenBrandAndText) {
    EXPECT_EQ(MessageCaption("Tavlen ", " Flatbed Scanner"), "Tavlen   Flatbed Scanner");
    EXPECT_EQ(MessageCaption("Tavlen ", "Flatbed Scanner not ready."),
              "Tavlen  Flatbed Scanner not ready.");
}
