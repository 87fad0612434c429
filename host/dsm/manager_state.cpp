#include "host/dsm/manager_state.h"

namespace dsm {

ManagerState& State() {
    static ManagerState state;
    return state;
}

Application* FindApplication(TW_UINT32 id) {
    if (id == 0) return nullptr;
    for (Application& app : State().applications)
        if (app.identity.Id == id) return &app;
    return nullptr;
}

OpenSource* FindSource(TW_UINT32 id) {
    if (id == 0) return nullptr;
    for (OpenSource& source : State().sources)
        if (source.identity.Id == id) return &source;
    return nullptr;
}

OpenSource* FindSourceByPath(TW_UINT32 applicationId, const std::string& path) {
    for (OpenSource& source : State().sources)
        if (source.applicationId == applicationId && lstrcmpiA(source.path.c_str(), path.c_str()) == 0)
            return &source;
    return nullptr;
}

bool HasOpenSources(TW_UINT32 applicationId) {
    for (const OpenSource& source : State().sources)
        if (source.applicationId == applicationId) return true;
    return false;
}

TW_UINT32 NewId() { return ++State().lastId; }

}  // namespace dsm
