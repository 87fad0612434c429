// Output names of the images of a batch.
#include "host/twacquire/output_name.h"

#include <gtest/gtest.h>

using namespace twacquire;

TEST(TwacquireOutputName, TheNumberFieldCountsTheImages) {
    EXPECT_EQ(OutputName("page%d.tif", 1), "page1.tif");
    EXPECT_EQ(OutputName("page%d.tif", 12), "page12.tif");
    EXPECT_EQ(OutputName("scan%03d.bmp", 7), "scan007.bmp");
    EXPECT_EQ(OutputName("scan%3d.bmp", 7), "scan  7.bmp");
}

TEST(TwacquireOutputName, APlainNameStaysAsItIs) {
    EXPECT_EQ(OutputName("C:\\scans\\page.tif", 3), "C:\\scans\\page.tif");
    EXPECT_FALSE(HasNumberField("page.tif"));
}

TEST(TwacquireOutputName, ADoublePercentIsAPercentSign) {
    EXPECT_EQ(OutputName("100%%-%d.tif", 2), "100%-2.tif");
    EXPECT_FALSE(HasNumberField("100%%d.tif")) << "%%d is a percent sign and a d";
    EXPECT_EQ(OutputName("100%%d.tif", 2), "100%d.tif");
}

TEST(TwacquireOutputName, OnlyNumberFieldsAndPercentSignsAreValid) {
    EXPECT_TRUE(ValidPattern("a%d%%b%05d"));
    EXPECT_FALSE(ValidPattern("a%s.tif"));
    EXPECT_FALSE(ValidPattern("a%"));
    EXPECT_FALSE(ValidPattern("a%12345d")) << "a field wider than printf is given here";
}
