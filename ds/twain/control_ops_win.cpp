// Control operations: identity, open and close, status, transfer group and
// memory buffer sizes.
#include "ds/acquire/driver.h"
#include "ds/acquire/job_driver.h"
#include "ds/twain/message_text.h"
#include "ds/twain/messages.h"
#include "ds/twain/operations.h"
#include "ds/twain/session.h"
#include "ds/twain/strings.h"
#include "ds/settings/profile_win.h"

#include <cstring>
#include <string>

namespace {

constexpr TW_UINT32 kMinBufSize = 32768;
constexpr TW_UINT32 kMaxBufSize = 65536;
constexpr TW_UINT32 kPreferredBufSize = 65536;

template <size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// A temporary file name of our own with the transfer file's extension.
std::string DefaultTransferFileName() {
    char dir[MAX_PATH], name[MAX_PATH];
    if (!GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "TAVLEN", 0, name)) return {};
    DeleteFileA(name);
    std::string path = name;
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos) path.resize(dot);
    return path + LoadDsString(101);
}

void InitTransferSettings() {
    TW_IMAGELAYOUT layout{};
    layout.DocumentNumber = layout.PageNumber = layout.FrameNumber = 1;
    g_session.defaultLayout = g_session.currentLayout = layout;

    TW_SETUPFILEXFER file{};
    CopyText(file.FileName, DefaultTransferFileName());
    file.Format = TWFF_TIFF;
    g_session.defaultFileSetup = g_session.currentFileSetup = file;

    g_session.imageInfo = TW_IMAGEINFO{};
    g_session.imageInfo.Planar = 1;
    g_session.imageInfo.PixelType = TWPT_RGB;

    g_session.caps = CapabilityPositions{};
    g_session.pendingCount = 0xFFFF;
}

}  // namespace

void InitSourceAtLoad() {
    g_session = SourceSession{};
    TW_IDENTITY& id = g_session.ownIdentity;
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_TAIWAN;
    CopyText(id.Version.Info, LoadDsStringExact(0));
    id.ProtocolMajor = TWON_PROTOCOLMAJOR;
    id.ProtocolMinor = TWON_PROTOCOLMINOR;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyText(id.Manufacturer, LoadDsStringExact(2));
    CopyText(id.ProductFamily, LoadDsStringExact(3));
    CopyText(id.ProductName, IdentityProductName(ReadZebInfoBrand()));
}

void GetIdentity() { *static_cast<TW_IDENTITY*>(g_session.data) = g_session.ownIdentity; }

void OpenSource() {
    if (!g_session.origin) {
        Fail(TWCC_BADPROTOCOL);
        return;
    }
    // Switches a host set in an earlier session do not carry over into
    // this one: no automatic feeding and planar strips until it asks.
    g_session.feederLoadedQueried = false;
    g_session.autoFeed = 0;
    g_settings.ChunkyPixels = 0;
    g_languageIndex = ReadZebInfoLanguageIndex();
    if (!BindDriver()) {
        Fail(TWCC_OPERATIONERROR);
        return;
    }
    const uint16_t status = DetectScanner();
    if (status != 0) {
        ShowScannerMessage(GetActiveWindow(),
                           (status == kStatusNotReady ? 200 : 201) + 1000 * g_languageIndex);
        // The open failed: nothing of it stays loaded.
        UnbindDriver();
        Fail(TWCC_OPERATIONERROR);
        return;
    }
    g_session.firstScanPending = true;
    g_session.appIdentity = *g_session.origin;
    g_session.ownIdentity = *static_cast<TW_IDENTITY*>(g_session.data);
    InitTransferSettings();
    g_session.conditionCode = TWCC_SUCCESS;
    g_session.state = kState4Open;
}

void CloseSource() {
    g_session.conditionCode = TWCC_SUCCESS;
    if (g_session.state >= kState6XferReady) AbandonTransfer();
    g_session.appIdentity = TW_IDENTITY{};
    if (g_session.setupWindow) {
        DestroyWindow(g_session.setupWindow);
        g_session.setupWindow = nullptr;
    }
    UnbindDriver();
    g_session.state = kState3Loaded;
}

void GetStatus() {
    auto* status = static_cast<TW_STATUS*>(g_session.data);
    status->ConditionCode = g_session.conditionCode;
    status->Reserved = 0;
    g_session.conditionCode = TWCC_SUCCESS;
}

void GetXferGroup() { *static_cast<TW_UINT32*>(g_session.data) = g_session.xferGroup; }

void GetSetupMemXfer() {
    auto* setup = static_cast<TW_SETUPMEMXFER*>(g_session.data);
    setup->MinBufSize = kMinBufSize;
    setup->MaxBufSize = kMaxBufSize;
    setup->Preferred = kPreferredBufSize;
}
