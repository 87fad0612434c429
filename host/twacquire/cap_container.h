// Capability containers as bytes: what a source hands back for MSG_GET,
// MSG_GETCURRENT and MSG_GETDEFAULT (TW_ONEVALUE, TW_ENUMERATION, TW_RANGE,
// TW_ARRAY of any item type), and the TW_ONEVALUE a host sends for MSG_SET.
//
// Pure computation: no Windows header.
#pragma once

#include "common/twain.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace twacquire {

// One item of a container. Numbers of every type up to 32 bits (TWTY_FIX32
// as its 32 bits, Whole in the low word) are in `number`, frames in
// `frame`, strings in `text`.
struct CapItem {
    TW_UINT32 number = 0;
    TW_FRAME frame{};
    std::string text;
};

struct Container {
    TW_UINT16 conType = 0;
    TW_UINT16 itemType = 0;
    // ONEVALUE: one item. ENUMERATION and ARRAY: every item in order.
    // RANGE: min, max, step, default, current.
    std::vector<CapItem> items;
    TW_UINT32 currentIndex = 0;  // ENUMERATION
    TW_UINT32 defaultIndex = 0;  // ENUMERATION
};

// Reads a container of type `conType` from the block a source allocated.
// Nothing when the type is unknown, the item type has no size, or the block
// is too small for what the container declares.
std::optional<Container> DecodeContainer(TW_UINT16 conType, std::span<const uint8_t> block);

// The item a container says is current: the ONEVALUE's item, the
// enumeration's current item, the range's current value. Nothing for an
// array or an enumeration whose index is outside its list.
std::optional<CapItem> CurrentItem(const Container& c);
// The same for the default (ENUMERATION and RANGE only).
std::optional<CapItem> DefaultItem(const Container& c);

// The bytes of a TW_ONEVALUE holding `item` as `itemType`: the item type,
// then the item (at least the 4 bytes of the Item field; 16 for a frame,
// the string's field for strings). Integers narrower than 32 bits are
// stored at their width with the rest of the Item zero; empty for an
// unknown item type.
std::vector<uint8_t> EncodeOneValue(TW_UINT16 itemType, const CapItem& item);

}  // namespace twacquire
