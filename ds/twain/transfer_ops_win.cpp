// Pending transfers and the image transfers.
#include "ds/acquire/buffered_transfer.h"
#include "ds/acquire/driver.h"
#include "ds/acquire/job_driver.h"
#include "ds/acquire/native_transfer.h"
#include "ds/acquire/scan_job.h"
#include "ds/twain/acquisition.h"
#include "ds/twain/operations.h"
#include "ds/twain/scan_settings.h"
#include "ds/twain/session.h"

#include <algorithm>

namespace {

// Feeder mode: the host asked whether the feeder is loaded, and a feeder is
// fitted and enabled. Then the count follows the paper in the feeder.
bool FeederMode() {
    return g_session.feederLoadedQueried && g_settings.FeederPresent && g_settings.FeederEnabled;
}

void Answer(TW_UINT16 count) {
    auto* pending = static_cast<TW_PENDINGXFERS*>(g_session.data);
    pending->Count = count;
    pending->Reserved = 0;
}

// What every transfer does when it has ended: a failure also asks the host
// to close the source; the state is 7 in every case.
void AfterTransfer() {
    const bool failed = g_session.returnCode == TWRC_FAILURE;
    if (failed || g_session.returnCode == TWRC_CANCEL ||
        (g_session.returnCode == TWRC_XFERDONE && !PlanesRemain())) {
        // After a red or green plane the job goes on with the next plane.
        FinishScan();
    }
    g_session.transferEnded = g_session.returnCode != TWRC_SUCCESS;
    g_session.state = kState7Transferring;
    // The transfer is over before the host hears of the failure: a host that
    // answers at once may disable and close the source from inside.
    g_session.transferRunning = false;
    if (failed) NotifyCloseRequest();
}

}  // namespace

void GetPendingXfers() {
    TW_UINT16 count = 1;
    if (FeederMode()) count = DriverPaperLoaded() ? 0xFFFF : 0;
    g_session.pendingCount = count;
    Answer(count);
}

void EndPendingXfer() {
    TW_UINT16 count = 0;
    if (PlanesRemain()) {
        // Each colour plane is an image of its own: the planes still to come
        // stay pending, so that a host collects all three.
        count = static_cast<TW_UINT16>(2 - g_job.PassIndex);
    } else {
        // A host that ends a transfer before its last strip gives up the rest
        // of the image: the scanner stops and the job lets go of everything.
        if (g_job.Started) AbandonTransfer();
        if (FeederMode()) count = DriverPaperLoaded() ? 0xFFFF : 0;
    }
    g_session.pendingCount = count;
    Answer(count);
    g_session.state = count != 0 ? kState6XferReady : kState5Enabled;
}

void ResetPendingXfers() {
    AbandonTransfer();
    g_session.pendingCount = 0;
    Answer(0);
    g_session.state = kState5Enabled;
}

void AfterPendingXfers() {
    if (g_session.feederLoadedQueried && g_session.firstScanPending)
        g_session.firstScanPending = false;
    // The next page of an automatic feeder batch is scanned when the host has
    // ended the transfer of the previous one (not on a mere query of the count,
    // which would start a second scan over a running one).
    // The planes of a colour page still to be delivered come first.
    if (g_session.autoFeed && g_session.pendingCount && g_session.message == MSG_ENDXFER &&
        !PlanesRemain())
        ScanWithoutDialog();
}

void MemoryXfer() {
    // Once the last strip is delivered (or the transfer failed or was
    // cancelled), only the end of the transfer may follow.
    if (g_session.state == kState7Transferring && g_session.transferEnded) {
        Fail(TWCC_SEQERROR);
        return;
    }
    auto* host = static_cast<TW_IMAGEMEMXFER*>(g_session.data);
    TW_IMAGEMEMXFER reply = *host;
    const TW_MEMORY memory = host->Memory;
    uint8_t* buffer = nullptr;
    HGLOBAL locked = nullptr;
    uint32_t length = memory.Length;
    if (memory.Flags == (TWMF_APPOWNS | TWMF_POINTER)) {
        buffer = static_cast<uint8_t*>(memory.TheMem);
    } else if (memory.Flags == (TWMF_APPOWNS | TWMF_HANDLE)) {
        locked = static_cast<HGLOBAL>(memory.TheMem);
        buffer = locked ? static_cast<uint8_t*>(GlobalLock(locked)) : nullptr;
        if (!buffer) {
            // The scan ends here as after any failed transfer.
            Fail(TWCC_SEQERROR);
            AbandonTransfer();
            AfterTransfer();
            return;
        }
        // A handle smaller than the length claimed is filled only as far as it goes.
        length = static_cast<uint32_t>(std::min<SIZE_T>(length, GlobalSize(locked)));
    } else {
        // The source keeps no buffers of its own: the host must supply one.
        Fail(TWCC_BADVALUE);
        return;
    }
    if (!buffer) {
        Fail(TWCC_BADVALUE);
        return;
    }
    MemoryTransfer(reply, buffer, length);
    reply.Memory = memory;
    *host = reply;
    if (locked) GlobalUnlock(locked);
    AfterTransfer();
}

void FileXfer() {
    g_session.returnCode = TWRC_XFERDONE;
    FileTransfer(g_session.currentFileSetup.FileName, g_session.caps.fileFormat);
    AfterTransfer();
}

void NativeXfer() {
    g_session.returnCode = TWRC_XFERDONE;
    HGLOBAL bitmap = NativeTransfer();
    *static_cast<TW_HANDLE*>(g_session.data) = bitmap;
    AfterTransfer();
}
