#include "host/twacquire/list_command.h"

#include "common/product.h"
#include "host/twacquire/exit_codes.h"
#include "host/twacquire/identity_text.h"
#include "host/twacquire/parent_window.h"
#include "host/twacquire/source_manager.h"

#include <string>
#include <vector>

namespace twacquire {

int RunList(FILE* out, FILE* err) {
    ParentWindow window;
    if (!window.handle()) {
        std::fprintf(err, "twacquire: cannot create a window for the source manager\n");
        return kExitNoManager;
    }
    SourceManager manager;
    std::string error;
    if (!manager.Load(error) || !manager.Open(window.handle(), error)) {
        std::fprintf(err, "twacquire: %s\n", error.c_str());
        return kExitNoManager;
    }
    std::vector<TW_IDENTITY> sources;
    if (!manager.ListSources(sources, error)) {
        std::fprintf(err, "twacquire: %s\n", error.c_str());
        return kExitNoManager;
    }
    if (sources.empty()) {
        std::fprintf(err, "twacquire: no TWAIN data source is installed (none under the %s folder of the Windows directory)\n",
                     kSourcesFolder + 1);
        return kExitNoSource;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        if (i > 0) std::fprintf(out, "\n");
        std::fprintf(out, "Source %u\n%s", static_cast<unsigned>(i + 1),
                     FormatIdentity(sources[i]).c_str());
    }
    std::fflush(out);
    return kExitOk;
}

}  // namespace twacquire
