#include "host/dsm/source_order.h"

#include <algorithm>
#include <cstring>

namespace dsm {

namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SourcePathLess(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const unsigned char ca = static_cast<unsigned char>(FoldCase(a[i]));
        const unsigned char cb = static_cast<unsigned char>(FoldCase(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

void SortSourcePaths(std::vector<std::string>& paths) {
    std::stable_sort(paths.begin(), paths.end(),
                     [](const std::string& a, const std::string& b) { return SourcePathLess(a, b); });
}

namespace {

// A name without the blanks at its end, which a profile setting cannot keep.
std::string_view WithoutTrailingBlanks(std::string_view name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return name;
}

}  // namespace

std::optional<size_t> DefaultSourceIndex(const std::vector<std::string>& productNames,
                                         std::string_view preferred) {
    if (productNames.empty()) return std::nullopt;
    preferred = WithoutTrailingBlanks(preferred);
    if (!preferred.empty()) {
        for (size_t i = 0; i < productNames.size(); ++i)
            if (WithoutTrailingBlanks(productNames[i]) == preferred) return i;
    }
    return 0;
}

std::string FieldText(const char* field, size_t size) {
    const void* end = std::memchr(field, '\0', size);
    const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : size;
    return std::string(field, length);
}

}  // namespace dsm
