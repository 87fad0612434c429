#include "outside/scanner/scanner_config.h"

#include <cctype>

namespace scanner {

std::optional<long> ParseNumber(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 9) return std::nullopt;
    long value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && std::isxdigit(static_cast<unsigned char>(c))) {
            digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return negative ? -value : value;
}

ScannerConfig ConfigFromLookup(const ConfigLookup& lookup) {
    ScannerConfig c;
    auto number = [&](const char* key, auto& field) {
        if (auto text = lookup(key))
            if (auto v = ParseNumber(*text)) field = static_cast<std::remove_reference_t<decltype(field)>>(*v);
    };
    auto flag = [&](const char* key, bool& field) {
        if (auto text = lookup(key))
            if (auto v = ParseNumber(*text)) field = *v != 0;
    };
    auto text = [&](const char* key, std::string& field) {
        if (auto v = lookup(key)) field = *v;
    };
    number("Model", c.model);
    flag("Adapter", c.adapter);
    flag("Feeder", c.feeder);
    flag("ColourWithFeeder", c.colourWithFeeder);
    number("Pages", c.pages);
    text("Firmware", c.firmware);
    text("Picture", c.picture);
    number("LineDelay", c.lineDelayMs);
    text("Log", c.logPath);
    number("InquiryStatus", c.inquiryStatus);
    number("NotReadyPolls", c.notReadyPolls);
    number("NotReadyAfter", c.notReadyAfter);
    number("StartFaultPass", c.startFaultPass);
    number("StartFaultStatus", c.startFaultStatus);
    number("StartRefusals", c.startRefusals);
    number("StartRefusalStatus", c.startRefusalStatus);
    number("ReadFaultLine", c.readFaultLine);
    number("ReadFaultStatus", c.readFaultStatus);
    number("ReadFaultPass", c.readFaultPass);
    number("ReadFaultCount", c.readFaultCount);
    number("ReadFaultPage", c.readFaultPage);
    flag("ZeroLineCount", c.zeroLineCount);
    number("EscapeAfterLines", c.escapeAfterLines);
    return c;
}

}  // namespace scanner
