#include "host/twacquire/image_output.h"

#include "host/twacquire/image_writer.h"
#include "host/twacquire/output_file.h"
#include "host/twacquire/output_name.h"
#include "host/twacquire/pdf_images.h"
#include "host/twacquire/raster_forms.h"
#include "host/twacquire/wic_encoder.h"

namespace twacquire {

ImageOutput::ImageOutput(const Options& o, FileFormat format)
    : pattern_(o.output), format_(format), jpegQuality_(o.jpegQuality), pdfJpeg_(o.pdfJpeg) {
    if (OneFileForAllImages(o)) document_ = std::make_unique<MultiPageFile>(o.output, format);
}

bool ImageOutput::Check(std::string& error) const {
    Raster tiny;
    tiny.width = tiny.height = 8;
    tiny.xDpi = tiny.yDpi = 100;
    std::vector<uint8_t> file;
    for (int bits : {1, 8, 24}) {
        tiny.bitsPerPixel = bits;
        tiny.rows.assign(size_t{tiny.RowBytes()} * tiny.height, 0x5A);
        if (format_ == FileFormat::Png && !WicEncode(tiny, WicFormat::Png, 0, file, error))
            return false;
        if ((format_ == FileFormat::Jpeg || (format_ == FileFormat::Pdf && pdfJpeg_)) && bits > 1 &&
            !WicEncode(tiny, WicFormat::Jpeg, jpegQuality_, file, error))
            return false;
    }
    return true;
}

bool ImageOutput::Encode(const Raster& r, std::vector<uint8_t>& file, std::string& error) const {
    switch (format_) {
    case FileFormat::Tiff: file = TiffBytes(r); break;
    case FileFormat::Bmp: file = BmpBytes(r); break;
    case FileFormat::Png: return WicEncode(r, WicFormat::Png, 0, file, error);
    // A bilevel image is taken as grey, black 0 and white 255.
    case FileFormat::Jpeg: return WicEncode(ExpandedToGrey(r), WicFormat::Jpeg, jpegQuality_, file, error);
    case FileFormat::Pdf: break;
    }
    if (file.empty()) error = "the image is too large for a " + std::string(FormatName(format_)) + " file";
    return !file.empty();
}

bool ImageOutput::AddPage(MultiPageFile& file, const Raster& r, std::string& error) const {
    if (format_ == FileFormat::Tiff) return file.AddTiffPage(r, error);
    // Grey and colour: lossless Flate, or JPEG for photos. Bilevel: Flate
    // of its bits, a fraction of the grey a JPEG would need. (The imaging
    // component's TIFF encoder under Wine takes the CCITT G4 option but
    // writes the bits uncompressed, so it gives no G4 stream for a page.)
    if (pdfJpeg_ && r.bitsPerPixel != 1) {
        std::vector<uint8_t> jpeg;
        if (!WicEncode(r, WicFormat::Jpeg, jpegQuality_, jpeg, error)) return false;
        return file.AddPdfPage(JpegImage(r, std::move(jpeg)), error);
    }
    PdfImage image = FlateImage(r);
    if (image.data.empty()) {
        error = "zlib could not compress the page";
        return false;
    }
    return file.AddPdfPage(image, error);
}

bool ImageOutput::Save(int number, const Raster& raster, std::string& name, uint64_t& bytes,
                       std::string& error) {
    if (document_) {
        const uint64_t before = document_->Bytes();
        if (!AddPage(*document_, raster, error)) return false;
        name = pattern_ + ", page " + std::to_string(number);
        bytes = document_->Bytes() - before;
        return true;
    }
    name = OutputName(pattern_, number);
    if (format_ == FileFormat::Pdf) {
        MultiPageFile pdf(name, FileFormat::Pdf);
        if (!AddPage(pdf, raster, error) || !pdf.Finish(error)) return false;
        bytes = pdf.Bytes();
        return true;
    }
    std::vector<uint8_t> file;
    if (!Encode(raster, file, error) || !WriteOutputFile(name, file, error)) return false;
    bytes = file.size();
    return true;
}

bool ImageOutput::SaveFile(int number, const std::vector<uint8_t>& file, std::string& name,
                           std::string& error) {
    name = OutputName(pattern_, number);
    return WriteOutputFile(name, file, error);
}

bool ImageOutput::Finish(std::string& error) { return !document_ || document_->Finish(error); }

}  // namespace twacquire
