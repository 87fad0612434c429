#include "host/twacquire/cap_text.h"

#include "common/twain_names.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace twacquire {

namespace {

struct ValueName {
    TW_UINT16 cap;
    TW_UINT32 value;
    const char* name;
};

// TWAIN's names of the values of the list capabilities.
constexpr ValueName kValueNames[] = {
    {ICAP_XFERMECH, 0, "TWSX_NATIVE"},       {ICAP_XFERMECH, 1, "TWSX_FILE"},
    {ICAP_XFERMECH, 2, "TWSX_MEMORY"},
    {ICAP_PIXELTYPE, 0, "TWPT_BW"},          {ICAP_PIXELTYPE, 1, "TWPT_GRAY"},
    {ICAP_PIXELTYPE, 2, "TWPT_RGB"},         {ICAP_PIXELTYPE, 3, "TWPT_PALETTE"},
    {ICAP_PIXELTYPE, 4, "TWPT_CMY"},         {ICAP_PIXELTYPE, 5, "TWPT_CMYK"},
    {ICAP_PIXELTYPE, 6, "TWPT_YUV"},         {ICAP_PIXELTYPE, 7, "TWPT_YUVK"},
    {ICAP_PIXELTYPE, 8, "TWPT_CIEXYZ"},
    {ICAP_UNITS, 0, "TWUN_INCHES"},          {ICAP_UNITS, 1, "TWUN_CENTIMETERS"},
    {ICAP_UNITS, 2, "TWUN_PICAS"},           {ICAP_UNITS, 3, "TWUN_POINTS"},
    {ICAP_UNITS, 4, "TWUN_TWIPS"},           {ICAP_UNITS, 5, "TWUN_PIXELS"},
    {ICAP_IMAGEFILEFORMAT, 0, "TWFF_TIFF"},  {ICAP_IMAGEFILEFORMAT, 1, "TWFF_PICT"},
    {ICAP_IMAGEFILEFORMAT, 2, "TWFF_BMP"},   {ICAP_IMAGEFILEFORMAT, 3, "TWFF_XBM"},
    {ICAP_IMAGEFILEFORMAT, 4, "TWFF_JFIF"},  {ICAP_IMAGEFILEFORMAT, 5, "TWFF_FPX"},
    {ICAP_IMAGEFILEFORMAT, 6, "TWFF_TIFFMULTI"}, {ICAP_IMAGEFILEFORMAT, 7, "TWFF_PNG"},
    {ICAP_PLANARCHUNKY, 0, "TWPC_CHUNKY"},   {ICAP_PLANARCHUNKY, 1, "TWPC_PLANAR"},
    {ICAP_PIXELFLAVOR, 0, "TWPF_CHOCOLATE"}, {ICAP_PIXELFLAVOR, 1, "TWPF_VANILLA"},
    {ICAP_BITORDER, 0, "TWBO_LSBFIRST"},     {ICAP_BITORDER, 1, "TWBO_MSBFIRST"},
    {ICAP_COMPRESSION, 0, "TWCP_NONE"},      {ICAP_COMPRESSION, 1, "TWCP_PACKBITS"},
    {ICAP_COMPRESSION, 2, "TWCP_GROUP31D"},  {ICAP_COMPRESSION, 3, "TWCP_GROUP31DEOL"},
    {ICAP_COMPRESSION, 4, "TWCP_GROUP32D"},  {ICAP_COMPRESSION, 5, "TWCP_GROUP4"},
    {ICAP_COMPRESSION, 6, "TWCP_JPEG"},      {ICAP_COMPRESSION, 7, "TWCP_LZW"},
    {ICAP_SUPPORTEDSIZES, 0, "TWSS_NONE"},   {ICAP_SUPPORTEDSIZES, 1, "TWSS_A4LETTER"},
    {ICAP_SUPPORTEDSIZES, 2, "TWSS_B5LETTER"}, {ICAP_SUPPORTEDSIZES, 3, "TWSS_USLETTER"},
    {ICAP_SUPPORTEDSIZES, 4, "TWSS_USLEGAL"}, {ICAP_SUPPORTEDSIZES, 5, "TWSS_A5"},
    {ICAP_SUPPORTEDSIZES, 6, "TWSS_B4"},     {ICAP_SUPPORTEDSIZES, 7, "TWSS_B6"},
    {ICAP_LIGHTSOURCE, 0, "TWLS_RED"},       {ICAP_LIGHTSOURCE, 1, "TWLS_GREEN"},
    {ICAP_LIGHTSOURCE, 2, "TWLS_BLUE"},      {ICAP_LIGHTSOURCE, 3, "TWLS_NONE"},
    {ICAP_LIGHTSOURCE, 4, "TWLS_WHITE"},
    {ICAP_LIGHTPATH, 0, "TWLP_REFLECTIVE"},  {ICAP_LIGHTPATH, 1, "TWLP_TRANSMISSIVE"},
    {ICAP_ORIENTATION, 0, "TWOR_ROT0"},      {ICAP_ORIENTATION, 1, "TWOR_ROT90"},
    {ICAP_ORIENTATION, 2, "TWOR_ROT180"},    {ICAP_ORIENTATION, 3, "TWOR_ROT270"},
    {ICAP_BITDEPTHREDUCTION, 0, "TWBR_THRESHOLD"}, {ICAP_BITDEPTHREDUCTION, 1, "TWBR_HALFTONE"},
    {ICAP_BITDEPTHREDUCTION, 2, "TWBR_CUSTHALFTONE"}, {ICAP_BITDEPTHREDUCTION, 3, "TWBR_DIFFUSION"},
    {ICAP_FILTER, 0, "TWFT_RED"},            {ICAP_FILTER, 1, "TWFT_GREEN"},
    {ICAP_FILTER, 2, "TWFT_BLUE"},           {ICAP_FILTER, 3, "TWFT_NONE"},
    {ICAP_FILTER, 4, "TWFT_WHITE"},
};

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

const char* NameOfValue(TW_UINT16 cap, TW_UINT32 value) {
    for (const ValueName& v : kValueNames)
        if (v.cap == cap && v.value == value) return v.name;
    return nullptr;
}

std::string Decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

int64_t SignedValue(TW_UINT16 itemType, TW_UINT32 raw) {
    switch (itemType) {
    case TWTY_INT8: return static_cast<int8_t>(raw);
    case TWTY_INT16: return static_cast<int16_t>(raw);
    case TWTY_INT32: return static_cast<int32_t>(raw);
    default: return raw;
    }
}

// Ranges of the integer types.
bool IntegerRange(TW_UINT16 itemType, int64_t& low, int64_t& high) {
    switch (itemType) {
    case TWTY_INT8: low = -128; high = 127; return true;
    case TWTY_INT16: low = -32768; high = 32767; return true;
    case TWTY_INT32: low = std::numeric_limits<int32_t>::min(); high = std::numeric_limits<int32_t>::max(); return true;
    case TWTY_UINT8: low = 0; high = 0xFF; return true;
    case TWTY_UINT16: low = 0; high = 0xFFFF; return true;
    case TWTY_UINT32: low = 0; high = 0xFFFFFFFFll; return true;
    default: return false;
    }
}

std::optional<int64_t> ParseInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return v;
}

std::optional<double> ParseDecimal(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<TW_FIX32> ParseFix32(const std::string& text) {
    const std::optional<double> v = ParseDecimal(text);
    if (!v || *v < -32768.0 || *v >= 32768.0) return std::nullopt;
    return DoubleToFix32(*v);
}

std::string Join(TW_UINT16 cap, TW_UINT16 itemType, const std::vector<CapItem>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) text += ", ";
        text += FormatItem(cap, itemType, items[i]);
    }
    return text;
}

}  // namespace

std::string ItemTypeName(TW_UINT16 itemType) {
    static const char* const kNames[] = {"INT8",  "INT16", "INT32", "UINT8",  "UINT16",
                                         "UINT32", "BOOL", "FIX32", "FRAME",  "STR32",
                                         "STR64", "STR128", "STR255"};
    if (itemType < std::size(kNames)) return kNames[itemType];
    return "TYPE_" + std::to_string(itemType);
}

std::string ContainerTypeName(TW_UINT16 conType) {
    switch (conType) {
    case TWON_ARRAY: return "ARRAY";
    case TWON_ENUMERATION: return "ENUMERATION";
    case TWON_ONEVALUE: return "ONEVALUE";
    case TWON_RANGE: return "RANGE";
    default: return "CONTAINER_" + std::to_string(conType);
    }
}

std::string FormatItem(TW_UINT16 cap, TW_UINT16 itemType, const CapItem& item) {
    switch (itemType) {
    case TWTY_BOOL: return (item.number & 0xFFFF) ? "TRUE" : "FALSE";
    case TWTY_FIX32: return Decimal(Fix32ToDouble(Uint32ToFix32(item.number)));
    case TWTY_FRAME:
        return Decimal(Fix32ToDouble(item.frame.Left)) + "," + Decimal(Fix32ToDouble(item.frame.Top)) +
               "," + Decimal(Fix32ToDouble(item.frame.Right)) + "," +
               Decimal(Fix32ToDouble(item.frame.Bottom));
    case TWTY_STR32:
    case TWTY_STR64:
    case TWTY_STR128:
    case TWTY_STR255: return "\"" + item.text + "\"";
    default: break;
    }
    std::string text = std::to_string(SignedValue(itemType, item.number));
    if (cap == CAP_SUPPORTEDCAPS && item.number <= 0xFFFF)
        return TwainCapabilityName(static_cast<uint16_t>(item.number));
    if (const char* name = NameOfValue(cap, item.number)) text += std::string(" (") + name + ")";
    return text;
}

std::string DescribeCapability(TW_UINT16 cap, const Container& get,
                               const std::optional<Container>& current,
                               const std::optional<Container>& def) {
    const TW_UINT16 type = get.itemType;
    std::string text = ItemTypeName(type);
    std::optional<CapItem> cur = current ? CurrentItem(*current) : std::nullopt;
    if (!cur) cur = CurrentItem(get);
    std::optional<CapItem> dft = def ? CurrentItem(*def) : std::nullopt;
    if (!dft) dft = DefaultItem(get);
    if (cur) text += ", current " + FormatItem(cap, type, *cur);
    if (dft) text += ", default " + FormatItem(cap, type, *dft);
    switch (get.conType) {
    case TWON_ENUMERATION: text += ", one of " + OfferedValues(cap, get); break;
    case TWON_ARRAY: text += ", values " + Join(cap, type, get.items); break;
    case TWON_RANGE: text += ", range " + OfferedValues(cap, get); break;
    default: break;
    }
    return text;
}

std::string OfferedValues(TW_UINT16 cap, const Container& c) {
    switch (c.conType) {
    case TWON_ENUMERATION: return Join(cap, c.itemType, c.items);
    case TWON_RANGE:
        return FormatItem(cap, c.itemType, c.items[0]) + " to " +
               FormatItem(cap, c.itemType, c.items[1]) + " step " +
               FormatItem(cap, c.itemType, c.items[2]);
    default: return "";
    }
}

std::optional<TW_UINT32> ValueByName(TW_UINT16 cap, const std::string& name) {
    for (const ValueName& v : kValueNames) {
        if (v.cap != cap) continue;
        const std::string full = v.name;
        if (EqualNoCase(full, name) || EqualNoCase(full.substr(full.find('_') + 1), name))
            return v.value;
    }
    return std::nullopt;
}

std::optional<CapItem> ParseItem(TW_UINT16 cap, TW_UINT16 itemType, const std::string& text,
                                 std::string& error) {
    CapItem item;
    switch (itemType) {
    case TWTY_BOOL:
        for (const char* yes : {"TRUE", "YES", "ON", "1"})
            if (EqualNoCase(text, yes)) { item.number = 1; return item; }
        for (const char* no : {"FALSE", "NO", "OFF", "0"})
            if (EqualNoCase(text, no)) { item.number = 0; return item; }
        error = "'" + text + "' is not TRUE or FALSE";
        return std::nullopt;
    case TWTY_FIX32: {
        const std::optional<TW_FIX32> f = ParseFix32(text);
        if (!f) {
            error = "'" + text + "' is not a decimal number from -32768 to 32767.9999";
            return std::nullopt;
        }
        item.number = Fix32ToUint32(*f);
        return item;
    }
    case TWTY_FRAME: {
        TW_FIX32 edges[4];
        size_t start = 0;
        for (int i = 0; i < 4; ++i) {
            const size_t comma = text.find(',', start);
            const std::optional<TW_FIX32> f =
                (i < 3) == (comma != std::string::npos)
                    ? ParseFix32(text.substr(start, i < 3 ? comma - start : std::string::npos))
                    : std::nullopt;
            if (!f) {
                error = "'" + text + "' is not a frame LEFT,TOP,RIGHT,BOTTOM";
                return std::nullopt;
            }
            edges[i] = *f;
            start = comma + 1;
        }
        item.frame = {edges[0], edges[1], edges[2], edges[3]};
        return item;
    }
    case TWTY_STR32:
    case TWTY_STR64:
    case TWTY_STR128:
    case TWTY_STR255:
        item.text = text.substr(0, TwainItemSize(itemType) - 1);
        return item;
    default: break;
    }
    int64_t low = 0, high = 0;
    if (!IntegerRange(itemType, low, high)) {
        error = "the source reports the unknown item type " + std::to_string(itemType);
        return std::nullopt;
    }
    std::optional<int64_t> v = ParseInteger(text);
    if (!v) {
        if (const std::optional<TW_UINT32> named = ValueByName(cap, text)) v = *named;
    }
    if (!v) {
        error = "'" + text + "' is not a number or a value name of " + TwainCapabilityName(cap);
        return std::nullopt;
    }
    if (*v < low || *v > high) {
        error = text + " is outside the range of " + ItemTypeName(itemType) + " (" +
                std::to_string(low) + " to " + std::to_string(high) + ")";
        return std::nullopt;
    }
    item.number = static_cast<TW_UINT32>(*v);
    return item;
}

}  // namespace twacquire
