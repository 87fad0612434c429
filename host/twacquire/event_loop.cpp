#include "host/twacquire/event_loop.h"

#include <windows.h>

namespace twacquire {

TW_UINT16 WaitForSource(DataSource& source) {
    // A timer keeps messages coming, so that the source is asked regularly
    // even when nothing else happens (a manager that posts nothing).
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, nullptr);
    TW_UINT16 result = MSG_CLOSEDSREQ;
    MSG msg;
    for (;;) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TW_EVENT event{&msg, MSG_NULL};
        const TW_UINT16 rc = source.Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        if (rc != TWRC_DSEVENT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (event.TWMessage == MSG_XFERREADY || event.TWMessage == MSG_CLOSEDSREQ ||
            event.TWMessage == MSG_CLOSEDSOK) {
            result = event.TWMessage;
            break;
        }
    }
    KillTimer(nullptr, timer);
    return result;
}

}  // namespace twacquire
