#include "host/twacquire/pdf_images.h"

#include "host/twacquire/flate.h"

namespace twacquire {

namespace {

PdfImage Frame(const Raster& r) {
    PdfImage image;
    image.width = r.width;
    image.height = r.height;
    image.xDpi = r.xDpi;
    image.yDpi = r.yDpi;
    image.colour = r.bitsPerPixel == 24;
    image.bitsPerComponent = r.bitsPerPixel == 1 ? 1 : 8;
    return image;
}

}  // namespace

PdfImage FlateImage(const Raster& r) {
    PdfImage image = Frame(r);
    image.inverted = r.bitsPerPixel != 24 && r.whiteIsZero;
    image.filter = "FlateDecode";
    image.data = Deflate(r.rows);
    return image;
}

PdfImage JpegImage(const Raster& r, std::vector<uint8_t> jpeg) {
    PdfImage image = Frame(r);
    image.bitsPerComponent = 8;
    image.filter = "DCTDecode";
    image.data = std::move(jpeg);
    return image;
}

}  // namespace twacquire
