// The forms a raster takes for the encoders: bilevel as grey for JPEG,
// and 0 as black and blue first for the imaging component.
#include "host/twacquire/raster_forms.h"

#include <gtest/gtest.h>

using namespace twacquire;

namespace {

Raster Of(int bits, bool whiteIsZero, uint32_t width, std::vector<uint8_t> rows) {
    Raster r;
    r.width = width;
    r.height = 1;
    r.bitsPerPixel = bits;
    r.whiteIsZero = whiteIsZero;
    r.xDpi = r.yDpi = 300;
    r.rows = std::move(rows);
    return r;
}

}  // namespace

TEST(TwacquireRasterForms, BilevelBecomesGreyWithBlackAtZero) {
    struct Case {
        bool whiteIsZero;
        std::vector<uint8_t> grey;
    } cases[] = {
        {false, {255, 0, 255, 255, 0, 0, 0, 0, 255, 0}},
        {true, {0, 255, 0, 0, 255, 255, 255, 255, 0, 255}},
    };
    for (const Case& c : cases) {
        const Raster grey = ExpandedToGrey(Of(1, c.whiteIsZero, 10, {0xB0, 0x80}));
        EXPECT_EQ(grey.bitsPerPixel, 8);
        EXPECT_FALSE(grey.whiteIsZero);
        EXPECT_EQ(grey.xDpi, 300);
        EXPECT_EQ(grey.rows, c.grey) << c.whiteIsZero;
    }
    EXPECT_EQ(ExpandedToGrey(Of(8, false, 2, {7, 9})).rows, (std::vector<uint8_t>{7, 9}));
}

TEST(TwacquireRasterForms, RowsForTheImagingComponent) {
    struct Case {
        Raster raster;
        std::vector<uint8_t> rows;
    } cases[] = {
        {Of(24, false, 2, {1, 2, 3, 4, 5, 6}), {3, 2, 1, 6, 5, 4}},
        {Of(8, false, 2, {0, 200}), {0, 200}},
        {Of(8, true, 2, {0, 200}), {255, 55}},
        {Of(1, true, 8, {0x0F}), {0xF0}},
        {Of(1, false, 8, {0x0F}), {0x0F}},
    };
    for (const Case& c : cases) EXPECT_EQ(BlackAtZeroBgrRows(c.raster), c.rows) << c.raster.bitsPerPixel;
}
