// DAT_CAPABILITY over global memory and the session. The value lists, the
// container layouts and the rules live in cap_containers; this file moves
// bytes in and out of the host's global memory and applies the results to
// g_session and g_settings.
#include "ds/twain/capabilities.h"

#include "ds/acquire/driver.h"
#include "ds/twain/cap_containers.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int kStrAuthor = 8;
constexpr int kStrCaption = 9;
constexpr int kStrWinFax3 = 407;
constexpr int kStrRecognita = 409;
constexpr int kStrWinFax4 = 412;
constexpr int kStrPublisher = 414;

bool HostNameIsString(int stringId) {
    return ProductNameIs(g_session.appIdentity.ProductName, LoadDsString(stringId));
}

// The current position of a list capability in the session; the two
// resolutions share one.
TW_UINT16* PositionOf(TW_UINT16 cap) {
    CapabilityPositions& p = g_session.caps;
    switch (cap) {
    case ICAP_XFERMECH: return &p.xferMech;
    case ICAP_PIXELTYPE: return &p.pixelType;
    case ICAP_UNITS: return &p.units;
    case ICAP_IMAGEFILEFORMAT: return &p.fileFormat;
    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION: return &p.resolution;
    case ICAP_SUPPORTEDSIZES: return &p.supportedSize;
    default: return nullptr;
    }
}

void ResetPositions() {
    CapabilityPositions& p = g_session.caps;
    p.xferMech = FindValueList(ICAP_XFERMECH)->DefaultPosition;
    p.pixelType = FindValueList(ICAP_PIXELTYPE)->DefaultPosition;
    p.units = FindValueList(ICAP_UNITS)->DefaultPosition;
    p.fileFormat = FindValueList(ICAP_IMAGEFILEFORMAT)->DefaultPosition;
    p.resolution = FindValueList(ICAP_XRESOLUTION)->DefaultPosition;
    p.supportedSize = FindValueList(ICAP_SUPPORTEDSIZES)->DefaultPosition;
}

// A new movable global block holding `bytes`, or null when it cannot be
// allocated or locked.
HGLOBAL NewBlock(const std::vector<uint8_t>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return nullptr;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// Hands a container to the host: a new block in the capability's
// hContainer, and its container type. The host owns the block from here.
void Answer(TW_CAPABILITY& cap, TW_UINT16 conType, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) {
        Fail(TWCC_BADVALUE);
        return;
    }
    HGLOBAL block = NewBlock(bytes);
    if (!block) {
        Fail(TWCC_LOWMEMORY);
        return;
    }
    cap.ConType = conType;
    cap.hContainer = block;
    SetResult(TWRC_SUCCESS);
}

void AnswerOneValue(TW_CAPABILITY& cap, TW_UINT16 itemType, TW_UINT32 value) {
    Answer(cap, TWON_ONEVALUE, OneValueBytes(itemType, value));
}

void AnswerCurrentValue(TW_CAPABILITY& cap) {
    const CapabilityValueList* list = FindValueList(cap.Cap);
    AnswerOneValue(cap, list->ItemType, ListValue(*list, *PositionOf(cap.Cap)));
}

// The value of the host's container for MSG_SET; nothing (and the failure
// set) when the container is missing, unreadable or malformed. The block's
// own size bounds every read, whatever the container claims.
std::optional<TW_UINT32> TakeHostValue(const TW_CAPABILITY& cap) {
    HGLOBAL block = static_cast<HGLOBAL>(cap.hContainer);
    if (!block) {
        Fail(TWCC_BADVALUE);
        return std::nullopt;
    }
    const SIZE_T size = GlobalSize(block);
    const void* p = size ? GlobalLock(block) : nullptr;
    if (!p) {
        Fail(TWCC_BADVALUE);
        return std::nullopt;
    }
    std::optional<TW_UINT32> value =
        ReadHostValue(cap.ConType, std::span(static_cast<const uint8_t*>(p), size));
    GlobalUnlock(block);
    if (!value) Fail(TWCC_BADVALUE);
    return value;
}

// The value of a host's TWTY_FIX32 container, when it is one; the host's
// block is read within its own size. Nothing (and no failure set) for any
// other container.
std::optional<double> PeekHostFix32(const TW_CAPABILITY& cap) {
    HGLOBAL block = static_cast<HGLOBAL>(cap.hContainer);
    const SIZE_T size = block ? GlobalSize(block) : 0;
    const void* p = size ? GlobalLock(block) : nullptr;
    if (!p) return std::nullopt;
    std::optional<double> value =
        ReadHostFix32(cap.ConType, std::span(static_cast<const uint8_t*>(p), size));
    GlobalUnlock(block);
    return value;
}

// ---- Standard handler ----------------------------------------------------

bool FeederPresent() { return g_settings.FeederPresent != 0; }

TW_UINT16 CurrentPixelType() {
    return static_cast<TW_UINT16>(ListValue(*FindValueList(ICAP_PIXELTYPE), g_session.caps.pixelType));
}

// Whether MSG_GET has an answer for the capability (rather than TWCC_BADCAP).
bool HasCurrentValue(TW_UINT16 cap) {
    if (StandardFixedAnswer(cap) || FindValueList(cap)) return true;
    switch (cap) {
    case CAP_SUPPORTEDCAPS:
    case ICAP_BITDEPTH:
    case ICAP_PHYSICALWIDTH:
    case ICAP_PHYSICALHEIGHT:
    case ICAP_BITORDER:
    case ICAP_FRAMES: return true;
    default: break;
    }
    if (cap == CAP_FEEDERENABLED || cap == CAP_AUTOFEED) return true;
    return cap == CAP_FEEDERLOADED && FeederPresent();
}

// MSG_GET, MSG_GETCURRENT and MSG_GETDEFAULT: the current value.
void StandardGet(TW_CAPABILITY& cap) {
    if (std::optional<OneValueAnswer> fixed = StandardFixedAnswer(cap.Cap)) {
        AnswerOneValue(cap, fixed->ItemType, fixed->Value);
        return;
    }
    if (FindValueList(cap.Cap)) {
        AnswerCurrentValue(cap);
        return;
    }
    switch (cap.Cap) {
    case CAP_SUPPORTEDCAPS:
        Answer(cap, TWON_ARRAY, ArrayBytes(SupportedCapabilities(false, FeederPresent())));
        return;
    case ICAP_BITDEPTH:
        AnswerOneValue(cap, TWTY_UINT16, BitDepthOf(CurrentPixelType()));
        return;
    case ICAP_PHYSICALWIDTH:
    case ICAP_PHYSICALHEIGHT: {
        const double inches =
            cap.Cap == ICAP_PHYSICALWIDTH ? kGlassWidthInches : kGlassLengthInches;
        const TW_UINT16 units = static_cast<TW_UINT16>(
            ListValue(*FindValueList(ICAP_UNITS), g_session.caps.units));
        AnswerOneValue(cap, TWTY_FIX32,
                       Fix32ToUint32(DoubleToFix32(
                           InchesInUnits(inches, units, NegotiatedResolution()))));
        return;
    }
    case ICAP_BITORDER:
        AnswerOneValue(cap, TWTY_UINT16, TWBO_MSBFIRST);
        return;
    case ICAP_FRAMES:
        Answer(cap, TWON_ONEVALUE, FrameOneValueBytes(g_session.currentLayout.Frame));
        return;
    case CAP_FEEDERENABLED:
        AnswerOneValue(cap, TWTY_BOOL, FeederPresent() ? 1 : 0);
        return;
    case CAP_FEEDERLOADED:
        if (!FeederPresent()) {
            Fail(TWCC_BADCAP);
            return;
        }
        {
            const bool loaded = DriverPaperLoaded();
            // From now on pending transfers are counted by the feeder.
            g_session.feederLoadedQueried = true;
            AnswerOneValue(cap, TWTY_BOOL, loaded ? 1 : 0);
        }
        return;
    case CAP_AUTOFEED:
        g_session.autoFeed = 0;
        AnswerOneValue(cap, TWTY_BOOL, 0);
        return;
    default:
        Fail(TWCC_BADCAP);
        return;
    }
}

// Settings that only an open, not yet enabled source may change.
bool InOpenState() {
    if (g_session.state == kState4Open) return true;
    Fail(TWCC_SEQERROR);
    return false;
}

// MSG_RESET: every position back to its default, then the current value of
// the capability asked for. A request that fails leaves the positions as
// they were.
void StandardReset(TW_CAPABILITY& cap) {
    if (!HasCurrentValue(cap.Cap)) {
        Fail(TWCC_BADCAP);
        return;
    }
    // The frame is the layout's, which only an open source may change.
    if (cap.Cap == ICAP_FRAMES && !InOpenState()) return;
    const CapabilityPositions before = g_session.caps;
    const TW_FRAME frameBefore = g_session.currentLayout.Frame;
    ResetPositions();
    if (cap.Cap == ICAP_FRAMES) g_session.currentLayout.Frame = g_session.defaultLayout.Frame;
    StandardGet(cap);
    if (g_session.returnCode != TWRC_SUCCESS) {
        g_session.caps = before;
        g_session.currentLayout.Frame = frameBefore;
    }
}

// ICAP_FRAMES: the layout's frame, set as DAT_IMAGELAYOUT sets it.
void SetFrame(const TW_CAPABILITY& cap) {
    HGLOBAL block = static_cast<HGLOBAL>(cap.hContainer);
    const SIZE_T size = block ? GlobalSize(block) : 0;
    const void* p = size ? GlobalLock(block) : nullptr;
    std::optional<TW_FRAME> frame;
    if (p) {
        frame = ReadHostFrame(cap.ConType, std::span(static_cast<const uint8_t*>(p), size));
        GlobalUnlock(block);
    }
    if (!frame) {
        Fail(TWCC_BADVALUE);
        return;
    }
    if (!InOpenState()) return;
    g_session.currentLayout.Frame = *frame;
    SetResult(TWRC_SUCCESS);
}

void StandardSet(TW_CAPABILITY& cap) {
    // Standard hosts send the resolutions in their TWAIN type, TWTY_FIX32:
    // the nearest whole number of dpi is taken as a 32-bit value would be.
    std::optional<TW_UINT32> value;
    if (cap.Cap == ICAP_XRESOLUTION || cap.Cap == ICAP_YRESOLUTION) {
        if (const std::optional<double> fixed = PeekHostFix32(cap))
            value = *fixed >= 0 && *fixed < 65536.0 ? static_cast<TW_UINT32>(*fixed + 0.5) : 0;
    }
    if (cap.Cap == ICAP_FRAMES) {
        SetFrame(cap);
        return;
    }
    if (!value) value = TakeHostValue(cap);
    if (!value) return;

    switch (cap.Cap) {
    case CAP_XFERCOUNT:
        g_session.pendingCount = static_cast<TW_UINT16>(*value);
        SetResult(TWRC_SUCCESS);
        return;

    case ICAP_XRESOLUTION:
    case ICAP_YRESOLUTION:
        if (HostIsRecognita()) {
            Fail(TWCC_BADVALUE);
            return;
        }
        [[fallthrough]];
    case ICAP_PIXELTYPE:
    case ICAP_UNITS:
    case ICAP_XFERMECH:
    case ICAP_IMAGEFILEFORMAT: {
        const std::optional<TW_UINT16> position = ListPosition(*FindValueList(cap.Cap), *value);
        if (!position) {
            Fail(TWCC_BADVALUE);
            return;
        }
        *PositionOf(cap.Cap) = *position;
        SetResult(TWRC_SUCCESS);
        return;
    }

    case ICAP_SUPPORTEDSIZES:
        // A size outside the list is ignored rather than refused.
        if (std::optional<TW_UINT16> position = ListPosition(*FindValueList(cap.Cap), *value)) {
            g_session.caps.supportedSize = *position;
        }
        SetResult(TWRC_SUCCESS);
        return;

    case ICAP_PLANARCHUNKY:
        g_settings.ChunkyPixels = (*value == TWPC_CHUNKY) ? 1 : 0;
        SetResult(TWRC_SUCCESS);
        return;

    case ICAP_BITDEPTH:
        // The depth follows the pixel type: only its own value is taken.
        if (*value != BitDepthOf(CurrentPixelType())) {
            Fail(TWCC_BADVALUE);
            return;
        }
        SetResult(TWRC_SUCCESS);
        return;

    case CAP_FEEDERENABLED:
        if (!FeederPresent()) {
            g_settings.FeederEnabled = 0;
            g_settings.Block.ScanSource = kSourceGlass;
            Fail(TWCC_BADCAP);
            return;
        }
        if (!InOpenState()) return;
        g_settings.FeederEnabled = (*value != 0) ? 1 : 0;
        g_settings.Block.ScanSource = (*value != 0) ? kSourceFeeder : kSourceGlass;
        SetResult(TWRC_SUCCESS);
        return;

    case CAP_AUTOFEED:
        if (!FeederPresent() || !g_settings.FeederEnabled) {
            g_session.autoFeed = 0;
            Fail(TWCC_BADCAP);
            return;
        }
        if (!InOpenState()) return;
        g_session.autoFeed = *value;
        SetResult(TWRC_SUCCESS);
        return;

    case CAP_CLEARPAGE:
    case CAP_FEEDPAGE:
        Fail(TWCC_BADCAP);
        return;

    default:
        // Accepted without effect; the condition code tells the host so.
        SetResult(TWRC_SUCCESS, TWCC_BADVALUE);
        return;
    }
}

void StandardCapabilityOperation(TW_CAPABILITY& cap) {
    switch (g_session.message) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT: StandardGet(cap); return;
    case MSG_SET: StandardSet(cap); return;
    case MSG_RESET: StandardReset(cap); return;
    default: Fail(TWCC_BADPROTOCOL); return;
    }
}

// ---- Microsoft Publisher handler -----------------------------------------

CalendarTime LocalCalendarTime() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return CalendarTime{t.wYear, t.wMonth, t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond};
}

// CAP_AUTHOR, CAP_CAPTION, CAP_TIMEDATE: a TW_ONEVALUE of type TWTY_UINT32
// whose Item is the handle of a second new block holding the text. The
// host frees both blocks.
void AnswerTextBlock(TW_CAPABILITY& cap, size_t blockSize) {
    std::string text;
    if (cap.Cap == CAP_AUTHOR) text = LoadDsString(kStrAuthor);
    else if (cap.Cap == CAP_CAPTION) text = LoadDsString(kStrCaption);
    else text = TimeDateText(LocalCalendarTime());

    HGLOBAL textBlock = NewBlock(TextBlockBytes(text, blockSize));
    if (!textBlock) {
        Fail(TWCC_LOWMEMORY);
        return;
    }
    // The Item is 32 bits wide. A handle that does not fit (possible only in
    // a 64-bit process) cannot be handed over whole, and a cut one would
    // make the host free a wrong block.
    const uint64_t handleValue = reinterpret_cast<uintptr_t>(textBlock);
    if (handleValue >> 32 != 0) {
        GlobalFree(textBlock);
        Fail(TWCC_LOWMEMORY);
        return;
    }
    AnswerOneValue(cap, TWTY_UINT32, static_cast<TW_UINT32>(handleValue));
    if (g_session.returnCode != TWRC_SUCCESS) GlobalFree(textBlock);
}

void PublisherCapabilityOperation(TW_CAPABILITY& cap) {
    if (cap.Cap == CAP_SUPPORTEDCAPS &&
        (g_session.message == MSG_GET || g_session.message == MSG_GETCURRENT ||
         g_session.message == MSG_GETDEFAULT)) {
        Answer(cap, TWON_ARRAY, ArrayBytes(SupportedCapabilities(true, false)));
        return;
    }
    if (std::optional<OneValueAnswer> fixed = PublisherFixedAnswer(cap.Cap)) {
        AnswerOneValue(cap, fixed->ItemType, fixed->Value);
        return;
    }
    if (const size_t blockSize = PublisherTextBlockSize(cap.Cap)) {
        AnswerTextBlock(cap, blockSize);
        return;
    }
    if (PublisherRefusesCapability(cap.Cap)) {
        Fail(TWCC_BADVALUE);
        return;
    }

    const CapabilityValueList* list = FindValueList(cap.Cap);
    // ICAP_SUPPORTEDSIZES has a list but is refused above.
    switch (g_session.message) {
    case MSG_GET:
        if (!list) break;
        Answer(cap, TWON_ENUMERATION,
               EnumerationBytes(list->ItemType, list->Values, *PositionOf(cap.Cap),
                                list->DefaultPosition));
        return;
    case MSG_GETCURRENT:
        if (!list) break;
        AnswerCurrentValue(cap);
        return;
    case MSG_GETDEFAULT:
        if (!list) break;
        AnswerOneValue(cap, list->ItemType, PublisherDefaultValue(cap.Cap, *PositionOf(cap.Cap)));
        return;
    default:
        // Settings are not negotiated with this host.
        SetResult(TWRC_SUCCESS);
        return;
    }
    Fail(TWCC_BADCAP);
}

}  // namespace

bool HostIsPublisher() { return HostNameIsString(kStrPublisher); }
bool HostIsRecognita() { return HostNameIsString(kStrRecognita); }
bool HostIsFaxProgram() { return HostNameIsString(kStrWinFax3) || HostNameIsString(kStrWinFax4); }

TW_UINT16 NegotiatedResolution() {
    return ResolutionOfPosition(g_session.caps.resolution, HostIsFaxProgram());
}

void CapabilityOperation() {
    const bool publisher = HostIsPublisher();
    if (publisher && (g_session.state < kState4Open || g_session.state > kState7Transferring)) {
        Fail(TWCC_SEQERROR);
        return;
    }
    if (!publisher) {
        switch (g_session.message) {
        case MSG_GET:
        case MSG_GETCURRENT:
        case MSG_GETDEFAULT:
        case MSG_SET:
        case MSG_RESET: break;
        default: Fail(TWCC_BADPROTOCOL); return;
        }
    }
    if (!g_session.data) {
        Fail(TWCC_BADVALUE);
        return;
    }
    TW_CAPABILITY& cap = *static_cast<TW_CAPABILITY*>(g_session.data);
    if (publisher) PublisherCapabilityOperation(cap);
    else StandardCapabilityOperation(cap);
}
