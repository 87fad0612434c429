#include "ds/settings/config_text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && Blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && Blank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

bool SameProfileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

SectionKeys ParseSectionList(std::string_view list) {
    SectionKeys keys;
    while (!list.empty() && list.front() != '\0') {
        const size_t end = std::min(list.find('\0'), list.size());
        const std::string_view line = list.substr(0, end);
        list.remove_prefix(std::min(end + 1, list.size()));
        const size_t equals = line.find('=');
        std::string_view key = Trimmed(line.substr(0, equals));
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : Trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        if (!key.empty()) keys.emplace_back(std::string(key), std::string(value));
    }
    return keys;
}

std::optional<std::string> FindSectionKey(const SectionKeys& keys, std::string_view key) {
    key = Trimmed(key);
    for (const auto& [name, value] : keys)
        if (SameProfileName(name, key)) return value;
    return std::nullopt;
}

std::string CutToBuffer(std::string_view text, size_t bufferSize) {
    if (bufferSize == 0) return {};
    return std::string(text.substr(0, bufferSize - 1));
}

long LeadingInteger(std::string_view text) {
    size_t i = 0;
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate in 64 bits and hold the result to the 32-bit range, which
    // is also the range of long on Windows.
    constexpr long long kLimit = 1LL << 31;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) value = -value;
    value = std::clamp<long long>(value, INT32_MIN, INT32_MAX);
    return static_cast<long>(value);
}

std::string RepeatText(std::string_view element, size_t times) {
    std::string text;
    text.reserve(element.size() * times);
    for (size_t i = 0; i < times; ++i) text += element;
    return text;
}

std::string DecimalText(long value) { return std::to_string(value); }

std::string ReadKeyText(const ProfileAccess& profile, const std::string& section,
                        const std::string& key, const std::string& defaultText, size_t bufferSize) {
    if (section.empty() || !profile.Read) return CutToBuffer(defaultText, bufferSize);
    // Cut again here: the rule holds whatever the profile hands back.
    return CutToBuffer(profile.Read(section, key, defaultText, bufferSize), bufferSize);
}

long ReadKeyNumber(const ProfileAccess& profile, const std::string& section, const std::string& key,
                   const std::string& defaultText, size_t bufferSize) {
    return LeadingInteger(ReadKeyText(profile, section, key, defaultText, bufferSize));
}

bool WriteKeyText(const ProfileAccess& profile, const std::string& section, const std::string& key,
                  const std::string& value) {
    if (section.empty() || !profile.Write) return true;
    return profile.Write(section, key, value);
}

std::string FormatFourValues(const FourValues& values, size_t width) {
    std::string text;
    for (long v : values) {
        char field[32];
        std::snprintf(field, sizeof field, "%-*ld", static_cast<int>(width), v);
        text += field;
    }
    return text;
}

FourValues ParseFourValues(std::string_view text, size_t width) {
    FourValues values{};
    for (size_t i = 0; i < values.size(); ++i) {
        const size_t at = i * width;
        if (at < text.size()) values[i] = LeadingInteger(text.substr(at, width));
    }
    return values;
}

uint16_t GammaSizeFromStored(long storedSize) {
    return static_cast<uint16_t>(std::clamp<long>(storedSize, 0, kGammaTableSize));
}

size_t GammaCodeBufferSize(uint16_t size) { return 3 * size_t{size} + 1; }

void ParseGammaCode(std::string_view text, uint16_t size, uint8_t (&table)[256]) {
    std::memset(table, 0, sizeof table);
    const size_t n = std::min<size_t>(size, sizeof table);
    for (size_t i = 0; i < n; ++i) {
        const size_t at = i * 3;
        if (at >= text.size()) break;
        table[i] = static_cast<uint8_t>(
            static_cast<unsigned long>(LeadingInteger(text.substr(at, 3))) & 0xFF);
    }
}

int LanguageIndexFromText(std::string_view text) {
    static constexpr std::string_view kLanguages[] = {"English", "German",  "French",
                                                      "Italian", "Spanish", "Dutch"};
    for (int i = 0; i < 6; ++i)
        if (text == kLanguages[i]) return i;
    return 0;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool SlowSpeedRuleOn(std::string_view slowSpeedVersion, std::string_view dsLanguage) {
    return !EqualsIgnoringCase(slowSpeedVersion, "No") &&
           !EqualsIgnoringCase(dsLanguage, "English");
}
