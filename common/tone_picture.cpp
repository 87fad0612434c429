#include "common/tone_picture.h"

const char* TonePictureFile(bool colour, bool sample) {
    if (sample) return colour ? "FLOWER.BMP" : "GIRL.BMP";
    return colour ? "QZLC0000.BMP" : "QZLG0000.BMP";
}

PreviewRect ToneImageRect(const PreviewRect& area, bool sample, uint32_t lines) {
    const int32_t height = area.bottom - area.top;
    const int32_t shown =
        sample ? height : static_cast<int32_t>(int64_t{height} * lines / kFullPrescanLines);
    return {area.left, area.top, area.right, area.top + shown};
}

PreviewRect ToneZoomRect(const PreviewRect& image) {
    return {image.left, image.top, image.left + 2 * (image.right - image.left),
            image.top + 2 * (image.bottom - image.top)};
}
