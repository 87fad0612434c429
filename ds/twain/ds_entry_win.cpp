// The data source's entry point: module start-up, DS_Entry and the triplet
// dispatcher.
#include "common/module_runtime.h"
#include "common/twain.h"
#include "ds/acquire/job_driver.h"
#include "ds/acquire/tone_tables.h"
#include "ds/twain/capabilities.h"
#include "ds/twain/operations.h"
#include "ds/twain/session.h"

#include <new>

SourceSession g_session;
HINSTANCE g_instance = nullptr;
int g_languageIndex = 0;

namespace {

constexpr TW_UINT16 kAnyMessage = 0xFFFF;

// One row per data argument and message: the states in which the operation
// proceeds, the condition reported in any other state, whether it needs the
// host's data structure, and the handler.
// A transfer pumps messages, so a host may call in while one runs; what
// would start another transfer or end this one must wait until it returns.
enum class Nesting : uint8_t {
    Anywhere,
    OutsideTransfers,  // refused (TWCC_SEQERROR) while a transfer runs
    RunsTransfer,      // a transfer itself: outside transfers only
};

struct TripletRow {
    TW_UINT16 dat;
    TW_UINT16 msg;
    int fromState;
    int toState;
    void (*handler)();
    TW_UINT16 wrongStateCondition = TWCC_SEQERROR;
    bool needsData = true;
    bool keepsCondition = false;  // DAT_STATUS reports the kept condition
    Nesting nesting = Nesting::Anywhere;
};

constexpr TW_UINT16 SEQ = TWCC_SEQERROR;
constexpr Nesting kOutside = Nesting::OutsideTransfers;
constexpr Nesting kRuns = Nesting::RunsTransfer;

const TripletRow kTriplets[] = {
    {DAT_CAPABILITY, kAnyMessage, kState3Loaded, kState7Transferring, CapabilityOperation},
    {DAT_IDENTITY, MSG_GET, kState3Loaded, kState7Transferring, GetIdentity},
    {DAT_IDENTITY, MSG_OPENDS, kState3Loaded, kState3Loaded, OpenSource, TWCC_MAXCONNECTIONS},
    {DAT_IDENTITY, MSG_CLOSEDS, kState4Open, kState7Transferring, CloseSource, SEQ, false, false, kOutside},
    {DAT_SETUPMEMXFER, MSG_GET, kState4Open, kState6XferReady, GetSetupMemXfer},
    {DAT_SETUPFILEXFER, MSG_GET, kState4Open, kState6XferReady, GetSetupFileXfer},
    {DAT_SETUPFILEXFER, MSG_GETDEFAULT, kState4Open, kState6XferReady, GetDefaultSetupFileXfer},
    {DAT_SETUPFILEXFER, MSG_SET, kState4Open, kState6XferReady, SetSetupFileXfer},
    {DAT_SETUPFILEXFER, MSG_RESET, kState4Open, kState4Open, ResetSetupFileXfer},
    {DAT_PENDINGXFERS, MSG_GET, kState4Open, kState7Transferring, GetPendingXfers},
    {DAT_PENDINGXFERS, MSG_ENDXFER, kState6XferReady, kState7Transferring, EndPendingXfer, SEQ, true, false, kOutside},
    {DAT_PENDINGXFERS, MSG_RESET, kState6XferReady, kState7Transferring, ResetPendingXfers, SEQ, true, false, kOutside},
    {DAT_USERINTERFACE, MSG_ENABLEDS, kState4Open, kState4Open, EnableSource, SEQ, true, false, kOutside},
    {DAT_USERINTERFACE, MSG_DISABLEDS, kState5Enabled, kState7Transferring, DisableSource, SEQ, false, false, kOutside},
    {DAT_STATUS, MSG_GET, kState4Open, kState7Transferring, GetStatus, TWCC_SEQERROR, true, true},
    {DAT_XFERGROUP, MSG_GET, kState4Open, kState6XferReady, GetXferGroup},
    {DAT_IMAGEINFO, MSG_GET, kState6XferReady, kState6XferReady, GetImageInfo},
    {DAT_IMAGELAYOUT, MSG_GET, kState4Open, kState6XferReady, GetImageLayout},
    {DAT_IMAGELAYOUT, MSG_GETDEFAULT, kState4Open, kState6XferReady, GetDefaultImageLayout},
    {DAT_IMAGELAYOUT, MSG_SET, kState4Open, kState4Open, SetImageLayout},
    {DAT_IMAGELAYOUT, MSG_RESET, kState4Open, kState4Open, ResetImageLayout},
    {DAT_IMAGENATIVEXFER, MSG_GET, kState6XferReady, kState6XferReady, NativeXfer, SEQ, true, false, kRuns},
    {DAT_IMAGEMEMXFER, MSG_GET, kState6XferReady, kState7Transferring, MemoryXfer, SEQ, true, false, kRuns},
    {DAT_IMAGEFILEXFER, MSG_GET, kState6XferReady, kState6XferReady, FileXfer, SEQ, false, false, kRuns},
};

// The arguments of one DS_Entry call and the outcome it has so far. The
// outer call ends last, so its condition is the one DAT_STATUS reports after.
struct CallRecord {
    TW_IDENTITY* origin;
    TW_UINT32 dataGroup;
    TW_UINT16 dataArgType;
    TW_UINT16 message;
    TW_MEMREF data;
    TW_UINT16 returnCode;
    TW_UINT16 conditionCode;
};

int g_callDepth = 0;

CallRecord CurrentCall() {
    return {g_session.origin, g_session.dataGroup,  g_session.dataArgType, g_session.message,
            g_session.data,   g_session.returnCode, g_session.conditionCode};
}

void RestoreCall(const CallRecord& call) {
    g_session.origin = call.origin;
    g_session.dataGroup = call.dataGroup;
    g_session.dataArgType = call.dataArgType;
    g_session.message = call.message;
    g_session.data = call.data;
    g_session.returnCode = call.returnCode;
    g_session.conditionCode = call.conditionCode;
}

// An operation that could not go on: a transfer under way ends as a failed
// one does.
void FailWithinCall(TW_UINT16 condition) {
    g_session.transferRunning = false;
    if (g_session.state >= kState6XferReady) {
        AbandonTransfer();
        g_session.transferEnded = true;
        g_session.state = kState7Transferring;
        Fail(condition);
        NotifyCloseRequest();
        return;
    }
    Fail(condition);
}

const TripletRow* FindTriplet(TW_UINT16 dat, TW_UINT16 msg) {
    for (const TripletRow& row : kTriplets)
        if (row.dat == dat && (row.msg == msg || row.msg == kAnyMessage)) return &row;
    return nullptr;
}

bool OpenSourceAllowed() {
    return g_session.state == kState3Loaded && g_session.appIdentity.Id == 0;
}

void Dispatch() {
    const TripletRow* row = FindTriplet(g_session.dataArgType, g_session.message);
    if (!row) {
        Fail(TWCC_BADPROTOCOL);
        return;
    }
    const bool inState = row->handler == OpenSource
                             ? OpenSourceAllowed()
                             : g_session.state >= row->fromState && g_session.state <= row->toState;
    if (!inState) {
        Fail(row->wrongStateCondition);
        return;
    }
    // A host that passes no structure where one is needed gets an error, not
    // a crash.
    if (row->needsData && !g_session.data) {
        Fail(TWCC_BADVALUE);
        return;
    }
    if (row->nesting != Nesting::Anywhere && g_session.transferRunning) {
        Fail(TWCC_SEQERROR);
        return;
    }
    g_session.returnCode = TWRC_SUCCESS;
    if (!row->keepsCondition) g_session.conditionCode = TWCC_SUCCESS;
    if (row->nesting == Nesting::RunsTransfer) g_session.transferRunning = true;
    row->handler();
    if (row->nesting == Nesting::RunsTransfer) g_session.transferRunning = false;
    if (row->dat == DAT_PENDINGXFERS) AfterPendingXfers();
}

// Passes the host's event to the setup window when it is one of its dialog
// messages.
void ProcessEvent() {
    SetResult(TWRC_NOTDSEVENT);
    auto* event = static_cast<TW_EVENT*>(g_session.data);
    if (!event || !g_session.setupWindow || !event->pEvent) return;
    if (IsDialogMessageA(g_session.setupWindow, static_cast<MSG*>(event->pEvent))) {
        g_session.returnCode = TWRC_DSEVENT;
        event->TWMessage = MSG_NULL;
    }
}

}  // namespace

extern "C" __declspec(dllexport) TW_UINT16 PAVO_TWAIN_CALL DS_Entry(TW_IDENTITY* origin,
                                                                  TW_UINT32 group,
                                                                  TW_UINT16 dat, TW_UINT16 msg,
                                                                  TW_MEMREF data) {
    // While one application is connected, calls from any other change
    // nothing and see the last outcome.
    if (g_session.appIdentity.Id != 0 && (!origin || origin->Id != g_session.appIdentity.Id))
        return g_session.returnCode;

    // A handler that pumps messages can be called into again (a host's
    // window procedure, or a source manager that answers a notification at
    // once). The inner call gets a record of its own; the outer one finds
    // its arguments and its outcome so far as it left them.
    const CallRecord outer = CurrentCall();
    ++g_callDepth;
    g_session.origin = origin;
    g_session.dataGroup = group;
    g_session.dataArgType = dat;
    g_session.message = msg;
    g_session.data = data;

    try {
        if (msg == MSG_PROCESSEVENT)
            ProcessEvent();
        else
            Dispatch();
    } catch (const std::bad_alloc&) {
        // Nothing leaves the source as an exception: memory the operation
        // could not have is the host's low-memory condition.
        FailWithinCall(TWCC_LOWMEMORY);
    } catch (...) {
        FailWithinCall(TWCC_BUMMER);
    }
    const TW_UINT16 result = g_session.returnCode;
    if (--g_callDepth > 0) RestoreCall(outer);
    return result;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        InitSourceAtLoad();
    }
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // The tone tables live as long as the module; a host that loads it
        // for every session would otherwise keep one block from each.
        FreeToneTables();
    }
    ReleaseRuntimeAtUnload(reason, reserved);
    return TRUE;
}
