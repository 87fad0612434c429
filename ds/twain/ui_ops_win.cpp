// User-interface operations: enable with or without the setup window, and
// disable.
#include "ds/acquire/job_driver.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/operations.h"
#include "ds/twain/session.h"
#include "ds/ui/setup_window.h"

void EnableSource() {
    auto* ui = static_cast<TW_USERINTERFACE*>(g_session.data);
    g_session.parentWindow = static_cast<HWND>(ui->hParent);
    g_session.showUI = ui->ShowUI;
    if (!ui->ShowUI) {
        ScanWithoutDialog();
        return;
    }
    if (!g_session.setupWindow) {
        g_session.setupWindow = CreateSetupWindow();
        if (!g_session.setupWindow) {
            Fail(TWCC_LOWMEMORY);
            return;
        }
    }
    ui->ModalUI = 1;
    ShowWindow(g_session.setupWindow, SW_SHOW);
    UpdateWindow(g_session.setupWindow);
    g_session.state = kState5Enabled;
}

void DisableSource() {
    if (g_session.setupWindow) ShowWindow(g_session.setupWindow, SW_HIDE);
    // A transfer still under way ends here: the scanner is stopped and the
    // job's buffers and files go with it.
    if (g_session.state >= kState6XferReady) AbandonTransfer();
    g_session.state = kState4Open;
}
