// What every command that talks to a source needs: the hidden parent
// window, the source manager, and the open source.
#pragma once

#include "host/twacquire/data_source.h"
#include "host/twacquire/parent_window.h"
#include "host/twacquire/source_manager.h"

#include <cstdio>
#include <string>

namespace twacquire {

struct Session {
    ParentWindow window;
    SourceManager manager;
    DataSource source{manager};

    // Loads and opens the manager and opens the source (by product name, or
    // the default); problems go to `err`. Returns the exit code.
    int Open(const std::string& sourceName, FILE* err);
};

}  // namespace twacquire
