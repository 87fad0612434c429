#include "installer/zebinfo_keys.h"

#include <algorithm>

const ZebinfoKey kZebinfoDefaults[5] = {
    {"DRIVER", "PAVO.DLL"},
    {"BRAND", "Tavlen"},
    {"LANGUAGE", "English"},
    {"DSLANGUAGE", "None"},
    {"VERSION", "V1.0"},
};

namespace {

std::vector<KeyWrite> ParseRecord(const std::string& record) {
    std::vector<KeyWrite> entries;
    size_t start = 0;
    while (start < record.size()) {
        size_t end = record.find(';', start);
        if (end == std::string::npos) end = record.size();
        const std::string entry = record.substr(start, end - start);
        const size_t equals = entry.find('=');
        if (equals != std::string::npos && equals > 0)
            entries.push_back({entry.substr(0, equals), entry.substr(equals + 1)});
        start = end + 1;
    }
    return entries;
}

}  // namespace

std::string VersionText(const std::string& packageVersion) {
    const size_t first = packageVersion.find('.');
    const size_t second = first == std::string::npos ? std::string::npos : packageVersion.find('.', first + 1);
    return "V" + packageVersion.substr(0, second);
}

std::vector<KeyWrite> KeysToWrite(const ZebinfoValues& current, const std::string& version) {
    std::vector<KeyWrite> writes;
    for (const ZebinfoKey& key : kZebinfoDefaults) {
        const auto found = current.find(key.name);
        const bool present = found != current.end() && found->second.has_value();
        const bool isVersion = std::string(key.name) == "VERSION";
        if (isVersion) {
            if (!present || *found->second != version) writes.push_back({key.name, version});
        } else if (!present) {
            writes.push_back({key.name, key.value});
        }
    }
    return writes;
}

std::string RecordAdded(const std::string& earlier, const std::vector<KeyWrite>& written) {
    std::vector<KeyWrite> entries = ParseRecord(earlier);
    for (const KeyWrite& w : written) {
        auto same = std::find_if(entries.begin(), entries.end(), [&](const KeyWrite& e) { return e.name == w.name; });
        if (same != entries.end()) {
            same->value = w.value;
        } else {
            entries.push_back(w);
        }
    }
    std::string record;
    for (const KeyWrite& e : entries) record += e.name + "=" + e.value + ";";
    return record;
}

std::vector<std::string> KeysToRemove(const ZebinfoValues& current, const std::string& record) {
    std::vector<std::string> keys;
    for (const KeyWrite& e : ParseRecord(record)) {
        const auto found = current.find(e.name);
        if (found != current.end() && found->second && *found->second == e.value) keys.push_back(e.name);
    }
    return keys;
}
