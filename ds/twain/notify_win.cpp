// Notifications to the source manager: transfer ready and close request.
#include "common/product.h"
#include "ds/twain/operations.h"
#include "ds/twain/session.h"

namespace {

void Notify(TW_UINT16 message) {
    HMODULE manager = GetModuleHandleA(kSourceManagerModule);
    if (!manager) return;
    auto entry = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(manager, MAKEINTRESOURCEA(1))));
    if (!entry) return;
    entry(&g_session.ownIdentity, &g_session.appIdentity, DG_CONTROL, DAT_NULL, message,
          nullptr);
}

}  // namespace

void NotifyXferReady() {
    g_session.state = kState6XferReady;
    Notify(MSG_XFERREADY);
}

void NotifyCloseRequest() { Notify(MSG_CLOSEDSREQ); }
