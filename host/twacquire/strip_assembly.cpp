#include "host/twacquire/strip_assembly.h"

#include <algorithm>
#include <cstring>

namespace twacquire {

namespace {

uint8_t Reversed(uint8_t b) {
    b = static_cast<uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

}  // namespace

StripAssembler::StripAssembler(const ImageShape& shape) : shape_(shape) {
    if (shape_.planar && shape_.bitsPerPixel == 24) {
        planes_.assign(3, std::vector<uint8_t>(size_t{shape_.width} * shape_.height));
        planeBytes_.assign(3, 0);
    } else {
        shape_.planar = false;
        pixels_.assign(size_t{PlaneRowBytes()} * shape_.height, 0);
    }
}

uint32_t StripAssembler::PlaneRowBytes() const {
    const int bits = shape_.planar ? 8 : shape_.bitsPerPixel;
    return (shape_.width * static_cast<uint32_t>(bits) + 7) / 8;
}

uint64_t StripAssembler::Expected() const {
    return uint64_t{PlaneRowBytes()} * shape_.height * (shape_.planar ? 3 : 1);
}

bool StripAssembler::PlaceRow(std::vector<uint8_t>& target, uint32_t targetRowBytes, uint32_t y,
                              uint32_t xOffset, uint32_t columns, int bits,
                              const uint8_t* source) {
    uint8_t* row = target.data() + size_t{y} * targetRowBytes;
    if (bits == 1) {
        for (uint32_t i = 0; i < columns; ++i) {
            uint8_t byte = source[i / 8];
            if (shape_.lsbFirst) byte = Reversed(byte);
            const bool set = byte & (0x80 >> (i % 8));
            const uint32_t x = xOffset + i;
            if (set) row[x / 8] = static_cast<uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
            else row[x / 8] = static_cast<uint8_t>(row[x / 8] & ~(0x80 >> (x % 8)));
        }
    } else {
        const size_t bytesPerPixel = static_cast<size_t>(bits / 8);
        std::memcpy(row + xOffset * bytesPerPixel, source, columns * bytesPerPixel);
    }
    return true;
}

bool StripAssembler::Add(const Strip& s, std::span<const uint8_t> data, std::string& error) {
    const int bits = shape_.planar ? 8 : shape_.bitsPerPixel;
    const uint64_t usedRowBytes = (uint64_t{s.columns} * static_cast<uint32_t>(bits) + 7) / 8;
    if (s.rows == 0) return true;
    if (usedRowBytes > s.bytesPerRow ||
        uint64_t{s.bytesPerRow} * (s.rows - 1) + usedRowBytes > data.size()) {
        error = "a strip of " + std::to_string(s.rows) + " rows of " +
                std::to_string(s.bytesPerRow) + " bytes came with " + std::to_string(data.size()) +
                " bytes";
        return false;
    }
    uint32_t y = s.yOffset;
    std::vector<uint8_t>* target = &pixels_;
    if (shape_.planar) {
        // A source that sends every plane in one transfer counts the rows of
        // the later planes on from the first.
        if (y >= shape_.height) {
            plane_ = std::min<size_t>(y / shape_.height, 2);
            y %= shape_.height;
        } else if (planeBytes_[plane_] >= uint64_t{PlaneRowBytes()} * shape_.height && plane_ < 2) {
            ++plane_;
        }
        target = &planes_[plane_];
    }
    if (uint64_t{s.xOffset} + s.columns > shape_.width || uint64_t{y} + s.rows > shape_.height) {
        error = "a strip at row " + std::to_string(s.yOffset) + ", column " +
                std::to_string(s.xOffset) + " with " + std::to_string(s.rows) + " rows of " +
                std::to_string(s.columns) + " pixels lies outside the image of " +
                std::to_string(shape_.width) + " x " + std::to_string(shape_.height);
        return false;
    }
    for (uint32_t r = 0; r < s.rows; ++r)
        PlaceRow(*target, PlaneRowBytes(), y + r, s.xOffset, s.columns, bits,
                 data.data() + size_t{r} * s.bytesPerRow);
    const uint64_t bytes = usedRowBytes * s.rows;
    received_ += bytes;
    if (shape_.planar) planeBytes_[plane_] += bytes;
    return true;
}

void StripAssembler::EndTransfer() {
    if (shape_.planar && plane_ < 2 && planeBytes_[plane_] >= uint64_t{PlaneRowBytes()} * shape_.height)
        ++plane_;
}

Raster StripAssembler::TakeRaster() {
    Raster r;
    r.width = shape_.width;
    r.height = shape_.height;
    r.bitsPerPixel = shape_.bitsPerPixel;
    r.whiteIsZero = shape_.whiteIsZero;
    r.xDpi = shape_.xDpi;
    r.yDpi = shape_.yDpi;
    if (!shape_.planar) {
        r.rows = std::move(pixels_);
        return r;
    }
    const size_t pixels = size_t{shape_.width} * shape_.height;
    r.rows.resize(3 * pixels);
    for (size_t i = 0; i < pixels; ++i)
        for (size_t c = 0; c < 3; ++c) r.rows[3 * i + c] = planes_[c][i];
    return r;
}

}  // namespace twacquire
