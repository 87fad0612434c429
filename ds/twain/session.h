// The session of pavo.ds with one application: TWAIN state, the codes of the
// last operation, the identities, the setup window, pending transfers and
// the scanner driver binding. One module-wide instance, g_session.
#pragma once

#include <windows.h>

#include "common/driver_request.h"
#include "common/twain.h"

// TWAIN states as stored: the state number times 100.
constexpr int kState3Loaded = 300;
constexpr int kState4Open = 400;
constexpr int kState5Enabled = 500;
constexpr int kState6XferReady = 600;
constexpr int kState7Transferring = 700;

// Current positions in the fixed value lists of the negotiable capabilities.
struct CapabilityPositions {
    TW_UINT16 xferMech = 2;
    TW_UINT16 pixelType = 0;
    TW_UINT16 units = 0;
    TW_UINT16 fileFormat = 0;
    TW_UINT16 resolution = 2;
    TW_UINT16 supportedSize = 0;
};

struct SourceSession {
    int state = kState3Loaded;
    TW_UINT16 returnCode = TWRC_SUCCESS;
    TW_UINT16 conditionCode = TWCC_SUCCESS;
    TW_IDENTITY appIdentity{};  // Id 0: no application connected
    TW_IDENTITY ownIdentity{};

    // Arguments of the current call.
    TW_IDENTITY* origin = nullptr;
    TW_UINT32 dataGroup = 0;
    TW_UINT16 dataArgType = 0;
    TW_UINT16 message = 0;
    TW_MEMREF data = nullptr;

    HWND setupWindow = nullptr;
    TW_UINT16 showUI = 0;
    HWND parentWindow = nullptr;
    TW_UINT16 pendingCount = 0xFFFF;
    TW_UINT32 xferGroup = DG_IMAGE;
    bool feederLoadedQueried = false;
    TW_UINT32 autoFeed = 0;
    bool firstScanPending = false;
    // The transfer in state 7 has ended (delivered, cancelled or failed);
    // set whenever state 7 is entered, read only there.
    bool transferEnded = false;
    // A transfer call is under way (it pumps messages, so a host may call in).
    bool transferRunning = false;

    HMODULE driverModule = nullptr;
    SpiCallProc driverEntry = nullptr;

    CapabilityPositions caps;

    // Transfer set-up and image description, set at open.
    TW_IMAGELAYOUT currentLayout{};
    TW_IMAGELAYOUT defaultLayout{};
    TW_SETUPFILEXFER currentFileSetup{};
    TW_SETUPFILEXFER defaultFileSetup{};
    TW_IMAGEINFO imageInfo{};
};

extern SourceSession g_session;
// The module's own instance handle, for its resources.
extern HINSTANCE g_instance;
// 0 English, 1 German, 2 French, 3 Italian, 4 Spanish, 5 Dutch.
extern int g_languageIndex;

// Sets the outcome of the current operation.
inline void SetResult(TW_UINT16 rc, TW_UINT16 cc = TWCC_SUCCESS) {
    g_session.returnCode = rc;
    g_session.conditionCode = cc;
}
inline void Fail(TW_UINT16 cc) { SetResult(TWRC_FAILURE, cc); }
