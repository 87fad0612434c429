// Text rules of the configuration: every value is kept as decimal text,
// read back with a fixed buffer size and a C-style leading-integer
// conversion; lists of four numbers are fixed-width fields joined without
// separators. The profile itself is reached through a pair of callbacks, so
// that these rules work on WIN.INI, on a setting file, or on a profile held
// in memory.
//
// Pure computation: no Windows header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One profile: a place where keys of named sections are read and written.
struct ProfileAccess {
    // The text of `key` in `section`, or `defaultText` when the key (or the
    // whole section) is absent. `bufferSize` is the size of the caller's
    // buffer, terminator included; the reader may cut the text to fit it.
    std::function<std::string(const std::string& section, const std::string& key,
                              const std::string& defaultText, size_t bufferSize)>
        Read;
    // Writes `value` under `key` in `section`, creating both when absent;
    // false when the profile could not be written.
    std::function<bool(const std::string& section, const std::string& key,
                       const std::string& value)>
        Write;
};

// Section and key names match without regard to case.
bool SameProfileName(std::string_view a, std::string_view b);

// The keys of one section as the profile functions list them in one call:
// "key=value" strings, each ended by a zero byte, the list ended by a second
// zero byte (a line without '=' is a key with an empty value). Parsed once,
// a section answers every key of a settings load without a trip to the
// profile per key.
using SectionKeys = std::vector<std::pair<std::string, std::string>>;
SectionKeys ParseSectionList(std::string_view list);

// The value of `key` as a single key read gives it: keys compared without
// regard to case, the first of repeated keys, blanks around key and value
// dropped, and one pair of matching quotes around the value removed.
// Nothing when the key is absent.
std::optional<std::string> FindSectionKey(const SectionKeys& keys, std::string_view key);

// The text as a buffer of `bufferSize` bytes holds it: at most
// bufferSize - 1 characters, the last byte going to the terminator.
std::string CutToBuffer(std::string_view text, size_t bufferSize);

// C-style leading-integer conversion: leading blanks skipped, an optional
// sign, digits up to the first non-digit; no digits give 0. Values beyond
// the 32-bit range are held at its ends.
long LeadingInteger(std::string_view text);

// `element` repeated `times` times (the default texts of list keys).
std::string RepeatText(std::string_view element, size_t times);

// A number in decimal without padding.
std::string DecimalText(long value);

// Reads a key through `profile` as a buffer of `bufferSize` bytes would
// receive it. An empty section name stands for a section that does not
// exist: the default is taken without asking the profile.
std::string ReadKeyText(const ProfileAccess& profile, const std::string& section,
                        const std::string& key, const std::string& defaultText, size_t bufferSize);
// The same, converted by the leading-integer conversion.
long ReadKeyNumber(const ProfileAccess& profile, const std::string& section, const std::string& key,
                   const std::string& defaultText, size_t bufferSize);
// Writes a key; nothing is written under an empty section name. False when
// the profile refused the write.
bool WriteKeyText(const ProfileAccess& profile, const std::string& section, const std::string& key,
                  const std::string& value);

// ---- Lists of four numbers ----------------------------------------------

using FourValues = std::array<long, 4>;

// Field widths: "Frame" uses four characters, every other list three.
constexpr size_t kFrameFieldWidth = 4;
constexpr size_t kListFieldWidth = 3;

// The four values, each left-aligned in a field of `width` characters
// ("%-3d" / "%-4d") and joined without separators. A value wider than its
// field is written whole and shifts the fields after it.
std::string FormatFourValues(const FourValues& values, size_t width);
// The four fields at 0, width, 2 × width and 3 × width, each converted by
// the leading-integer conversion; a field beyond the end of the text is 0,
// characters after the fourth field are ignored.
FourValues ParseFourValues(std::string_view text, size_t width);

// ---- Gamma table --------------------------------------------------------

// Largest number of gamma entries: the table holds 256 bytes.
constexpr long kGammaTableSize = 256;

// A stored "Gamma Size" held to the table: below 0 gives 0, above 256 is cut
// to 256 (the entries that fit are kept).
uint16_t GammaSizeFromStored(long storedSize);
// Buffer size of the "Gamma code" key for a table of `size` entries.
size_t GammaCodeBufferSize(uint16_t size);
// Fills the first `size` bytes of `table` from three-character fields of
// `text` (low byte of each converted value; fields beyond the text give 0)
// and zeroes the rest of the table.
void ParseGammaCode(std::string_view text, uint16_t size, uint8_t (&table)[256]);

// ---- ZEBINFO texts ------------------------------------------------------

// Language index of a "LANGUAGE" text: "English", "German", "French",
// "Italian", "Spanish", "Dutch" (compared exactly) give 0 to 5, anything else 0.
int LanguageIndexFromText(std::string_view text);

// Equality of two texts without regard to ASCII case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The slow-speed rule is on when "SLOWSPEEDVER" is not "No" and
// "DSLANGUAGE" is not "English", both compared without regard to case.
bool SlowSpeedRuleOn(std::string_view slowSpeedVersion, std::string_view dsLanguage);
