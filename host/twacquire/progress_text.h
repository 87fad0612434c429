// What twacquire prints while and after it takes an image: the progress
// bar on the error output and the one-line summary of each image.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>

namespace twacquire {

// "[###########.........................]  30%  1.2 MB/s": a bar of
// `width` cells, the percentage of `total` done, and the rate so far. A
// total of 0 shows only the bytes and the rate.
std::string ProgressBar(uint64_t done, uint64_t total, double seconds, int width = 40);

// "1.2 MB/s", "850 KB/s", "12 B/s".
std::string RateText(double bytesPerSecond);

struct ImageFacts {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitsPerPixel = 0;
    double xDpi = 0;
    double yDpi = 0;
    uint64_t bytes = 0;  // of the file written
    double seconds = 0;  // from the start of the scan to the file written
};

// "page1.tif: 2550 x 3300 pixels, 24 bits, 300 x 300 dpi, 25246148 bytes, 4.2 s"
std::string ImageSummary(const std::string& name, const ImageFacts& facts);

}  // namespace twacquire
