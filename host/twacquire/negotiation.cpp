#include "host/twacquire/negotiation.h"

#include "common/twain_names.h"
#include "host/twacquire/cap_text.h"
#include "host/twacquire/capability_setting.h"
#include "host/twacquire/exit_codes.h"
#include "host/twacquire/frame_units.h"

#include <cstdio>

namespace twacquire {

namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// The current value of a capability as a number (FIX32 as its decimal).
std::optional<double> CurrentNumber(DataSource& source, TW_UINT16 cap) {
    TW_UINT16 rc = 0;
    std::optional<Container> c = source.GetCapability(cap, MSG_GETCURRENT, rc);
    if (!c) c = source.GetCapability(cap, MSG_GET, rc);
    if (!c) return std::nullopt;
    const std::optional<CapItem> item = CurrentItem(*c);
    if (!item) return std::nullopt;
    if (c->itemType == TWTY_FIX32) return Fix32ToDouble(Uint32ToFix32(item->number));
    return static_cast<double>(item->number);
}

class Negotiation {
public:
    Negotiation(DataSource& source, FILE* err) : source_(source), err_(err) {}

    // Sets a capability the user asked for; a refusal ends the run.
    bool Require(TW_UINT16 cap, const std::string& value, const char* why = nullptr) {
        std::string error;
        if (SetCapabilityText(source_, cap, value, error)) return true;
        std::fprintf(err_, "twacquire: %s%s%s\n", error.c_str(), why ? "; " : "", why ? why : "");
        return false;
    }
    // Sets a capability twacquire would like; a refusal is no matter.
    bool Try(TW_UINT16 cap, const std::string& value) {
        std::string error;
        return SetCapabilityText(source_, cap, value, error);
    }

    DataSource& source_;
    FILE* err_;
};

TW_UINT16 MechanismCode(Mechanism m) {
    switch (m) {
    case Mechanism::Native: return TWSX_NATIVE;
    case Mechanism::File: return TWSX_FILE;
    case Mechanism::Memory: return TWSX_MEMORY;
    }
    return TWSX_MEMORY;
}

}  // namespace

int Negotiate(DataSource& source, const Options& o, Negotiated& result, FILE* err) {
    Negotiation n(source, err);

    // Transfer mechanism: memory unless asked otherwise, native when a
    // source has no memory transfer.
    result.mechanism = o.mechanism.value_or(Mechanism::Memory);
    if (!n.Try(ICAP_XFERMECH, std::to_string(MechanismCode(result.mechanism)))) {
        if (o.mechanism) {
            n.Require(ICAP_XFERMECH, std::to_string(MechanismCode(result.mechanism)));
            return kExitRefused;
        }
        result.mechanism = Mechanism::Native;
        if (!n.Require(ICAP_XFERMECH, std::to_string(TWSX_NATIVE))) return kExitRefused;
    }
    result.format = o.format ? *o.format
                    : FormatOfName(o.output).value_or(result.mechanism == Mechanism::Native
                                                          ? FileFormat::Bmp
                                                          : FileFormat::Tiff);
    if (result.mechanism == Mechanism::File &&
        !n.Require(ICAP_IMAGEFILEFORMAT,
                   std::to_string(result.format == FileFormat::Bmp ? TWFF_BMP : TWFF_TIFF)))
        return kExitRefused;

    if (o.mode) {
        const TW_UINT16 type = *o.mode == Mode::Color ? TWPT_RGB
                               : *o.mode == Mode::Gray ? TWPT_GRAY
                                                       : TWPT_BW;
        if (!n.Require(ICAP_PIXELTYPE, std::to_string(type))) return kExitRefused;
        if (*o.mode == Mode::Halftone) {
            // Halftone is 1-bit output reduced by a halftone pattern; the
            // source must confirm that it took the reduction.
            std::string error;
            const bool set = SetCapabilityText(source, ICAP_BITDEPTHREDUCTION, "1", error);
            TW_UINT16 rc = 0;
            const std::optional<Container> now =
                set ? source.GetCapability(ICAP_BITDEPTHREDUCTION, MSG_GETCURRENT, rc)
                    : std::nullopt;
            const std::optional<CapItem> item = now ? CurrentItem(*now) : std::nullopt;
            if (!item || item->number != 1) {
                if (set && !now) error = "ICAP_BITDEPTHREDUCTION: " + source.DescribeFailure(rc);
                else if (set) error = "ICAP_BITDEPTHREDUCTION stayed " + FormatItem(ICAP_BITDEPTHREDUCTION, now->itemType, *item);
                std::fprintf(err,
                             "twacquire: the source does not halftone on request (%s); choose "
                             "halftone in its setup window with --ui\n",
                             error.c_str());
                return kExitRefused;
            }
        }
    }

    if (o.resolution) {
        const std::string dpi = Number(*o.resolution);
        if (!n.Require(ICAP_XRESOLUTION, dpi) || !n.Require(ICAP_YRESOLUTION, dpi))
            return kExitRefused;
    }

    if (o.planar) {
        if (!n.Require(ICAP_PLANARCHUNKY, "1", "it cannot deliver colour as planes"))
            return kExitRefused;
    } else if (result.mechanism == Mechanism::Memory) {
        n.Try(ICAP_PLANARCHUNKY, "0");  // either way twacquire can assemble the image
    }

    if (o.frame) {
        // The frame goes in inches, which every source understands.
        double xDpi = o.resolution.value_or(0), yDpi = xDpi;
        if (o.units == Units::Pixels && !o.resolution) {
            xDpi = CurrentNumber(source, ICAP_XRESOLUTION).value_or(0);
            yDpi = CurrentNumber(source, ICAP_YRESOLUTION).value_or(xDpi);
        }
        const std::optional<Frame> inches = FrameInInches(*o.frame, o.units, xDpi, yDpi);
        if (!inches) {
            std::fprintf(err, "twacquire: a frame in pixels needs the resolution: give --resolution\n");
            return kExitUsage;
        }
        if (!n.Try(ICAP_UNITS, std::to_string(TWUN_INCHES)) &&
            CurrentNumber(source, ICAP_UNITS).value_or(TWUN_INCHES) != TWUN_INCHES) {
            n.Require(ICAP_UNITS, std::to_string(TWUN_INCHES), "the frame cannot be given");
            return kExitRefused;
        }
        TW_IMAGELAYOUT layout{};
        if (source.Call(DG_CONTROL, DAT_IMAGELAYOUT, MSG_GET, &layout) != TWRC_SUCCESS)
            layout = TW_IMAGELAYOUT{{}, 1, 1, 1};
        layout.Frame = {DoubleToFix32(inches->left), DoubleToFix32(inches->top),
                        DoubleToFix32(inches->right), DoubleToFix32(inches->bottom)};
        const TW_UINT16 rc = source.Call(DG_CONTROL, DAT_IMAGELAYOUT, MSG_SET, &layout);
        if (rc != TWRC_SUCCESS && rc != TWRC_CHECKSTATUS) {
            std::fprintf(err, "twacquire: the source refused the frame %g,%g,%g,%g in: %s\n",
                         inches->left, inches->top, inches->right, inches->bottom,
                         source.DescribeFailure(rc).c_str());
            return kExitRefused;
        }
    }

    result.count = o.count;
    if (o.showUi && (o.batch || o.count > 1)) {
        // The user chooses the feeder in the setup window; several images
        // may also be several scans from the glass.
        n.Try(CAP_XFERCOUNT, o.count > 0 ? std::to_string(o.count) : "-1");
    } else if (o.batch || o.count > 1) {
        if (!n.Require(CAP_FEEDERENABLED, "TRUE", "a batch needs the document feeder"))
            return kExitRefused;
        n.Try(CAP_AUTOFEED, "TRUE");
        n.Try(CAP_XFERCOUNT, o.count > 0 ? std::to_string(o.count) : "-1");
        TW_UINT16 rc = 0;
        const std::optional<Container> loaded = source.GetCapability(CAP_FEEDERLOADED, MSG_GET, rc);
        const std::optional<CapItem> item = loaded ? CurrentItem(*loaded) : std::nullopt;
        if (item && (item->number & 0xFFFF) == 0) {
            std::fprintf(err, "twacquire: the document feeder is empty\n");
            return kExitDevice;
        }
    } else {
        n.Try(CAP_XFERCOUNT, "1");
    }

    for (const auto& [name, value] : o.sets) {
        const std::optional<uint16_t> cap = TwainCapabilityByName(name);
        if (!cap) {
            std::fprintf(err, "twacquire: unknown capability '%s'\n", name.c_str());
            return kExitUsage;
        }
        if (!n.Require(*cap, value)) return kExitRefused;
    }

    result.whiteIsZero = CurrentNumber(source, ICAP_PIXELFLAVOR).value_or(TWPF_CHOCOLATE) == TWPF_VANILLA;
    result.lsbFirst = CurrentNumber(source, ICAP_BITORDER).value_or(TWBO_MSBFIRST) == TWBO_LSBFIRST;
    return kExitOk;
}

}  // namespace twacquire
