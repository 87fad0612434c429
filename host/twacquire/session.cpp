#include "host/twacquire/session.h"

#include "host/twacquire/exit_codes.h"

namespace twacquire {

int Session::Open(const std::string& sourceName, FILE* err) {
    if (!window.handle()) {
        std::fprintf(err, "twacquire: cannot create a window for the source manager\n");
        return kExitNoManager;
    }
    std::string error;
    if (!manager.Load(error) || !manager.Open(window.handle(), error)) {
        std::fprintf(err, "twacquire: %s\n", error.c_str());
        return kExitNoManager;
    }
    const int code = source.Open(sourceName, error);
    if (code != kExitOk) std::fprintf(err, "twacquire: %s\n", error.c_str());
    return code;
}

}  // namespace twacquire
