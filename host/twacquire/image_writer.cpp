#include "host/twacquire/image_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace twacquire {

namespace {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void U16(uint32_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Bytes(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }
    void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }
    size_t Size() const { return out_.size(); }

private:
    std::vector<uint8_t>& out_;
};

constexpr uint16_t kShort = 3, kLong = 4, kRational = 5, kAscii = 2;

struct Entry {
    uint16_t tag, type;
    uint32_t count, value;
};

// A resolution as a TIFF rational: dots per inch in hundredths.
void Rational(ByteWriter& w, double dpi) {
    w.U32(static_cast<uint32_t>(std::lround(dpi * 100)));
    w.U32(100);
}

}  // namespace

TiffPage TiffPageAt(const Raster& r, uint32_t at) {
    const uint32_t rowBytes = r.RowBytes();
    const uint32_t rowsPerStrip =
        std::max<uint32_t>(1, std::min<uint32_t>(r.height, 65536 / std::max<uint32_t>(rowBytes, 1)));
    const uint32_t strips = (r.height + rowsPerStrip - 1) / rowsPerStrip;
    const bool colour = r.bitsPerPixel == 24;
    const bool resolution = r.xDpi > 0 && r.yDpi > 0;
    static const char kSoftware[] = "twacquire";

    // Layout: the directory, then its out-of-line values, then the pixels.
    const uint32_t entries = 12 + (resolution ? 3 : 0);
    const uint32_t directoryAt = at;
    const uint32_t nextFieldAt = directoryAt + 2 + entries * 12;
    uint32_t extraAt = nextFieldAt + 4;
    const uint32_t bitsAt = extraAt;
    if (colour) extraAt += 6;
    const uint32_t xResAt = extraAt, yResAt = extraAt + 8;
    if (resolution) extraAt += 16;
    const uint32_t softwareAt = extraAt;
    extraAt += sizeof kSoftware + (sizeof kSoftware & 1);
    const uint32_t offsetsAt = extraAt;
    const uint32_t countsAt = offsetsAt + (strips > 1 ? 4 * strips : 0);
    const uint32_t pixelsAt = countsAt + (strips > 1 ? 4 * strips : 0);
    const size_t pixelBytes = std::min<size_t>(r.rows.size(), size_t{rowBytes} * r.height);

    TiffPage page;
    // Offsets are 32 bits: a page that would end beyond 4 GB cannot be written.
    if (pixelsAt < at || uint64_t{pixelsAt} + pixelBytes + 1 > 0xFFFFFFFFull) return page;
    std::vector<uint8_t>& out = page.bytes;
    out.reserve(pixelsAt - at + pixelBytes + 1);
    ByteWriter w(out);

    const uint32_t photometric = colour ? 2 : (r.whiteIsZero ? 0 : 1);
    auto stripBytes = [&](uint32_t s) {
        const uint32_t rows = std::min(rowsPerStrip, r.height - s * rowsPerStrip);
        return rows * rowBytes;
    };
    std::vector<Entry> dir = {
        {254, kLong, 1, 0},
        {256, kLong, 1, r.width},
        {257, kLong, 1, r.height},
        {258, kShort, colour ? 3u : 1u, colour ? bitsAt : static_cast<uint32_t>(r.bitsPerPixel)},
        {259, kShort, 1, 1},
        {262, kShort, 1, photometric},
        {273, kLong, strips, strips > 1 ? offsetsAt : pixelsAt},
        {277, kShort, 1, colour ? 3u : 1u},
        {278, kLong, 1, rowsPerStrip},
        {279, kLong, strips, strips > 1 ? countsAt : stripBytes(0)},
    };
    if (resolution) {
        dir.push_back({282, kRational, 1, xResAt});
        dir.push_back({283, kRational, 1, yResAt});
    }
    dir.push_back({284, kShort, 1, 1});
    if (resolution) dir.push_back({296, kShort, 1, 2});
    dir.push_back({305, kAscii, sizeof kSoftware, softwareAt});

    if (dir.size() != entries) return {};  // the layout above counts every entry
    w.U16(static_cast<uint32_t>(dir.size()));
    for (const Entry& e : dir) {
        w.U16(e.tag);
        w.U16(e.type);
        w.U32(e.count);
        if (e.type == kShort && e.count == 1) {
            w.U16(e.value);
            w.U16(0);
        } else {
            w.U32(e.value);
        }
    }
    w.U32(0);  // no next directory, until a page follows
    if (colour) {
        w.U16(8);
        w.U16(8);
        w.U16(8);
    }
    if (resolution) {
        Rational(w, r.xDpi);
        Rational(w, r.yDpi);
    }
    w.Bytes(reinterpret_cast<const uint8_t*>(kSoftware), sizeof kSoftware);
    if (sizeof kSoftware & 1) w.Zeros(1);
    if (strips > 1) {
        for (uint32_t s = 0; s < strips; ++s) w.U32(pixelsAt + s * rowsPerStrip * rowBytes);
        for (uint32_t s = 0; s < strips; ++s) w.U32(stripBytes(s));
    }
    w.Bytes(r.rows.data(), pixelBytes);
    if (out.size() & 1) w.Zeros(1);  // the next page's directory starts on a word
    page.nextDirectoryField = nextFieldAt;
    return page;
}

std::vector<uint8_t> TiffHeaderBytes() {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.Bytes(reinterpret_cast<const uint8_t*>("II"), 2);
    w.U16(42);
    w.U32(kTiffFirstPageAt);
    return out;
}

std::vector<uint8_t> TiffBytes(const Raster& r) {
    TiffPage page = TiffPageAt(r, kTiffFirstPageAt);
    if (page.bytes.empty()) return {};
    std::vector<uint8_t> out = TiffHeaderBytes();
    out.insert(out.end(), page.bytes.begin(), page.bytes.end());
    return out;
}

std::vector<uint8_t> BmpBytes(const Raster& r) {
    const uint32_t rowBytes = r.RowBytes();
    const uint32_t padded = (rowBytes + 3) & ~3u;
    const uint32_t paletteEntries = r.bitsPerPixel == 1 ? 2 : r.bitsPerPixel == 8 ? 256 : 0;
    const uint32_t pixelsAt = 14 + 40 + 4 * paletteEntries;
    const uint32_t imageBytes = padded * r.height;

    std::vector<uint8_t> out;
    out.reserve(pixelsAt + imageBytes);
    ByteWriter w(out);
    w.Bytes(reinterpret_cast<const uint8_t*>("BM"), 2);
    w.U32(pixelsAt + imageBytes);
    w.U32(0);
    w.U32(pixelsAt);
    w.U32(40);
    w.U32(r.width);
    w.U32(r.height);
    w.U16(1);
    w.U16(static_cast<uint32_t>(r.bitsPerPixel));
    w.U32(0);  // BI_RGB
    w.U32(imageBytes);
    w.U32(static_cast<uint32_t>(std::lround(r.xDpi / 0.0254)));
    w.U32(static_cast<uint32_t>(std::lround(r.yDpi / 0.0254)));
    w.U32(paletteEntries);
    w.U32(0);
    for (uint32_t i = 0; i < paletteEntries; ++i) {
        uint32_t level = paletteEntries == 2 ? i * 255 : i;
        if (r.whiteIsZero) level = 255 - level;
        w.U32(level | level << 8 | level << 16);
    }
    std::vector<uint8_t> line(padded, 0);
    for (uint32_t y = r.height; y-- > 0;) {
        const uint8_t* row = r.rows.data() + size_t{y} * rowBytes;
        if (r.bitsPerPixel == 24) {
            for (uint32_t x = 0; x < r.width; ++x) {
                line[3 * x] = row[3 * x + 2];
                line[3 * x + 1] = row[3 * x + 1];
                line[3 * x + 2] = row[3 * x];
            }
        } else {
            std::memcpy(line.data(), row, rowBytes);
        }
        w.Bytes(line.data(), padded);
    }
    return out;
}

}  // namespace twacquire
