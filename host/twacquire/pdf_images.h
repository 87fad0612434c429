// A raster as the image of a PDF page: its samples compressed with Flate
// (zlib), or the file of a JPEG encoder taken as the stream.
//
// Pure computation: no Windows header.
#pragma once

#include "host/twacquire/pdf_writer.h"
#include "host/twacquire/raster.h"

#include <cstdint>
#include <vector>

namespace twacquire {

// Lossless: the rows as they are, deflated. 1-bit rasters stay 1 bit.
PdfImage FlateImage(const Raster& raster);

// A baseline JPEG file (grey or colour, as `raster` is once a bilevel one
// is expanded to grey) as a DCTDecode stream.
PdfImage JpegImage(const Raster& raster, std::vector<uint8_t> jpeg);

}  // namespace twacquire
