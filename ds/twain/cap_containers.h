// Capability negotiation without Windows: the fixed value lists of the
// negotiable capabilities, the byte layouts of the containers handed to the
// host, reading the value out of a host's container, and the rules that
// depend only on the capability and the host's product name.
//
// Pure computation: no Windows header.
#pragma once

#include "common/twain.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// ---- Value lists ---------------------------------------------------------

// A fixed list of allowed values. The source keeps a current position into
// it; DefaultPosition is where MSG_RESET puts it back.
struct CapabilityValueList {
    TW_UINT16 ItemType;
    std::span<const TW_UINT32> Values;
    TW_UINT16 DefaultPosition;
};

// The list behind ICAP_XFERMECH, ICAP_PIXELTYPE, ICAP_UNITS,
// ICAP_IMAGEFILEFORMAT, ICAP_XRESOLUTION, ICAP_YRESOLUTION (both the same
// list) and ICAP_SUPPORTEDSIZES; null for every other capability.
const CapabilityValueList* FindValueList(TW_UINT16 cap);

// Position of a value in a list, or nothing when the list lacks it.
std::optional<TW_UINT16> ListPosition(const CapabilityValueList& list, TW_UINT32 value);

// The value at a position. A position outside the list reads as the
// default position, so a damaged position never reads past the list.
TW_UINT32 ListValue(const CapabilityValueList& list, TW_UINT16 position);

// ---- Containers built for the host ---------------------------------------

// Bytes of one item for the item types this source exchanges in lists and
// reads from hosts: 1 for TWTY_INT8/UINT8, 2 for INT16/UINT16, 4 for
// INT32/UINT32; 0 for every other type (TWTY_BOOL and TWTY_FIX32 included).
size_t ContainerItemSize(TW_UINT16 itemType);

// A TW_ONEVALUE (6 bytes). The value is cut to the width of its type; for
// the signed types it is sign-extended over the 32-bit Item, so that a host
// reading either the low word or the whole Item sees the same number. A
// TWTY_BOOL is stored as a 16-bit word; any other type keeps all 32 bits.
std::vector<uint8_t> OneValueBytes(TW_UINT16 itemType, TW_UINT32 value);

// A TW_ENUMERATION of a whole value list: the header (14 bytes) followed by
// the items packed at their item size. Empty when the item type has no
// container item size (the caller refuses it with TWCC_BADVALUE).
std::vector<uint8_t> EnumerationBytes(TW_UINT16 itemType, std::span<const TW_UINT32> values,
                                      TW_UINT32 currentIndex, TW_UINT32 defaultIndex);

// ---- Containers coming from the host -------------------------------------

// Bytes of one item in a host's container: as ContainerItemSize, and also 2
// for TWTY_BOOL, the type in which hosts set the feeder and auto-feed
// switches. 0 for a type the source does not read (TWTY_FIX32 among them).
size_t HostItemSize(TW_UINT16 itemType);

// The value a host's container carries for MSG_SET: the Item of a
// TW_ONEVALUE or the first item of a TW_ENUMERATION (whatever its
// CurrentIndex), read at the width of its item type (8-bit types give that
// byte, 16-bit types that word, 32-bit types all four bytes, never
// sign-extended). Nothing for any other container type, an item type
// without a HostItemSize, an enumeration without items, or a block too
// small for the container header or for the item count it declares.
// `container` is the whole block as the host allocated it.
std::optional<TW_UINT32> ReadHostValue(TW_UINT16 conType, std::span<const uint8_t> container);

// The value of a host's TWTY_FIX32 container for MSG_SET (a TW_ONEVALUE, or
// the first item of a TW_ENUMERATION), with the same bounds as
// ReadHostValue; nothing when the container holds another item type.
std::optional<double> ReadHostFix32(TW_UINT16 conType, std::span<const uint8_t> container);

// The frame of a host's TWTY_FRAME container (a TW_ONEVALUE, or the first
// item of a TW_ENUMERATION), within the block's size; nothing otherwise.
std::optional<TW_FRAME> ReadHostFrame(TW_UINT16 conType, std::span<const uint8_t> container);

// ---- Answers standard hosts ask for ---------------------------------------

// A TW_ONEVALUE holding a frame: the item type and the 16-byte frame.
std::vector<uint8_t> FrameOneValueBytes(const TW_FRAME& frame);

// A TW_ARRAY of 16-bit items: the header (6 bytes) and the items.
std::vector<uint8_t> ArrayBytes(std::span<const TW_UINT16> values);

// CAP_SUPPORTEDCAPS: every capability the handler in use answers. The
// standard handler lists the feeder-loaded query only with a feeder.
std::vector<TW_UINT16> SupportedCapabilities(bool publisher, bool feeder);

// ICAP_BITDEPTH of a pixel type: 1 for black and white, 8 otherwise.
TW_UINT16 BitDepthOf(TW_UINT16 pixelType);

// A length in inches in the units of ICAP_UNITS (pixels at `resolution`).
double InchesInUnits(double inches, TW_UINT16 units, TW_UINT16 resolution);

// The glass the scanner scans, in inches.
constexpr double kGlassWidthInches = 8.5;
constexpr double kGlassLengthInches = 14.0;

// ---- Fixed answers -------------------------------------------------------

struct OneValueAnswer {
    TW_UINT16 ItemType;
    TW_UINT32 Value;
};

// The answers that do not depend on any setting in the standard handler:
// CAP_XFERCOUNT, ICAP_COMPRESSION, CAP_INDICATORS, ICAP_FILTER,
// ICAP_LIGHTSOURCE, ICAP_PIXELFLAVOR, ICAP_PLANARCHUNKY.
std::optional<OneValueAnswer> StandardFixedAnswer(TW_UINT16 cap);

// ---- The Microsoft Publisher handler -------------------------------------

// The fixed answers of the Publisher handler, given whatever the message:
// CAP_XFERCOUNT, ICAP_COMPRESSION, ICAP_FILTER, ICAP_LIGHTSOURCE,
// ICAP_PIXELFLAVOR.
std::optional<OneValueAnswer> PublisherFixedAnswer(TW_UINT16 cap);

// The image capabilities the Publisher handler refuses with TWCC_BADVALUE:
// 0x1100, 0x1101 and 0x1103 to 0x112B, except those it answers or lets
// through (0x1106, 0x110B, 0x110C, 0x110E, 0x110F, 0x1115, 0x1118, 0x1119,
// 0x111F, 0x1129).
bool PublisherRefusesCapability(TW_UINT16 cap);

// Size of the text block behind CAP_AUTHOR (130), CAP_CAPTION (256) and
// CAP_TIMEDATE (34) in the Publisher handler; 0 for every other capability.
size_t PublisherTextBlockSize(TW_UINT16 cap);

// The MSG_GETDEFAULT answer of the Publisher handler for a list
// capability: the first list value for pixel type, units and file format,
// TWSX_MEMORY for the transfer mechanism, and the current value for the
// resolutions (it has no default of its own there).
TW_UINT32 PublisherDefaultValue(TW_UINT16 cap, TW_UINT16 currentPosition);

// A text block of exactly `size` bytes: the text, cut so that a terminating
// zero always fits, then zeros.
std::vector<uint8_t> TextBlockBytes(std::string_view text, size_t size);

// A local date and time, as the calendar gives it.
struct CalendarTime {
    int Year;
    int Month;      // 1 to 12
    int Day;        // 1 to 31
    int Weekday;    // 0 Sunday to 6 Saturday
    int Hour;
    int Minute;
    int Second;
};

// The date and time as the C library's asctime writes it, without the
// final line break: "Mon Dec  7 22:18:07 2026".
std::string TimeDateText(const CalendarTime& time);

// ---- Host names ----------------------------------------------------------

// Whether a host's ProductName (a 34-byte field that a careless host may
// leave unterminated) equals `name` exactly. An empty name never matches,
// so a missing string resource cannot turn every nameless host into a
// special one.
bool ProductNameIs(const char (&productName)[34], std::string_view name);

// The output resolution of a negotiated resolution position: 72, 200, 300,
// 600. The two fax hosts get 200 dpi where the 300-dpi position is chosen.
TW_UINT16 ResolutionOfPosition(TW_UINT16 position, bool faxHost);
