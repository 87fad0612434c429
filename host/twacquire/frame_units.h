// The scan area of --frame in inches, the unit every TWAIN source knows.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/options.h"

#include <optional>

namespace twacquire {

// The frame converted from `units` to inches; pixels go through the
// resolution (dots per inch across and down), which must then be known.
std::optional<Frame> FrameInInches(const Frame& frame, Units units, double xDpi, double yDpi);

}  // namespace twacquire
