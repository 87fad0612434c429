#include "host/twacquire/frame_units.h"

namespace twacquire {

std::optional<Frame> FrameInInches(const Frame& f, Units units, double xDpi, double yDpi) {
    double across = 1, down = 1;
    switch (units) {
    case Units::Inches: break;
    case Units::Centimetres: across = down = 1 / 2.54; break;
    case Units::Millimetres: across = down = 1 / 25.4; break;
    case Units::Pixels:
        if (!(xDpi > 0) || !(yDpi > 0)) return std::nullopt;
        across = 1 / xDpi;
        down = 1 / yDpi;
        break;
    }
    return Frame{f.left * across, f.top * down, f.right * across, f.bottom * down};
}

}  // namespace twacquire
