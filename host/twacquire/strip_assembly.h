// Puts the strips of a memory transfer together into one raster: chunky
// images strip by strip, planar colour from its three planes, whether a
// source sends the planes in one transfer or one transfer each.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/raster.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace twacquire {

// What the source said of the image before its transfer (DAT_IMAGEINFO and
// the pixel flavour and bit order it reports).
struct ImageShape {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitsPerPixel = 8;  // 1, 8 or 24
    bool planar = false;   // 24 bits as three 8-bit planes
    bool whiteIsZero = false;
    bool lsbFirst = false;  // 1-bit pixels packed from the least significant bit
    double xDpi = 0;
    double yDpi = 0;
};

// One strip as TW_IMAGEMEMXFER describes it.
struct Strip {
    uint32_t bytesPerRow = 0;
    uint32_t columns = 0;
    uint32_t rows = 0;
    uint32_t xOffset = 0;
    uint32_t yOffset = 0;
};

class StripAssembler {
public:
    explicit StripAssembler(const ImageShape& shape);

    // Places a strip; false (and why) when it does not fit the image or
    // `data` is shorter than its rows.
    bool Add(const Strip& strip, std::span<const uint8_t> data, std::string& error);
    // A transfer has ended: a planar source that sends one plane per
    // transfer goes on with the next plane.
    void EndTransfer();

    // Every byte of the image has arrived.
    bool Complete() const { return received_ >= Expected(); }
    uint64_t Received() const { return received_; }
    uint64_t Expected() const;

    // The image (planes interleaved into red, green, blue pixels).
    Raster TakeRaster();

private:
    uint32_t PlaneRowBytes() const;
    bool PlaceRow(std::vector<uint8_t>& target, uint32_t targetRowBytes, uint32_t y,
                  uint32_t xOffset, uint32_t columns, int bits, const uint8_t* source);

    ImageShape shape_;
    std::vector<uint8_t> pixels_;                // chunky image
    std::vector<std::vector<uint8_t>> planes_;   // planar colour
    std::vector<uint64_t> planeBytes_;
    size_t plane_ = 0;
    uint64_t received_ = 0;
};

}  // namespace twacquire
