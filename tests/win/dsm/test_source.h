// The test source's side door: what the tests can ask a loaded copy of
// dsm_test_source.ds besides DS_Entry.
//
// Each copy names itself after its file: "beta.ds" is "Test Source beta".
// A copy whose file name begins with "refusing" will not open.
#pragma once

#include "common/twain.h"

#include <windows.h>

// One call of DS_Entry, as the source received it.
struct TestSourceCall {
    TW_UINT32 originId;
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    const void* data;
};

// A window message the source claims as its own in MSG_PROCESSEVENT
// (TWRC_DSEVENT with MSG_NULL); every other event is TWRC_NOTDSEVENT.
inline constexpr UINT kTestSourceOwnMessage = WM_APP + 0x2A;

// What every copy reports besides its product name.
inline constexpr char kTestSourceManufacturer[] = "Bench Instruments";
inline constexpr char kTestSourceFamily[] = "Source Doubles";
inline constexpr char kTestSourceVersionInfo[] = "double 2.3";
inline constexpr TW_UINT16 kTestSourceVersionMajor = 2;
inline constexpr TW_UINT16 kTestSourceVersionMinor = 3;
// The image width it reports for DG_IMAGE/DAT_IMAGEINFO/MSG_GET.
inline constexpr TW_INT32 kTestSourceImageWidth = 1234;

// Exports (plain C calling convention).
using TestSourceCallCountProc = int (*)();
using TestSourceGetCallProc = int (*)(int index, TestSourceCall* call);
// The identity the source keeps for itself and the application's identity it
// was opened by.
using TestSourceIdentitiesProc = void (*)(TW_IDENTITY* self, TW_IDENTITY* application);
// Sends DG_CONTROL/DAT_NULL/msg to the application through the manager's
// DSM_Entry, on the calling thread or on a thread of its own; the manager's
// return code.
using TestSourceNotifyProc = TW_UINT16 (*)(TW_UINT16 msg, int fromOtherThread);

inline constexpr char kTestSourceCallCount[] = "TestSource_CallCount";
inline constexpr char kTestSourceGetCall[] = "TestSource_GetCall";
inline constexpr char kTestSourceIdentities[] = "TestSource_Identities";
inline constexpr char kTestSourceNotify[] = "TestSource_Notify";
