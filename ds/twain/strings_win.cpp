#include "ds/twain/strings.h"

#include "ds/twain/session.h"

std::string LoadDsStringExact(int id) {
    char buf[256];
    int n = LoadStringA(g_instance, static_cast<UINT>(id), buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

std::string LoadDsString(int id) { return LoadDsStringExact(id + 1000 * g_languageIndex); }
