// The three image transfers, each taking one image from a source in state
// 6: the file transfer leaves the output file complete or no file at all;
// the others hand over the image for the output to save.
#pragma once

#include "host/twacquire/data_source.h"
#include "host/twacquire/options.h"
#include "host/twacquire/progress_text.h"
#include "host/twacquire/strip_assembly.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace twacquire {

struct TransferResult {
    // The transfer's return code (TWRC_XFERDONE, TWRC_CANCEL, TWRC_FAILURE).
    TW_UINT16 rc = TWRC_FAILURE;
    // With TWRC_XFERDONE: false and `error` when the output could not be made.
    bool saved = false;
    std::string error;
    ImageFacts facts;
};

// What a native transfer hands over: the bitmap as a BMP file, or as a
// raster for every other format.
struct NativeImage {
    TW_UINT16 rc = TWRC_FAILURE;
    std::string error;  // with TWRC_XFERDONE: why there is no image
    std::vector<uint8_t> bmpFile;
    std::optional<Raster> raster;
    ImageFacts facts;
};

// DAT_IMAGENATIVEXFER: the bitmap as a BMP file when `asBmp`, else as a
// raster. A bitmap without a resolution of its own gets the one of `info`.
NativeImage NativeTransfer(DataSource& source, bool asBmp, const TW_IMAGEINFO& info);

// DAT_IMAGEFILEXFER: the source writes `path` itself in `format`.
TransferResult FileTransfer(DataSource& source, const std::string& path, FileFormat format,
                            const TW_IMAGEINFO& info);

// DAT_IMAGEMEMXFER: the strips of one transfer into `image`, with the
// progress bar. The caller saves the image once it is complete (a planar
// source may need more transfers for its planes).
TW_UINT16 MemoryTransfer(DataSource& source, StripAssembler& image, FILE* err, bool quiet,
                         std::string& error);

}  // namespace twacquire
