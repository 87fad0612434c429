// DSM_Entry: the one entry point of the source manager, for applications
// and for sources.
//
// An application opens the manager (DAT_PARENT), lists and opens sources
// (DAT_IDENTITY), asks the manager's condition (DAT_STATUS without a
// destination) and sends every other triplet to an open source, which the
// manager passes on to that source's DS_Entry unchanged.
//
// A source calls back with DAT_NULL to tell its application that a transfer
// is ready or that it wants to be closed. The manager keeps the message,
// posts WM_NULL to the application's window so that its message loop wakes,
// and hands the message over on the application's next MSG_PROCESSEVENT.
//
// Applications (at MSG_OPENDSM) and sources (at MSG_OPENDS) draw their Ids
// from one counter, so an Id names exactly one party: a call whose origin
// carries the Id of an open source comes from that source.
#include "common/twain.h"
#include "host/dsm/manager_state.h"
#include "host/dsm/source_catalog.h"

#include <windows.h>

#include <cstring>
#include <optional>

namespace dsm {
namespace {

TW_UINT16 Fail(TW_UINT16 condition) {
    State().condition = condition;
    return TWRC_FAILURE;
}

TW_UINT16 Succeed(TW_UINT16 result = TWRC_SUCCESS) {
    State().condition = TWCC_SUCCESS;
    return result;
}

bool ApplicationIsOpen(TW_UINT32 id) {
    std::lock_guard<std::mutex> guard(State().lock);
    return FindApplication(id) != nullptr;
}

// ---- DAT_PARENT ---------------------------------------------------------

TW_UINT16 OpenManager(TW_IDENTITY* origin, TW_MEMREF data) {
    if (!data) return Fail(TWCC_BADVALUE);
    std::lock_guard<std::mutex> guard(State().lock);
    if (FindApplication(origin->Id)) return Fail(TWCC_SEQERROR);
    Application app;
    origin->Id = NewId();
    app.identity = *origin;
    app.window = *static_cast<HWND*>(data);
    State().applications.push_back(app);
    return Succeed();
}

TW_UINT16 CloseManager(TW_IDENTITY* origin) {
    std::lock_guard<std::mutex> guard(State().lock);
    if (!FindApplication(origin->Id)) return Fail(TWCC_SEQERROR);
    if (HasOpenSources(origin->Id)) return Fail(TWCC_SEQERROR);
    State().applications.remove_if(
        [&](const Application& app) { return app.identity.Id == origin->Id; });
    return Succeed();
}

TW_UINT16 Parent(TW_IDENTITY* origin, TW_UINT16 msg, TW_MEMREF data) {
    switch (msg) {
    case MSG_OPENDSM: return OpenManager(origin, data);
    case MSG_CLOSEDSM: return CloseManager(origin);
    default: return Fail(TWCC_BADPROTOCOL);
    }
}

// ---- DAT_IDENTITY: listing ----------------------------------------------

TW_UINT16 FirstSource(TW_IDENTITY* origin, TW_IDENTITY* out) {
    if (!ApplicationIsOpen(origin->Id)) return Fail(TWCC_SEQERROR);
    std::vector<CatalogEntry> catalog = FindSources();
    std::lock_guard<std::mutex> guard(State().lock);
    Application* app = FindApplication(origin->Id);
    if (!app) return Fail(TWCC_SEQERROR);
    app->listed = std::move(catalog);
    app->nextListed = 0;
    app->listing = true;
    if (app->listed.empty()) return Succeed(TWRC_ENDOFLIST);
    *out = app->listed[app->nextListed++].identity;
    return Succeed();
}

TW_UINT16 NextSource(TW_IDENTITY* origin, TW_IDENTITY* out) {
    std::lock_guard<std::mutex> guard(State().lock);
    Application* app = FindApplication(origin->Id);
    if (!app || !app->listing) return Fail(TWCC_SEQERROR);
    if (app->nextListed >= app->listed.size()) return Succeed(TWRC_ENDOFLIST);
    *out = app->listed[app->nextListed++].identity;
    return Succeed();
}

// MSG_GETDEFAULT, and MSG_USERSELECT, which has no dialog to offer: the
// default source is the user's choice.
TW_UINT16 DefaultSourceIdentity(TW_IDENTITY* origin, TW_IDENTITY* out) {
    if (!ApplicationIsOpen(origin->Id)) return Fail(TWCC_SEQERROR);
    std::vector<CatalogEntry> catalog = FindSources();
    std::optional<size_t> index = DefaultSource(catalog);
    if (!index) return Fail(TWCC_NODS);
    *out = catalog[*index].identity;
    return Succeed();
}

// ---- DAT_IDENTITY: opening and closing a source ---------------------------

// The installed source an application asks for: the one with the requested
// ProductName, or the default when the name is empty.
std::optional<CatalogEntry> ChooseSource(const TW_IDENTITY& requested) {
    std::vector<CatalogEntry> catalog = FindSources();
    if (requested.ProductName[0] == '\0') {
        std::optional<size_t> index = DefaultSource(catalog);
        if (!index) return std::nullopt;
        return catalog[*index];
    }
    for (const CatalogEntry& entry : catalog)
        if (strncmp(entry.identity.ProductName, requested.ProductName,
                    sizeof requested.ProductName) == 0)
            return entry;
    return std::nullopt;
}

TW_UINT16 OpenSourceFor(TW_IDENTITY* origin, TW_IDENTITY* requested) {
    if (!ApplicationIsOpen(origin->Id)) return Fail(TWCC_SEQERROR);
    std::optional<CatalogEntry> chosen = ChooseSource(*requested);
    if (!chosen) return Fail(TWCC_NODS);
    {
        std::lock_guard<std::mutex> guard(State().lock);
        if (FindSourceByPath(origin->Id, chosen->path)) return Fail(TWCC_SEQERROR);
    }

    HMODULE module = LoadLibraryA(chosen->path.c_str());
    if (!module) return Fail(TWCC_NODS);
    auto entry = reinterpret_cast<DSENTRYPROC>(
        reinterpret_cast<void*>(GetProcAddress(module, "DS_Entry")));
    if (!entry) {
        FreeLibrary(module);
        return Fail(TWCC_NODS);
    }

    // The source keeps a copy of this identity, Id included, and names
    // itself with it when it calls back.
    TW_IDENTITY identity = chosen->identity;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        identity.Id = NewId();
    }
    *requested = identity;
    TW_UINT16 result = entry(origin, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, requested);
    if (result != TWRC_SUCCESS) {
        // The source goes away at once, so its reason is kept as ours.
        TW_STATUS status{};
        TW_UINT16 condition = TWCC_BUMMER;
        if (entry(origin, DG_CONTROL, DAT_STATUS, MSG_GET, &status) == TWRC_SUCCESS)
            condition = status.ConditionCode;
        FreeLibrary(module);
        requested->Id = 0;
        State().condition = condition;
        return result;
    }

    std::lock_guard<std::mutex> guard(State().lock);
    OpenSource source;
    source.identity = identity;
    source.applicationId = origin->Id;
    source.path = chosen->path;
    source.module = module;
    source.entry = entry;
    State().sources.push_back(source);
    return Succeed();
}

TW_UINT16 CloseSourceFor(TW_IDENTITY* origin, TW_IDENTITY* sourceIdentity) {
    DSENTRYPROC entry = nullptr;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        if (!FindApplication(origin->Id)) return Fail(TWCC_SEQERROR);
        OpenSource* source = FindSource(sourceIdentity->Id);
        if (!source || source->applicationId != origin->Id) return Fail(TWCC_SEQERROR);
        entry = source->entry;
    }
    State().condition = TWCC_SUCCESS;
    TW_UINT16 result = entry(origin, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, sourceIdentity);
    if (result != TWRC_SUCCESS) return result;  // still open; its own status tells why

    HMODULE module = nullptr;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        OpenSource* source = FindSource(sourceIdentity->Id);
        if (source) module = source->module;
        State().sources.remove_if(
            [&](const OpenSource& s) { return s.identity.Id == sourceIdentity->Id; });
    }
    if (module) FreeLibrary(module);
    return Succeed();
}

TW_UINT16 Identity(TW_IDENTITY* origin, TW_UINT16 msg, TW_MEMREF data) {
    auto* identity = static_cast<TW_IDENTITY*>(data);
    if (!identity) return Fail(TWCC_BADVALUE);
    switch (msg) {
    case MSG_GETFIRST: return FirstSource(origin, identity);
    case MSG_GETNEXT: return NextSource(origin, identity);
    case MSG_GETDEFAULT:
    case MSG_USERSELECT: return DefaultSourceIdentity(origin, identity);
    case MSG_OPENDS: return OpenSourceFor(origin, identity);
    case MSG_CLOSEDS: return CloseSourceFor(origin, identity);
    default: return Fail(TWCC_BADPROTOCOL);
    }
}

// ---- DAT_STATUS -----------------------------------------------------------

// The condition of the manager's last operation; asking clears it.
TW_UINT16 ManagerStatus(TW_UINT16 msg, TW_MEMREF data) {
    auto* status = static_cast<TW_STATUS*>(data);
    if (msg != MSG_GET) return Fail(TWCC_BADPROTOCOL);
    if (!status) return Fail(TWCC_BADVALUE);
    status->ConditionCode = State().condition.exchange(TWCC_SUCCESS);
    status->Reserved = 0;
    return TWRC_SUCCESS;
}

// ---- Triplets for a source -----------------------------------------------

// Passes an application's event to its source first; when the source has
// nothing to say about it and a notification is waiting, the event carries
// the notification back instead.
TW_UINT16 ProcessEvent(TW_IDENTITY* origin, TW_UINT32 sourceId, DSENTRYPROC entry,
                       TW_EVENT* event) {
    TW_UINT16 result = entry(origin, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, event);
    if (!event) return result;
    const bool sourceHasNothing =
        result == TWRC_NOTDSEVENT || (result == TWRC_DSEVENT && event->TWMessage == MSG_NULL);
    if (!sourceHasNothing) return result;

    std::lock_guard<std::mutex> guard(State().lock);
    OpenSource* source = FindSource(sourceId);
    if (!source || source->notifications.empty()) return result;
    event->TWMessage = source->notifications.front();
    source->notifications.pop_front();
    return TWRC_DSEVENT;
}

TW_UINT16 ToSource(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                   TW_UINT16 msg, TW_MEMREF data) {
    DSENTRYPROC entry = nullptr;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        if (!FindApplication(origin->Id)) return Fail(TWCC_SEQERROR);
        OpenSource* source = FindSource(dest->Id);
        if (!source || source->applicationId != origin->Id) return Fail(TWCC_SEQERROR);
        entry = source->entry;
    }
    State().condition = TWCC_SUCCESS;
    if (dg == DG_CONTROL && dat == DAT_EVENT && msg == MSG_PROCESSEVENT)
        return ProcessEvent(origin, dest->Id, entry, static_cast<TW_EVENT*>(data));
    return entry(origin, dg, dat, msg, data);
}

// ---- Calls from a source ----------------------------------------------------

bool IsNotification(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg) {
    return dg == DG_CONTROL && dat == DAT_NULL &&
           (msg == MSG_XFERREADY || msg == MSG_CLOSEDSREQ || msg == MSG_CLOSEDSOK);
}

TW_UINT16 FromSource(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                     TW_UINT16 msg) {
    if (!IsNotification(dg, dat, msg)) return Fail(TWCC_BADPROTOCOL);
    HWND window = nullptr;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        OpenSource* source = FindSource(origin->Id);
        if (!source) return Fail(TWCC_SEQERROR);
        if (!dest || dest->Id != source->applicationId) return Fail(TWCC_BADDEST);
        Application* app = FindApplication(source->applicationId);
        if (!app) return Fail(TWCC_BADDEST);
        source->notifications.push_back(msg);
        window = app->window;
    }
    if (window) PostMessageA(window, WM_NULL, 0, 0);
    return Succeed();
}

bool IsOpenSource(TW_UINT32 id) {
    std::lock_guard<std::mutex> guard(State().lock);
    return FindSource(id) != nullptr;
}

}  // namespace
}  // namespace dsm

extern "C" TW_UINT16 PAVO_TWAIN_CALL DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY* dest,
                                               TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                               TW_MEMREF data) {
    using namespace dsm;
    if (!origin) return Fail(TWCC_BADPROTOCOL);
    if (IsOpenSource(origin->Id)) return FromSource(origin, dest, dg, dat, msg);
    if (dest) return ToSource(origin, dest, dg, dat, msg, data);
    if (dg != DG_CONTROL) return Fail(TWCC_BADPROTOCOL);
    switch (dat) {
    case DAT_PARENT: return Parent(origin, msg, data);
    case DAT_IDENTITY: return Identity(origin, msg, data);
    case DAT_STATUS: return ManagerStatus(msg, data);
    default: return Fail(TWCC_BADPROTOCOL);
    }
}
