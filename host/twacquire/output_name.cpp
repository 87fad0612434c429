#include "host/twacquire/output_name.h"

#include <cctype>
#include <cstdio>

namespace twacquire {

namespace {

// The length of the field starting at pattern[at] (a '%'): "%%" is 2, a
// number field is the whole "%0Nd"; 0 for anything else.
size_t FieldLength(const std::string& pattern, size_t at, bool& number) {
    number = false;
    size_t i = at + 1;
    if (i < pattern.size() && pattern[i] == '%') return 2;
    while (i < pattern.size() && i - at <= 3 && std::isdigit(static_cast<unsigned char>(pattern[i])))
        ++i;
    if (i < pattern.size() && pattern[i] == 'd' && i - at <= 3) {
        number = true;
        return i + 1 - at;
    }
    return 0;
}

}  // namespace

bool HasNumberField(const std::string& pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        bool number = false;
        const size_t length = FieldLength(pattern, i, number);
        if (number) return true;
        if (length) i += length - 1;
    }
    return false;
}

bool ValidPattern(const std::string& pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        bool number = false;
        const size_t length = FieldLength(pattern, i, number);
        if (!length) return false;
        i += length - 1;
    }
    return true;
}

std::string OutputName(const std::string& pattern, int number) {
    std::string name;
    for (size_t i = 0; i < pattern.size(); ++i) {
        bool isNumber = false;
        const size_t length = pattern[i] == '%' ? FieldLength(pattern, i, isNumber) : 0;
        if (!length) {
            name += pattern[i];
            continue;
        }
        if (isNumber) {
            // The field is at most "%09d": a known, short printf format.
            const std::string format = pattern.substr(i, length);
            char text[32];
            std::snprintf(text, sizeof text, format.c_str(), number);
            name += text;
        } else {
            name += '%';
        }
        i += length - 1;
    }
    return name;
}

}  // namespace twacquire
