// The objects of a PDF whose pages each carry one image at its physical
// size, written front to back: the header, the pages as they come, and at
// the end the page tree, the catalogue, the cross-reference table and the
// trailer. The image streams are encoded elsewhere (zlib, WIC); this is
// only the container.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace twacquire {

// One image XObject: its samples as the filter encoded them.
struct PdfImage {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitsPerComponent = 8;    // 1 or 8
    bool colour = false;         // DeviceRGB, else DeviceGray
    bool inverted = false;       // Decode [1 0]: 0 is white
    std::string filter;          // FlateDecode or DCTDecode
    double xDpi = 0;             // 0: 72, a point a pixel
    double yDpi = 0;
    std::vector<uint8_t> data;
};

// A length in points (1/72 inch) of `pixels` at `dpi`, as the page size
// gives it ("612", "841.89").
std::string PdfPoints(uint32_t pixels, double dpi);

class PdfWriter {
public:
    // "%PDF-1.4" and a comment of bytes above 127, so that tools take the
    // file for binary.
    std::vector<uint8_t> Header();
    // The page, its content stream and its image: bytes to write after
    // everything written before.
    std::vector<uint8_t> Page(const PdfImage& image);
    // The page tree of every page so far, the catalogue, the document
    // information, the cross-reference table and the trailer.
    std::vector<uint8_t> End();

    int Pages() const { return static_cast<int>(pageObjects_.size()); }

private:
    // Starts object `number` at the current offset.
    void Begin(std::vector<uint8_t>& out, uint32_t number);
    void Written(const std::vector<uint8_t>& out) { written_ += out.size(); }

    uint64_t written_ = 0;
    std::vector<uint64_t> offsets_;  // of object n at [n - 1]
    std::vector<uint32_t> pageObjects_;
};

}  // namespace twacquire
