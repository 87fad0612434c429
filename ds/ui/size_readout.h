// The width, length and size of the image shown beside the preview, and the
// byte count kept for the speed rule and the disk-space check.
//
// Pure computation: no Windows header.
#pragma once

#include <cstdint>
#include <string>

struct SizeInputs {
    uint16_t resolution;
    uint16_t scaling;   // percent
    uint16_t dpiScale;  // 1 to 4: enhanced resolution
    uint16_t modelCode;
    uint16_t scanMode;
    uint32_t unit;      // 0 inches, 1 pixels, 2 cm, 3 mm
    bool feederMode;
    int paperCode;      // feeder mode: the page size
    int32_t frameWidth, frameHeight;  // preview pixels, possibly unordered
    double inchesPerPixelX;
    int32_t previewHeight;  // 14 inches of glass
    bool zoomed;
};

// The unit texts of the read-out in the user's language.
struct SizeTexts {
    std::string inches = " inches";
    std::string pixels = " pixels";
    std::string cm = " cm";
    std::string mm = " mm";
    std::string bytes = " Bytes";
    std::string kilobytes = " KBytes";
};

struct SizeReadout {
    uint32_t outputResolution;  // dpi of the delivered image
    double widthInches, lengthInches;
    uint64_t bytes;
    std::string width, length, size;
};

// The resolution of the delivered image: resolution x scaling, or the
// enhanced resolution chosen by `DpiScale` 1 to 4.
uint32_t OutputResolution(uint16_t resolution, uint16_t scaling, uint16_t dpiScale,
                          uint16_t modelCode);

SizeReadout ComputeSizeReadout(const SizeInputs& in, const SizeTexts& texts);
