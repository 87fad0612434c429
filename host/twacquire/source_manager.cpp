#include "host/twacquire/source_manager.h"

#include "common/product.h"
#include "common/twain_names.h"
#include "host/twacquire/host_identity.h"

namespace twacquire {

SourceManager::SourceManager() : host_(HostIdentity()) {}

SourceManager::~SourceManager() {
    Close();
    if (module_) FreeLibrary(module_);
}

bool SourceManager::Load(std::string& error) {
    module_ = LoadLibraryA(kSourceManagerModule);
    if (!module_) {
        error = std::string("cannot load the TWAIN source manager ") + kSourceManagerModule +
                " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // DSM_Entry is exported at ordinal 1.
    entry_ = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
    if (!entry_) {
        error = std::string(kSourceManagerModule) + " has no DSM_Entry at ordinal 1";
        FreeLibrary(module_);
        module_ = nullptr;
        return false;
    }
    return true;
}

bool SourceManager::Open(HWND parent, std::string& error) {
    parent_ = parent;
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent_);
    if (result != TWRC_SUCCESS) {
        error = "the source manager did not open: " + DescribeFailure(result);
        return false;
    }
    open_ = true;
    return true;
}

void SourceManager::Close() {
    if (!open_) return;
    Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent_);
    open_ = false;
}

TW_UINT16 SourceManager::Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                              TW_MEMREF data) {
    return entry_(&host_, dest, dg, dat, msg, data);
}

TW_UINT16 SourceManager::ManagerCondition() {
    TW_STATUS status{};
    if (Call(nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS)
        return TWCC_BUMMER;
    return status.ConditionCode;
}

std::string SourceManager::DescribeFailure(TW_UINT16 result) {
    std::string text = TwainReturnName(result);
    if (result == TWRC_FAILURE) text += ", " + TwainConditionName(ManagerCondition());
    return text;
}

bool SourceManager::ListSources(std::vector<TW_IDENTITY>& sources, std::string& error) {
    sources.clear();
    TW_IDENTITY identity{};
    TW_UINT16 result = Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &identity);
    while (result == TWRC_SUCCESS) {
        sources.push_back(identity);
        identity = TW_IDENTITY{};
        result = Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &identity);
    }
    if (result != TWRC_ENDOFLIST) {
        error = "listing the sources failed: " + DescribeFailure(result);
        return false;
    }
    return true;
}

}  // namespace twacquire
