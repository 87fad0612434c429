// Where the images of a run go: a file an image in any format, or the
// pages of one TIFF or PDF when several images have one output name.
#pragma once

#include "host/twacquire/multipage_file.h"
#include "host/twacquire/options.h"
#include "host/twacquire/raster.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace twacquire {

class ImageOutput {
public:
    ImageOutput(const Options& options, FileFormat format);

    // Whether the encoders this output needs are there: an encoding of a
    // tiny image of each kind the run may give. False and why when not.
    bool Check(std::string& error) const;

    // Saves image `number` (from 1). `name` is what the summary line calls
    // it, `bytes` what it added to the disk. False and why when it cannot.
    bool Save(int number, const Raster& raster, std::string& name, uint64_t& bytes,
              std::string& error);
    // Saves a file made elsewhere (a native bitmap as BMP) as image `number`.
    bool SaveFile(int number, const std::vector<uint8_t>& file, std::string& name,
                  std::string& error);

    // Completes the file of all pages (when there is one) with the pages
    // saved so far.
    bool Finish(std::string& error);

    bool OneFile() const { return document_ != nullptr; }
    int Pages() const { return document_ ? document_->Pages() : 0; }
    const std::string& Pattern() const { return pattern_; }

private:
    bool Encode(const Raster& raster, std::vector<uint8_t>& file, std::string& error) const;
    bool AddPage(MultiPageFile& file, const Raster& raster, std::string& error) const;

    std::string pattern_;
    FileFormat format_;
    int jpegQuality_;
    bool pdfJpeg_;
    std::unique_ptr<MultiPageFile> document_;
};

}  // namespace twacquire
