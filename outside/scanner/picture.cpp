#include "outside/scanner/picture.h"

#include <fstream>
#include <iterator>

namespace scanner {

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

// Large enough for any sensible picture, small enough to keep the
// arithmetic below far from overflow.
constexpr int64_t kMaxSide = 30000;

}  // namespace

std::optional<Picture> DecodeBmp(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const uint32_t dataOffset = U32(bytes, 10);
    const uint32_t headerSize = U32(bytes, 14);
    if (headerSize < 40 || 14 + static_cast<uint64_t>(headerSize) > bytes.size())
        return std::nullopt;
    const int64_t width = static_cast<int32_t>(U32(bytes, 18));
    const int64_t rawHeight = static_cast<int32_t>(U32(bytes, 22));
    const uint16_t bits = U16(bytes, 28);
    const uint32_t compression = U32(bytes, 30);
    uint32_t colours = U32(bytes, 46);
    const bool bottomUp = rawHeight > 0;
    const int64_t height = bottomUp ? rawHeight : -rawHeight;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    if (compression != 0 || (bits != 8 && bits != 24)) return std::nullopt;

    std::vector<Rgb> palette;
    if (bits == 8) {
        if (colours == 0 || colours > 256) colours = 256;
        const uint64_t paletteAt = 14 + static_cast<uint64_t>(headerSize);
        if (paletteAt + colours * 4ull > bytes.size()) return std::nullopt;
        for (uint32_t i = 0; i < colours; ++i) {
            const size_t e = paletteAt + i * 4;
            palette.push_back(Rgb{bytes[e + 2], bytes[e + 1], bytes[e]});
        }
    }
    const uint64_t stride = ((width * bits + 31) / 32) * 4;
    if (dataOffset + stride * height > bytes.size()) return std::nullopt;

    Picture p;
    p.width = static_cast<unsigned>(width);
    p.height = static_cast<unsigned>(height);
    p.pixels.resize(static_cast<size_t>(width * height));
    for (int64_t y = 0; y < height; ++y) {
        const int64_t fileRow = bottomUp ? height - 1 - y : y;
        const uint8_t* row = bytes.data() + dataOffset + fileRow * stride;
        Rgb* out = &p.pixels[static_cast<size_t>(y * width)];
        for (int64_t x = 0; x < width; ++x) {
            if (bits == 24) {
                out[x] = Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            } else {
                const uint8_t index = row[x];
                out[x] = index < palette.size() ? palette[index] : Rgb{0, 0, 0};
            }
        }
    }
    return p;
}

std::optional<Picture> LoadBmp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeBmp(bytes);
}

}  // namespace scanner
