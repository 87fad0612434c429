// Setting a capability as a host does: a TW_ONEVALUE container in global
// memory, sent with MSG_SET through the host's call of the source.
#pragma once

#include "common/twain.h"

#include <windows.h>

namespace wintest {

// `call(data)` sends DG_CONTROL / DAT_CAPABILITY / MSG_SET with `data`.
template <class Call>
TW_UINT16 SetOneValue(Call call, TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 value) {
    HGLOBAL h = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(h));
    one->ItemType = itemType;
    one->Item = value;
    GlobalUnlock(h);
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, h};
    const TW_UINT16 rc = call(&capability);
    GlobalFree(h);
    return rc;
}

}  // namespace wintest
