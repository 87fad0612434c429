// libFuzzer target: the level dialog's picture reading, fed anything: the
// strict BMP reader, the decoding in both forms and the counting of the
// decoded samples, on both kinds of screen. Every sample of the picture
// is counted once, in every histogram it belongs to.
#include "common/preview_render_bmp.h"
#include "level/level_picture.h"

#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    const auto layout = preview::ParseBmp(file.data(), file.size());
    if (!layout) return 0;
    for (bool colour : {false, true}) {
        std::vector<uint8_t> pixels(preview::DecodedSize(*layout, colour));
        preview::DecodeBmp(file.data(), *layout, colour, pixels.data());
        for (bool palette : {false, true}) {
            const PictureStatistics s = CountPicture(pixels.data(), layout->width, layout->height, colour, palette);
            const int channel = colour ? kToneRed : kToneGrey;
            const uint64_t counted = std::accumulate(s.histogram[channel].begin(), s.histogram[channel].end(), uint64_t{0});
            if (counted != uint64_t{layout->width} * layout->height) std::abort();
            if (s.lowest[channel] > s.highest[channel]) std::abort();
        }
    }
    return 0;
}
