// The installation values of the ZEBINFO section that the package sets up:
// which keys an install writes (only those the machine does not have yet,
// and the version, which is the installed product's), and which an
// uninstall takes away again (only those it added that still hold what it
// wrote, so a value the user changed stays).
//
// Pure computation: no Windows header.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The section's keys and their defaults, the version last.
struct ZebinfoKey {
    const char* name;
    const char* value;
};
extern const ZebinfoKey kZebinfoDefaults[5];
constexpr const char kZebinfoSection[] = "ZEBINFO";

// The version text of a package version: "1.0.0" -> "V1.0".
std::string VersionText(const std::string& packageVersion);

// What the machine has: a key's value, or nothing when it is not there.
using ZebinfoValues = std::map<std::string, std::optional<std::string>>;

struct KeyWrite {
    std::string name, value;
    bool operator==(const KeyWrite&) const = default;
};
// The keys an install writes: every missing key with its default, and the
// version whenever it differs from the package's.
std::vector<KeyWrite> KeysToWrite(const ZebinfoValues& current, const std::string& version);

// The record an install keeps of the keys it added ("NAME=VALUE;..."),
// merged with the record of an earlier install.
std::string RecordAdded(const std::string& earlier, const std::vector<KeyWrite>& written);
// The keys an uninstall removes: those of the record whose value is still
// the one recorded.
std::vector<std::string> KeysToRemove(const ZebinfoValues& current, const std::string& record);
