#include "ds/twain/zebinfo.h"

#include <windows.h>

namespace {

std::string ZebInfo(const char* key, const char* fallback, DWORD size) {
    std::string buf(size, '\0');
    DWORD n = GetProfileStringA("ZEBINFO", key, fallback, buf.data(), size);
    buf.resize(n);
    return buf;
}

}  // namespace

std::string ReadBrand() { return ZebInfo("BRAND", "Tavlen", 256); }

int ReadLanguageIndex() {
    static const char* const kNames[] = {"English", "German", "French",
                                         "Italian", "Spanish", "Dutch"};
    const std::string name = ZebInfo("LANGUAGE", "English", 256);
    for (int i = 0; i < 6; ++i)
        if (name == kNames[i]) return i;
    return 0;
}

std::string ReadDriverName() { return ZebInfo("DRIVER", "PAVO.DLL", 256); }
