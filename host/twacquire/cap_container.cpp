#include "host/twacquire/cap_container.h"

#include <algorithm>
#include <cstring>

namespace twacquire {

namespace {

uint32_t Get(const uint8_t* p, size_t size) {
    uint32_t v = 0;
    for (size_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

void Put(uint8_t* p, uint32_t v, size_t size) {
    for (size_t i = 0; i < size; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

TW_FIX32 GetFix32(const uint8_t* p) { return Uint32ToFix32(Get(p, 4)); }

// One item of `itemType` at p (itemSize bytes are there).
CapItem ReadItem(TW_UINT16 itemType, const uint8_t* p) {
    CapItem item;
    const size_t size = TwainItemSize(itemType);
    switch (itemType) {
    case TWTY_FRAME:
        item.frame = {GetFix32(p), GetFix32(p + 4), GetFix32(p + 8), GetFix32(p + 12)};
        break;
    case TWTY_STR32:
    case TWTY_STR64:
    case TWTY_STR128:
    case TWTY_STR255: {
        const void* end = std::memchr(p, '\0', size);
        item.text.assign(reinterpret_cast<const char*>(p),
                         end ? static_cast<const uint8_t*>(end) - p : size);
        break;
    }
    default: item.number = Get(p, size); break;
    }
    return item;
}

void WriteItem(TW_UINT16 itemType, const CapItem& item, uint8_t* p) {
    const size_t size = TwainItemSize(itemType);
    switch (itemType) {
    case TWTY_FRAME: {
        const TW_FIX32 edges[] = {item.frame.Left, item.frame.Top, item.frame.Right,
                                  item.frame.Bottom};
        for (int i = 0; i < 4; ++i) Put(p + 4 * i, Fix32ToUint32(edges[i]), 4);
        break;
    }
    case TWTY_STR32:
    case TWTY_STR64:
    case TWTY_STR128:
    case TWTY_STR255:
        std::memcpy(p, item.text.data(), std::min(item.text.size(), size - 1));
        break;
    default: Put(p, item.number, size); break;
    }
}

constexpr size_t kOneValueHeader = 2;
constexpr size_t kEnumerationHeader = 14;
constexpr size_t kArrayHeader = 6;
constexpr size_t kRangeSize = 22;

}  // namespace

std::optional<Container> DecodeContainer(TW_UINT16 conType, std::span<const uint8_t> block) {
    if (block.size() < 2) return std::nullopt;
    Container c;
    c.conType = conType;
    c.itemType = static_cast<TW_UINT16>(Get(block.data(), 2));
    const size_t size = TwainItemSize(c.itemType);
    if (size == 0) return std::nullopt;
    const uint8_t* p = block.data();
    switch (conType) {
    case TWON_ONEVALUE:
        if (block.size() < kOneValueHeader + size) return std::nullopt;
        c.items.push_back(ReadItem(c.itemType, p + kOneValueHeader));
        return c;
    case TWON_RANGE: {
        // Range values are 32-bit fields whatever the item type.
        if (block.size() < kRangeSize || size > 4) return std::nullopt;
        for (int i = 0; i < 5; ++i) {
            CapItem item;
            item.number = Get(p + 2 + 4 * i, 4);
            c.items.push_back(item);
        }
        return c;
    }
    case TWON_ENUMERATION:
    case TWON_ARRAY: {
        const size_t header = conType == TWON_ARRAY ? kArrayHeader : kEnumerationHeader;
        if (block.size() < header) return std::nullopt;
        const uint64_t count = Get(p + 2, 4);
        if (count * size > block.size() - header) return std::nullopt;
        if (conType == TWON_ENUMERATION) {
            c.currentIndex = Get(p + 6, 4);
            c.defaultIndex = Get(p + 10, 4);
        }
        for (uint64_t i = 0; i < count; ++i)
            c.items.push_back(ReadItem(c.itemType, p + header + i * size));
        return c;
    }
    default: return std::nullopt;
    }
}

std::optional<CapItem> CurrentItem(const Container& c) {
    switch (c.conType) {
    case TWON_ONEVALUE: return c.items.at(0);
    case TWON_RANGE: return c.items.at(4);
    case TWON_ENUMERATION:
        if (c.currentIndex < c.items.size()) return c.items[c.currentIndex];
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<CapItem> DefaultItem(const Container& c) {
    switch (c.conType) {
    case TWON_RANGE: return c.items.at(3);
    case TWON_ENUMERATION:
        if (c.defaultIndex < c.items.size()) return c.items[c.defaultIndex];
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::vector<uint8_t> EncodeOneValue(TW_UINT16 itemType, const CapItem& item) {
    const size_t size = TwainItemSize(itemType);
    if (size == 0) return {};
    std::vector<uint8_t> bytes(kOneValueHeader + std::max<size_t>(size, 4), 0);
    Put(bytes.data(), itemType, 2);
    WriteItem(itemType, item, bytes.data() + kOneValueHeader);
    return bytes;
}

}  // namespace twacquire
