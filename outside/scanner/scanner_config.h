// Configuration of the virtual scanner: what it reports, what it scans and
// which faults it shows. The Windows shell reads it from its own WIN.INI
// section; the keys are documented in README.md beside this file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace scanner {

inline constexpr char kConfigSection[] = "VirtualScanner";

struct ScannerConfig {
    // The scanner and its options.
    unsigned model = 12000;         // number reported by the inquiry
    bool adapter = false;           // transparency adapter fitted
    bool feeder = false;            // document feeder fitted
    bool colourWithFeeder = true;   // colour scans allowed from the feeder
    unsigned pages = 1;             // pages waiting in the feeder
    std::string firmware = "1.00";  // four characters
    std::string picture;            // BMP laid on the glass; empty: the test chart
    unsigned lineDelayMs = 0;       // added per line read
    std::string logPath;            // request log; empty: none

    // Faults.
    uint16_t inquiryStatus = 0;          // status of every inquiry
    unsigned notReadyPolls = 0;          // inquiries answered 0x00FF ...
    unsigned notReadyAfter = 1;          // ... after this many at load, and after every Start
    int startFaultPass = -1;             // pass word whose Start fails ...
    uint16_t startFaultStatus = 0;       // ... with this status
    unsigned startRefusals = 0;          // refused Starts before passes 2 and 3
    uint16_t startRefusalStatus = 0x00FF;
    long readFaultLine = -1;             // the Read covering this line of a pass fails ...
    uint16_t readFaultStatus = 0;        // ... with this status
    int readFaultPass = -1;              // only in this pass (-1: every pass)
    unsigned readFaultCount = 0;         // that many times (0: every time)
    int readFaultPage = -1;              // only on this page drawn from the feeder (-1: every page)
    bool zeroLineCount = false;          // Scan status reports no lines
    unsigned escapeAfterLines = 0;       // ESC posted once this many lines are read (0: never)
};

// A decimal number, or a hexadecimal one written 0x...; leading and
// trailing blanks allowed. Nothing for anything else.
std::optional<long> ParseNumber(std::string_view text);

// Builds the configuration from a key lookup (nothing: the key is absent).
// Absent keys and values that are not numbers keep the defaults.
using ConfigLookup = std::function<std::optional<std::string>(const char* key)>;
ScannerConfig ConfigFromLookup(const ConfigLookup& lookup);

}  // namespace scanner
