#include "ds/twain/cap_containers.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::array<TW_UINT32, 3> kXferMechs = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY};
constexpr std::array<TW_UINT32, 4> kPixelTypes = {TWPT_BW, TWPT_GRAY, TWPT_RGB, TWPT_PALETTE};
constexpr std::array<TW_UINT32, 6> kUnits = {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PICAS,
                                             TWUN_POINTS, TWUN_TWIPS, TWUN_PIXELS};
constexpr TW_UINT32 kTwffXbm = 3;
constexpr std::array<TW_UINT32, 4> kFileFormats = {TWFF_TIFF, TWFF_PICT, TWFF_BMP, kTwffXbm};
constexpr std::array<TW_UINT32, 4> kResolutions = {72, 200, 300, 600};
constexpr std::array<TW_UINT32, 9> kSupportedSizes = {0, 1, 2, 3, 4, 5, 6, 7, 8};

const CapabilityValueList kXferMechList{TWTY_UINT16, kXferMechs, 2};
const CapabilityValueList kPixelTypeList{TWTY_UINT16, kPixelTypes, 0};
const CapabilityValueList kUnitsList{TWTY_UINT16, kUnits, 0};
const CapabilityValueList kFileFormatList{TWTY_UINT16, kFileFormats, 0};
const CapabilityValueList kResolutionList{TWTY_UINT32, kResolutions, 2};
const CapabilityValueList kSupportedSizeList{TWTY_UINT16, kSupportedSizes, 0};

constexpr size_t kOneValueSize = 6;
constexpr size_t kEnumerationHeaderSize = 14;

void PutWord(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void PutDword(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetItem(const uint8_t* p, size_t size) {
    uint32_t v = 0;
    for (size_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    return v;
}

uint16_t GetWord(const uint8_t* p) { return static_cast<uint16_t>(GetItem(p, 2)); }

// The Item of a TW_ONEVALUE holding `value` as `itemType`.
uint32_t OneValueItem(TW_UINT16 itemType, TW_UINT32 value) {
    switch (itemType) {
    case TWTY_INT8: return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(value)));
    case TWTY_UINT8: return value & 0xFFu;
    case TWTY_INT16:
        return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(value)));
    case TWTY_UINT16:
    case TWTY_BOOL: return value & 0xFFFFu;
    default: return value;
    }
}

}  // namespace

const CapabilityValueList* FindValueList(TW_UINT16 cap) {
    switch (cap) {
    case ICAP_XFERMECH: return &kXferMechList;
    case ICAP_PIXELTYPE: return &kPixelTypeList;
    case ICAP_UNITS: return &kUnitsList;
    case ICAP_IMAGEFILEFORMAT: return &kFileFormatList;
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: return &kResolutionList;
    case ICAP_SUPPORTEDSIZES: return &kSupportedSizeList;
    default: return nullptr;
    }
}

std::optional<TW_UINT16> ListPosition(const CapabilityValueList& list, TW_UINT32 value) {
    for (size_t i = 0; i < list.Values.size(); ++i) {
        if (list.Values[i] == value) return static_cast<TW_UINT16>(i);
    }
    return std::nullopt;
}

TW_UINT32 ListValue(const CapabilityValueList& list, TW_UINT16 position) {
    if (position >= list.Values.size()) position = list.DefaultPosition;
    return list.Values[position];
}

size_t ContainerItemSize(TW_UINT16 itemType) {
    switch (itemType) {
    case TWTY_INT8:
    case TWTY_UINT8: return 1;
    case TWTY_INT16:
    case TWTY_UINT16: return 2;
    case TWTY_INT32:
    case TWTY_UINT32: return 4;
    default: return 0;
    }
}

std::vector<uint8_t> OneValueBytes(TW_UINT16 itemType, TW_UINT32 value) {
    std::vector<uint8_t> bytes(kOneValueSize);
    PutWord(bytes.data(), itemType);
    PutDword(bytes.data() + 2, OneValueItem(itemType, value));
    return bytes;
}

std::vector<uint8_t> EnumerationBytes(TW_UINT16 itemType, std::span<const TW_UINT32> values,
                                      TW_UINT32 currentIndex, TW_UINT32 defaultIndex) {
    const size_t itemSize = ContainerItemSize(itemType);
    if (itemSize == 0) return {};
    std::vector<uint8_t> bytes(kEnumerationHeaderSize + itemSize * values.size());
    PutWord(bytes.data(), itemType);
    PutDword(bytes.data() + 2, static_cast<uint32_t>(values.size()));
    PutDword(bytes.data() + 6, currentIndex);
    PutDword(bytes.data() + 10, defaultIndex);
    uint8_t* item = bytes.data() + kEnumerationHeaderSize;
    for (TW_UINT32 v : values) {
        for (size_t i = 0; i < itemSize; ++i) item[i] = static_cast<uint8_t>(v >> (8 * i));
        item += itemSize;
    }
    return bytes;
}

size_t HostItemSize(TW_UINT16 itemType) {
    return itemType == TWTY_BOOL ? 2 : ContainerItemSize(itemType);
}

std::optional<TW_UINT32> ReadHostValue(TW_UINT16 conType, std::span<const uint8_t> container) {
    if (container.size() < 2) return std::nullopt;
    const uint8_t* p = container.data();
    const size_t itemSize = HostItemSize(GetWord(p));
    if (itemSize == 0) return std::nullopt;

    if (conType == TWON_ONEVALUE) {
        if (container.size() < kOneValueSize) return std::nullopt;
        return GetItem(p + 2, itemSize);
    }
    if (conType == TWON_ENUMERATION) {
        if (container.size() < kEnumerationHeaderSize) return std::nullopt;
        const uint64_t numItems = GetItem(p + 2, 4);
        if (numItems == 0) return std::nullopt;
        // 64-bit arithmetic: a huge item count cannot wrap past the check.
        if (kEnumerationHeaderSize + numItems * itemSize > container.size()) return std::nullopt;
        return GetItem(p + kEnumerationHeaderSize, itemSize);
    }
    return std::nullopt;
}

std::optional<double> ReadHostFix32(TW_UINT16 conType, std::span<const uint8_t> container) {
    if (container.size() < 2 || GetWord(container.data()) != TWTY_FIX32) return std::nullopt;
    const uint8_t* p = container.data();
    size_t at = 0;
    if (conType == TWON_ONEVALUE) {
        if (container.size() < kOneValueSize) return std::nullopt;
        at = 2;
    } else if (conType == TWON_ENUMERATION) {
        if (container.size() < kEnumerationHeaderSize + 4 || GetItem(p + 2, 4) == 0)
            return std::nullopt;
        at = kEnumerationHeaderSize;
    } else {
        return std::nullopt;
    }
    return Fix32ToDouble(Uint32ToFix32(GetItem(p + at, 4)));
}

std::optional<TW_FRAME> ReadHostFrame(TW_UINT16 conType, std::span<const uint8_t> container) {
    constexpr size_t kFrameBytes = sizeof(TW_FRAME);
    if (container.size() < 2 || GetWord(container.data()) != TWTY_FRAME) return std::nullopt;
    size_t at = 0;
    if (conType == TWON_ONEVALUE) {
        at = 2;
    } else if (conType == TWON_ENUMERATION) {
        if (container.size() < kEnumerationHeaderSize || GetItem(container.data() + 2, 4) == 0)
            return std::nullopt;
        at = kEnumerationHeaderSize;
    } else {
        return std::nullopt;
    }
    if (container.size() < at + kFrameBytes) return std::nullopt;
    TW_FRAME frame{};
    std::memcpy(&frame, container.data() + at, kFrameBytes);
    return frame;
}

std::vector<uint8_t> FrameOneValueBytes(const TW_FRAME& frame) {
    std::vector<uint8_t> bytes(2 + sizeof(TW_FRAME));
    PutWord(bytes.data(), TWTY_FRAME);
    std::memcpy(bytes.data() + 2, &frame, sizeof frame);
    return bytes;
}

std::vector<uint8_t> ArrayBytes(std::span<const TW_UINT16> values) {
    std::vector<uint8_t> bytes(6 + 2 * values.size());
    PutWord(bytes.data(), TWTY_UINT16);
    PutDword(bytes.data() + 2, static_cast<uint32_t>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) PutWord(bytes.data() + 6 + 2 * i, values[i]);
    return bytes;
}

std::vector<TW_UINT16> SupportedCapabilities(bool publisher, bool feeder) {
    if (publisher) {
        return {CAP_SUPPORTEDCAPS, CAP_XFERCOUNT,   ICAP_COMPRESSION, ICAP_FILTER,
                ICAP_LIGHTSOURCE,  ICAP_PIXELFLAVOR, CAP_AUTHOR,      CAP_CAPTION,
                CAP_TIMEDATE,      ICAP_XFERMECH,   ICAP_PIXELTYPE,   ICAP_UNITS,
                ICAP_IMAGEFILEFORMAT, ICAP_XRESOLUTION, ICAP_YRESOLUTION};
    }
    std::vector<TW_UINT16> caps = {
        CAP_SUPPORTEDCAPS, CAP_XFERCOUNT,      ICAP_COMPRESSION,  CAP_INDICATORS,
        ICAP_FILTER,       ICAP_LIGHTSOURCE,   ICAP_PIXELFLAVOR,  ICAP_PLANARCHUNKY,
        ICAP_XFERMECH,     ICAP_PIXELTYPE,     ICAP_UNITS,        ICAP_IMAGEFILEFORMAT,
        ICAP_XRESOLUTION,  ICAP_YRESOLUTION,   ICAP_SUPPORTEDSIZES, CAP_FEEDERENABLED,
        CAP_AUTOFEED,      ICAP_BITDEPTH,      ICAP_PHYSICALWIDTH, ICAP_PHYSICALHEIGHT,
        ICAP_BITORDER,     ICAP_FRAMES};
    if (feeder) caps.push_back(CAP_FEEDERLOADED);
    return caps;
}

TW_UINT16 BitDepthOf(TW_UINT16 pixelType) { return pixelType == TWPT_BW ? 1 : 8; }

double InchesInUnits(double inches, TW_UINT16 units, TW_UINT16 resolution) {
    switch (units) {
    case TWUN_CENTIMETERS: return inches * 2.54;
    case TWUN_PICAS: return inches * 6.0;
    case TWUN_POINTS: return inches * 72.0;
    case TWUN_TWIPS: return inches * 1440.0;
    case TWUN_PIXELS: return inches * resolution;
    default: return inches;
    }
}

std::optional<OneValueAnswer> StandardFixedAnswer(TW_UINT16 cap) {
    switch (cap) {
    case CAP_XFERCOUNT: return OneValueAnswer{TWTY_INT16, static_cast<TW_UINT32>(-1)};
    case ICAP_COMPRESSION: return OneValueAnswer{TWTY_UINT16, TWCP_NONE};
    case CAP_INDICATORS: return OneValueAnswer{TWTY_BOOL, 0};
    case ICAP_FILTER: return OneValueAnswer{TWTY_UINT16, 3};  // no filter
    case ICAP_LIGHTSOURCE: return OneValueAnswer{TWTY_UINT16, TWLS_WHITE};
    case ICAP_PIXELFLAVOR: return OneValueAnswer{TWTY_BOOL, TWPF_CHOCOLATE};
    case ICAP_PLANARCHUNKY: return OneValueAnswer{TWTY_UINT16, TWPC_PLANAR};
    default: return std::nullopt;
    }
}

std::optional<OneValueAnswer> PublisherFixedAnswer(TW_UINT16 cap) {
    switch (cap) {
    case CAP_XFERCOUNT:
    case ICAP_COMPRESSION:
    case ICAP_FILTER:
    case ICAP_LIGHTSOURCE:
    case ICAP_PIXELFLAVOR: return StandardFixedAnswer(cap);
    default: return std::nullopt;
    }
}

bool PublisherRefusesCapability(TW_UINT16 cap) {
    if (cap == 0x1100 || cap == 0x1101) return true;
    if (cap < 0x1103 || cap > 0x112B) return false;
    switch (cap) {
    case 0x1106:  // ICAP_FILTER
    case 0x110B:
    case 0x110C:  // ICAP_IMAGEFILEFORMAT
    case 0x110E:  // ICAP_LIGHTSOURCE
    case 0x110F:
    case 0x1115:
    case 0x1118:  // ICAP_XRESOLUTION
    case 0x1119:  // ICAP_YRESOLUTION
    case 0x111F:  // ICAP_PIXELFLAVOR
    case 0x1129: return false;
    default: return true;
    }
}

size_t PublisherTextBlockSize(TW_UINT16 cap) {
    switch (cap) {
    case CAP_AUTHOR: return sizeof(TW_STR128);
    case CAP_CAPTION: return sizeof(TW_STR255);
    case CAP_TIMEDATE: return sizeof(TW_STR32);
    default: return 0;
    }
}

TW_UINT32 PublisherDefaultValue(TW_UINT16 cap, TW_UINT16 currentPosition) {
    const CapabilityValueList* list = FindValueList(cap);
    if (!list) return 0;
    switch (cap) {
    case ICAP_XFERMECH: return TWSX_MEMORY;
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: return ListValue(*list, currentPosition);
    default: return list->Values[0];
    }
}

std::vector<uint8_t> TextBlockBytes(std::string_view text, size_t size) {
    std::vector<uint8_t> bytes(size, 0);
    if (size == 0) return bytes;
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(bytes.data(), text.data(), n);
    return bytes;
}

std::string TimeDateText(const CalendarTime& t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = (t.Weekday >= 0 && t.Weekday < 7) ? kDays[t.Weekday] : "???";
    const char* month = (t.Month >= 1 && t.Month <= 12) ? kMonths[t.Month - 1] : "???";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", day, month, t.Day, t.Hour,
                  t.Minute, t.Second, t.Year);
    return buf;
}

bool ProductNameIs(const char (&productName)[34], std::string_view name) {
    if (name.empty()) return false;
    size_t length = 0;
    while (length < sizeof productName && productName[length] != '\0') ++length;
    return std::string_view(productName, length) == name;
}

TW_UINT16 ResolutionOfPosition(TW_UINT16 position, bool faxHost) {
    const TW_UINT32 dpi = ListValue(kResolutionList, position);
    if (faxHost && dpi == 300) return 200;
    return static_cast<TW_UINT16>(dpi);
}
