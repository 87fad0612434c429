// A source manager that only listens: loaded by a test under the manager's
// module name, it receives the notifications the data source sends through
// DSM_Entry (ordinal 1) and keeps their messages for the test to read; a
// test may also have it answer each one at once.
#include "common/twain.h"

namespace {

constexpr int kMost = 64;
TW_UINT16 g_messages[kMost];
int g_count = 0;
void (*g_reaction)(TW_UINT16) = nullptr;

}  // namespace

extern "C" TW_UINT16 PAVO_TWAIN_CALL DSM_Entry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32,
                                              TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF) {
    if (dat != DAT_NULL) return TWRC_SUCCESS;
    if (g_count < kMost) g_messages[g_count++] = msg;
    if (g_reaction) g_reaction(msg);
    return TWRC_SUCCESS;
}

extern "C" int RecordedCount() { return g_count; }
extern "C" TW_UINT16 RecordedMessage(int i) { return i >= 0 && i < g_count ? g_messages[i] : 0; }
extern "C" void ClearRecorded() { g_count = 0; }
// A reaction to every notification, run inside the source's call.
extern "C" void ReactWith(void (*reaction)(TW_UINT16)) { g_reaction = reaction; }
