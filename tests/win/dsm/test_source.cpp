// A small TWAIN source for the source manager's tests. It answers its
// identity, opens and closes, reports its condition, takes part in event
// processing, answers one image triplet, and writes down every call it
// receives. On MSG_ENABLEDS it tells its application that a transfer is
// ready, the way a source without a user interface does.
#include "tests/win/dsm/test_source.h"

#include "common/product.h"

#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

HMODULE g_module = nullptr;
TW_IDENTITY g_self{};         // after MSG_OPENDS: the manager's copy, Id included
TW_IDENTITY g_application{};  // the application that opened this source
bool g_refuses = false;
TW_UINT16 g_condition = TWCC_SUCCESS;
std::mutex g_callsLock;
std::vector<TestSourceCall> g_calls;

// The file name without folder and suffix: "beta" for ...\beta.ds.
std::string ModuleStem() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string name = path;
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

template <size_t N>
void CopyField(char (&field)[N], const std::string& text) {
    std::strncpy(field, text.c_str(), N - 1);
    field[N - 1] = '\0';
}

void MakeIdentity() {
    const std::string stem = ModuleStem();
    g_self = TW_IDENTITY{};
    g_self.Version.MajorNum = kTestSourceVersionMajor;
    g_self.Version.MinorNum = kTestSourceVersionMinor;
    g_self.Version.Language = TWLG_USA;
    g_self.Version.Country = TWCY_USA;
    CopyField(g_self.Version.Info, kTestSourceVersionInfo);
    g_self.ProtocolMajor = TWON_PROTOCOLMAJOR;
    g_self.ProtocolMinor = TWON_PROTOCOLMINOR;
    g_self.SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyField(g_self.Manufacturer, kTestSourceManufacturer);
    CopyField(g_self.ProductFamily, kTestSourceFamily);
    CopyField(g_self.ProductName, "Test Source " + stem);
    g_refuses = stem.rfind("refusing", 0) == 0;
}

TW_UINT16 Reply(TW_UINT16 result, TW_UINT16 condition) {
    g_condition = condition;
    return result;
}

TW_UINT16 SendToApplication(TW_UINT16 msg) {
    HMODULE manager = GetModuleHandleA(kSourceManagerModule);
    if (!manager) return TWRC_FAILURE;
    auto entry = reinterpret_cast<DSMENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(manager, MAKEINTRESOURCEA(1))));
    if (!entry) return TWRC_FAILURE;
    return entry(&g_self, &g_application, DG_CONTROL, DAT_NULL, msg, nullptr);
}

TW_UINT16 Identity(TW_IDENTITY* origin, TW_UINT16 msg, TW_MEMREF data) {
    auto* identity = static_cast<TW_IDENTITY*>(data);
    switch (msg) {
    case MSG_GET:
        *identity = g_self;
        return Reply(TWRC_SUCCESS, TWCC_SUCCESS);
    case MSG_OPENDS:
        if (g_refuses) return Reply(TWRC_FAILURE, TWCC_MAXCONNECTIONS);
        g_self = *identity;
        g_application = *origin;
        return Reply(TWRC_SUCCESS, TWCC_SUCCESS);
    case MSG_CLOSEDS:
        return Reply(TWRC_SUCCESS, TWCC_SUCCESS);
    default:
        return Reply(TWRC_FAILURE, TWCC_BADPROTOCOL);
    }
}

TW_UINT16 ProcessEvent(TW_EVENT* event) {
    const MSG* message = static_cast<const MSG*>(event->pEvent);
    event->TWMessage = MSG_NULL;
    if (message && message->message == kTestSourceOwnMessage) return TWRC_DSEVENT;
    return TWRC_NOTDSEVENT;
}

}  // namespace

extern "C" __declspec(dllexport) TW_UINT16 PAVO_TWAIN_CALL DS_Entry(
    TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    {
        std::lock_guard<std::mutex> guard(g_callsLock);
        g_calls.push_back({origin ? origin->Id : 0, dg, dat, msg, data});
    }
    if (dg == DG_CONTROL) {
        switch (dat) {
        case DAT_IDENTITY:
            return Identity(origin, msg, data);
        case DAT_STATUS: {
            auto* status = static_cast<TW_STATUS*>(data);
            status->ConditionCode = g_condition;
            g_condition = TWCC_SUCCESS;
            return TWRC_SUCCESS;
        }
        case DAT_EVENT:
            if (msg == MSG_PROCESSEVENT) return ProcessEvent(static_cast<TW_EVENT*>(data));
            break;
        case DAT_USERINTERFACE:
            if (msg == MSG_ENABLEDS) {
                SendToApplication(MSG_XFERREADY);
                return Reply(TWRC_SUCCESS, TWCC_SUCCESS);
            }
            if (msg == MSG_DISABLEDS) return Reply(TWRC_SUCCESS, TWCC_SUCCESS);
            break;
        case DAT_CAPABILITY:
            return Reply(TWRC_FAILURE, TWCC_CAPUNSUPPORTED);
        default:
            break;
        }
    } else if (dg == DG_IMAGE && dat == DAT_IMAGEINFO && msg == MSG_GET) {
        auto* info = static_cast<TW_IMAGEINFO*>(data);
        *info = TW_IMAGEINFO{};
        info->ImageWidth = kTestSourceImageWidth;
        return Reply(TWRC_SUCCESS, TWCC_SUCCESS);
    }
    return Reply(TWRC_FAILURE, TWCC_BADPROTOCOL);
}

extern "C" __declspec(dllexport) int TestSource_CallCount() {
    std::lock_guard<std::mutex> guard(g_callsLock);
    return static_cast<int>(g_calls.size());
}

extern "C" __declspec(dllexport) int TestSource_GetCall(int index, TestSourceCall* call) {
    std::lock_guard<std::mutex> guard(g_callsLock);
    if (index < 0 || index >= static_cast<int>(g_calls.size())) return 0;
    *call = g_calls[index];
    return 1;
}

extern "C" __declspec(dllexport) void TestSource_Identities(TW_IDENTITY* self,
                                                           TW_IDENTITY* application) {
    *self = g_self;
    *application = g_application;
}

extern "C" __declspec(dllexport) TW_UINT16 TestSource_Notify(TW_UINT16 msg, int fromOtherThread) {
    if (!fromOtherThread) return SendToApplication(msg);
    TW_UINT16 result = TWRC_FAILURE;
    std::thread sender([&] { result = SendToApplication(msg); });
    sender.join();
    return result;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        MakeIdentity();
    }
    return TRUE;
}
