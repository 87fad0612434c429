#include "ds/twain/messages.h"

#include "ds/twain/message_text.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/settings/profile_win.h"

void ShowScannerMessage(HWND owner, int id) {
    const std::string brand = ReadZebInfoBrand();
    const int lang = 1000 * g_languageIndex;
    std::string caption, body;
    UINT icon;
    if (id == 200 + lang || id == 201 + lang) {
        caption = MessageCaption(brand, LoadDsStringExact(id));
        for (int part = 202; part <= 207; ++part) body += LoadDsString(part);
        icon = MB_ICONINFORMATION;
    } else {
        caption = MessageCaption(brand, LoadDsString(11));
        body = LoadDsStringExact(id);
        icon = MB_ICONSTOP;
    }
    MessageBoxA(owner, body.c_str(), caption.c_str(), MB_OK | icon);
}

void ShowDiskSpaceMessage(HWND owner, uint64_t freeBytes, uint64_t requiredBytes) {
    const std::string body =
        DiskSpaceText(freeBytes, requiredBytes, LoadDsString(111), LoadDsString(112));
    const std::string caption = MessageCaption(ReadZebInfoBrand(), LoadDsString(11));
    MessageBoxA(owner, body.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}
