#include "common/twain_names.h"

#include "common/twain.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

struct Named {
    uint16_t code;
    const char* name;
};

constexpr Named kConditions[] = {
    {TWCC_SUCCESS, "TWCC_SUCCESS"},           {TWCC_BUMMER, "TWCC_BUMMER"},
    {TWCC_LOWMEMORY, "TWCC_LOWMEMORY"},       {TWCC_NODS, "TWCC_NODS"},
    {TWCC_MAXCONNECTIONS, "TWCC_MAXCONNECTIONS"},
    {TWCC_OPERATIONERROR, "TWCC_OPERATIONERROR"},
    {TWCC_BADCAP, "TWCC_BADCAP"},             {TWCC_BADPROTOCOL, "TWCC_BADPROTOCOL"},
    {TWCC_BADVALUE, "TWCC_BADVALUE"},         {TWCC_SEQERROR, "TWCC_SEQERROR"},
    {TWCC_BADDEST, "TWCC_BADDEST"},           {TWCC_CAPUNSUPPORTED, "TWCC_CAPUNSUPPORTED"},
    {TWCC_CAPBADOPERATION, "TWCC_CAPBADOPERATION"},
    {TWCC_CAPSEQERROR, "TWCC_CAPSEQERROR"},   {TWCC_DENIED, "TWCC_DENIED"},
    {TWCC_FILEEXISTS, "TWCC_FILEEXISTS"},     {TWCC_FILENOTFOUND, "TWCC_FILENOTFOUND"},
    {TWCC_NOTEMPTY, "TWCC_NOTEMPTY"},         {TWCC_PAPERJAM, "TWCC_PAPERJAM"},
    {TWCC_PAPERDOUBLEFEED, "TWCC_PAPERDOUBLEFEED"},
    {TWCC_FILEWRITEERROR, "TWCC_FILEWRITEERROR"},
    {TWCC_CHECKDEVICEONLINE, "TWCC_CHECKDEVICEONLINE"},
};

constexpr Named kReturns[] = {
    {TWRC_SUCCESS, "TWRC_SUCCESS"},         {TWRC_FAILURE, "TWRC_FAILURE"},
    {TWRC_CHECKSTATUS, "TWRC_CHECKSTATUS"}, {TWRC_CANCEL, "TWRC_CANCEL"},
    {TWRC_DSEVENT, "TWRC_DSEVENT"},         {TWRC_NOTDSEVENT, "TWRC_NOTDSEVENT"},
    {TWRC_XFERDONE, "TWRC_XFERDONE"},       {TWRC_ENDOFLIST, "TWRC_ENDOFLIST"},
};

struct Capability {
    uint16_t code;
    const char* name;
    uint16_t itemType;
};

constexpr Capability kCapabilities[] = {
    {CAP_XFERCOUNT, "CAP_XFERCOUNT", TWTY_INT16},
    {ICAP_COMPRESSION, "ICAP_COMPRESSION", TWTY_UINT16},
    {ICAP_PIXELTYPE, "ICAP_PIXELTYPE", TWTY_UINT16},
    {ICAP_UNITS, "ICAP_UNITS", TWTY_UINT16},
    {ICAP_XFERMECH, "ICAP_XFERMECH", TWTY_UINT16},
    {CAP_AUTHOR, "CAP_AUTHOR", TWTY_STR128},
    {CAP_CAPTION, "CAP_CAPTION", TWTY_STR255},
    {CAP_FEEDERENABLED, "CAP_FEEDERENABLED", TWTY_BOOL},
    {CAP_FEEDERLOADED, "CAP_FEEDERLOADED", TWTY_BOOL},
    {CAP_TIMEDATE, "CAP_TIMEDATE", TWTY_STR32},
    {CAP_SUPPORTEDCAPS, "CAP_SUPPORTEDCAPS", TWTY_UINT16},
    {CAP_EXTENDEDCAPS, "CAP_EXTENDEDCAPS", TWTY_UINT16},
    {CAP_AUTOFEED, "CAP_AUTOFEED", TWTY_BOOL},
    {CAP_CLEARPAGE, "CAP_CLEARPAGE", TWTY_BOOL},
    {CAP_FEEDPAGE, "CAP_FEEDPAGE", TWTY_BOOL},
    {CAP_REWINDPAGE, "CAP_REWINDPAGE", TWTY_BOOL},
    {CAP_INDICATORS, "CAP_INDICATORS", TWTY_BOOL},
    {CAP_SUPPORTEDCAPSEXT, "CAP_SUPPORTEDCAPSEXT", TWTY_BOOL},
    {CAP_PAPERDETECTABLE, "CAP_PAPERDETECTABLE", TWTY_BOOL},
    {CAP_UICONTROLLABLE, "CAP_UICONTROLLABLE", TWTY_BOOL},
    {CAP_DEVICEONLINE, "CAP_DEVICEONLINE", TWTY_BOOL},
    {ICAP_AUTOBRIGHT, "ICAP_AUTOBRIGHT", TWTY_BOOL},
    {ICAP_BRIGHTNESS, "ICAP_BRIGHTNESS", TWTY_FIX32},
    {ICAP_CONTRAST, "ICAP_CONTRAST", TWTY_FIX32},
    {ICAP_CUSTHALFTONE, "ICAP_CUSTHALFTONE", TWTY_UINT8},
    {ICAP_EXPOSURETIME, "ICAP_EXPOSURETIME", TWTY_FIX32},
    {ICAP_FILTER, "ICAP_FILTER", TWTY_UINT16},
    {ICAP_FLASHUSED, "ICAP_FLASHUSED", TWTY_BOOL},
    {ICAP_GAMMA, "ICAP_GAMMA", TWTY_FIX32},
    {ICAP_HALFTONES, "ICAP_HALFTONES", TWTY_STR32},
    {ICAP_HIGHLIGHT, "ICAP_HIGHLIGHT", TWTY_FIX32},
    {ICAP_IMAGEFILEFORMAT, "ICAP_IMAGEFILEFORMAT", TWTY_UINT16},
    {ICAP_LAMPSTATE, "ICAP_LAMPSTATE", TWTY_BOOL},
    {ICAP_LIGHTSOURCE, "ICAP_LIGHTSOURCE", TWTY_UINT16},
    {ICAP_ORIENTATION, "ICAP_ORIENTATION", TWTY_UINT16},
    {ICAP_PHYSICALWIDTH, "ICAP_PHYSICALWIDTH", TWTY_FIX32},
    {ICAP_PHYSICALHEIGHT, "ICAP_PHYSICALHEIGHT", TWTY_FIX32},
    {ICAP_SHADOW, "ICAP_SHADOW", TWTY_FIX32},
    {ICAP_FRAMES, "ICAP_FRAMES", TWTY_FRAME},
    {ICAP_XNATIVERESOLUTION, "ICAP_XNATIVERESOLUTION", TWTY_FIX32},
    {ICAP_YNATIVERESOLUTION, "ICAP_YNATIVERESOLUTION", TWTY_FIX32},
    {ICAP_XRESOLUTION, "ICAP_XRESOLUTION", TWTY_FIX32},
    {ICAP_YRESOLUTION, "ICAP_YRESOLUTION", TWTY_FIX32},
    {ICAP_MAXFRAMES, "ICAP_MAXFRAMES", TWTY_UINT16},
    {ICAP_TILES, "ICAP_TILES", TWTY_BOOL},
    {ICAP_BITORDER, "ICAP_BITORDER", TWTY_UINT16},
    {ICAP_CCITTKFACTOR, "ICAP_CCITTKFACTOR", TWTY_UINT16},
    {ICAP_LIGHTPATH, "ICAP_LIGHTPATH", TWTY_UINT16},
    {ICAP_PIXELFLAVOR, "ICAP_PIXELFLAVOR", TWTY_UINT16},
    {ICAP_PLANARCHUNKY, "ICAP_PLANARCHUNKY", TWTY_UINT16},
    {ICAP_ROTATION, "ICAP_ROTATION", TWTY_FIX32},
    {ICAP_SUPPORTEDSIZES, "ICAP_SUPPORTEDSIZES", TWTY_UINT16},
    {ICAP_THRESHOLD, "ICAP_THRESHOLD", TWTY_FIX32},
    {ICAP_XSCALING, "ICAP_XSCALING", TWTY_FIX32},
    {ICAP_YSCALING, "ICAP_YSCALING", TWTY_FIX32},
    {ICAP_BITORDERCODES, "ICAP_BITORDERCODES", TWTY_UINT16},
    {ICAP_PIXELFLAVORCODES, "ICAP_PIXELFLAVORCODES", TWTY_UINT16},
    {ICAP_JPEGPIXELTYPE, "ICAP_JPEGPIXELTYPE", TWTY_UINT16},
    {ICAP_TIMEFILL, "ICAP_TIMEFILL", TWTY_UINT16},
    {ICAP_BITDEPTH, "ICAP_BITDEPTH", TWTY_UINT16},
    {ICAP_BITDEPTHREDUCTION, "ICAP_BITDEPTHREDUCTION", TWTY_UINT16},
};

template <size_t N>
std::string NameOf(const Named (&table)[N], uint16_t code, const char* unknownPrefix) {
    for (const Named& n : table)
        if (n.code == code) return n.name;
    return std::string(unknownPrefix) + std::to_string(code);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view WithoutPrefix(std::string_view name) {
    for (std::string_view p : {"ICAP_", "CAP_"})
        if (name.size() > p.size() && EqualNoCase(name.substr(0, p.size()), p))
            return name.substr(p.size());
    return name;
}

}  // namespace

std::string TwainConditionName(uint16_t conditionCode) {
    return NameOf(kConditions, conditionCode, "TWCC_#");
}

std::string TwainReturnName(uint16_t returnCode) {
    return NameOf(kReturns, returnCode, "TWRC_#");
}

std::string TwainCapabilityName(uint16_t cap) {
    for (const Capability& c : kCapabilities)
        if (c.code == cap) return c.name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "CAP_0x%04X", cap);
    return buf;
}

std::optional<uint16_t> TwainCapabilityByName(std::string_view name) {
    if (name.empty()) return std::nullopt;
    if (std::isdigit(static_cast<unsigned char>(name[0]))) {
        int base = 10;
        if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X')) {
            name.remove_prefix(2);
            base = 16;
        }
        unsigned value = 0;
        auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), value, base);
        if (ec != std::errc() || end != name.data() + name.size() || value > 0xFFFF)
            return std::nullopt;
        return static_cast<uint16_t>(value);
    }
    // A full name must match exactly (CAP_ and ICAP_ names never collide
    // once the prefix is kept); a bare name matches either prefix.
    for (const Capability& c : kCapabilities)
        if (EqualNoCase(c.name, name)) return c.code;
    const std::string_view bare = WithoutPrefix(name);
    if (bare.size() != name.size()) return std::nullopt;
    for (const Capability& c : kCapabilities)
        if (EqualNoCase(WithoutPrefix(c.name), bare)) return c.code;
    return std::nullopt;
}

std::optional<uint16_t> TwainCapabilityItemType(uint16_t cap) {
    for (const Capability& c : kCapabilities)
        if (c.code == cap) return c.itemType;
    return std::nullopt;
}
