#include "host/twacquire/identity_text.h"

#include <cstring>

namespace twacquire {

std::string FieldText(const char* field, size_t size) {
    const void* end = std::memchr(field, '\0', size);
    const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - field) : size;
    return std::string(field, length);
}

std::string FormatIdentity(const TW_IDENTITY& identity) {
    const std::string info = FieldText(identity.Version.Info, sizeof identity.Version.Info);
    std::string text;
    text += "Product name:   " + FieldText(identity.ProductName, sizeof identity.ProductName) + "\n";
    text += "Manufacturer:   " + FieldText(identity.Manufacturer, sizeof identity.Manufacturer) + "\n";
    text += "Product family: " + FieldText(identity.ProductFamily, sizeof identity.ProductFamily) + "\n";
    text += "Version:        " + std::to_string(identity.Version.MajorNum) + "." +
            std::to_string(identity.Version.MinorNum);
    if (!info.empty()) text += " (" + info + ")";
    text += "\n";
    text += "Protocol:       " + std::to_string(identity.ProtocolMajor) + "." +
            std::to_string(identity.ProtocolMinor) + "\n";
    return text;
}

}  // namespace twacquire
