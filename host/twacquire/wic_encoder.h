// Encoding a raster with the Windows Imaging Component: PNG, JPEG, and
// TIFF with CCITT group 4 for the bilevel pages of a PDF.
#pragma once

#include "host/twacquire/raster.h"

#include <cstdint>
#include <string>
#include <vector>

namespace twacquire {

enum class WicFormat { Png, Jpeg, TiffG4 };

// The file of `raster` in `format`, with its resolution. PNG takes 1, 8
// and 24 bits as they are; JPEG takes 8 and 24 (the caller expands a
// bilevel raster to grey); TIFF G4 takes 1 bit. `jpegQuality` is 1 to 100.
// False, and `error` naming the encoder and the step that failed, when the
// component cannot do it.
bool WicEncode(const Raster& raster, WicFormat format, int jpegQuality, std::vector<uint8_t>& file,
               std::string& error);

}  // namespace twacquire
