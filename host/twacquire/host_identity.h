// The identity twacquire presents to the source manager and the sources.
#pragma once

#include "common/twain.h"

namespace twacquire {

TW_IDENTITY HostIdentity();

}  // namespace twacquire
