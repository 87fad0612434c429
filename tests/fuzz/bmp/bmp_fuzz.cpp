// libFuzzer target: the BMP reader of the bitmap viewer, fed anything.
// Whatever ParseBmp accepts must decode within the buffer it sizes, in
// both forms; the sanitizers catch every read or write out of bounds.
#include "common/preview_render_bmp.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the end is seen by ASan.
    std::vector<uint8_t> file(data, data + size);
    const auto layout = preview::ParseBmp(file.data(), file.size());
    if (!layout) return 0;
    if (layout->width == 0 || layout->width > 0xFFFF || layout->height == 0 || layout->height > 0xFFFF) std::abort();
    for (bool colour : {false, true}) {
        const size_t bytes = preview::DecodedSize(*layout, colour);
        if (bytes > preview::kMaxDecodedBytes) std::abort();
        std::vector<uint8_t> out(bytes);
        preview::DecodeBmp(file.data(), *layout, colour, out.data());
    }
    return 0;
}
