// Encoding a raster with the Windows Imaging Component: PNG and JPEG.
#pragma once

#include "host/twacquire/raster.h"

#include <cstdint>
#include <string>
#include <vector>

namespace twacquire {

enum class WicFormat { Png, Jpeg };

// The file of `raster` in `format`, with its resolution. PNG takes 1, 8
// and 24 bits as they are; JPEG takes 8 and 24 (the caller expands a
// bilevel raster to grey). `jpegQuality` is 1 to 100.
// False, and `error` naming the encoder and the step that failed, when the
// component cannot do it.
bool WicEncode(const Raster& raster, WicFormat format, int jpegQuality, std::vector<uint8_t>& file,
               std::string& error);

}  // namespace twacquire
