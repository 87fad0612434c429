// Start blocks as the data source and the prescan module fill them.
#pragma once

#include "common/driver_request.h"

#include <cstring>

namespace scannertest {

// A neutral block: grey, one pass, tone codes 12, full level range.
inline ScanParameterBlock GreyBlock(uint16_t modelSent, uint16_t res, uint16_t left, uint16_t top,
                                    uint16_t right, uint16_t bottom) {
    ScanParameterBlock b;
    std::memset(&b, 0, sizeof b);
    b.LengthUnit = 1;
    b.FrameUnit = 1;
    b.Frame[0] = left;
    b.Frame[1] = top;
    b.Frame[2] = right;
    b.Frame[3] = bottom;
    b.ModelCode = modelSent;
    b.ScanRes = res;
    b.BrightnessCode = 12;
    b.ContrastCode = 12;
    b.Velocity = 1;
    b.Gamma = 1;
    b.ShadowLevel = 0;
    b.HighlightLevel = 255;
    return b;
}

}  // namespace scannertest
