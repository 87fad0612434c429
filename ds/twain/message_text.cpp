#include "ds/twain/message_text.h"

std::string FormatDiskSize(uint64_t bytes) {
    if (bytes <= 1024) return std::to_string(bytes);
    return std::to_string(bytes / 1024) + "K";
}

std::string DiskSpaceText(uint64_t freeBytes, uint64_t requiredBytes,
                          const std::string& text111, const std::string& text112) {
    return FormatDiskSize(requiredBytes) + text111 + FormatDiskSize(freeBytes) + text112;
}

std::string IdentityProductName(const std::string& brandAsRead) {
    constexpr size_t kFieldChars = 33;  // TW_STR32 holds 33 characters and a zero
    if (brandAsRead.size() <= kFieldChars) return brandAsRead;
    return brandAsRead.substr(0, kFieldChars - 1) + " ";
}

std::string MessageCaption(const std::string& brandAsRead, const std::string& text) {
    return brandAsRead + " " + text;
}
