#include "host/twacquire/caps_command.h"

#include "common/twain_names.h"
#include "host/twacquire/cap_text.h"
#include "host/twacquire/capability_setting.h"
#include "host/twacquire/exit_codes.h"
#include "host/twacquire/session.h"

#include <set>

namespace twacquire {

namespace {

// The capabilities to ask about: those the source lists in
// CAP_SUPPORTEDCAPS, and every one TWAIN defines (a source may answer more
// than it lists, and many list nothing).
std::set<TW_UINT16> CapabilitiesToAsk(DataSource& source) {
    std::set<TW_UINT16> caps;
    TW_UINT16 result = 0;
    if (std::optional<Container> listed = source.GetCapability(CAP_SUPPORTEDCAPS, MSG_GET, result))
        for (const CapItem& item : listed->items) caps.insert(static_cast<TW_UINT16>(item.number));
    for (unsigned first : {0x0000u, 0x1000u})
        for (unsigned code = first; code < first + 0x200; ++code)
            if (TwainCapabilityItemType(static_cast<uint16_t>(code)))
                caps.insert(static_cast<TW_UINT16>(code));
    return caps;
}

}  // namespace

int RunCaps(const Options& options, FILE* out, FILE* err) {
    Session session;
    if (const int code = session.Open(options.source, err); code != kExitOk) return code;
    DataSource& source = session.source;
    for (const auto& [name, value] : options.sets) {
        const std::optional<uint16_t> cap = TwainCapabilityByName(name);
        std::string error;
        if (!cap) {
            std::fprintf(err, "twacquire: unknown capability '%s'\n", name.c_str());
            return kExitUsage;
        }
        if (!SetCapabilityText(source, *cap, value, error)) {
            std::fprintf(err, "twacquire: %s\n", error.c_str());
            return kExitRefused;
        }
    }

    std::fprintf(out, "Capabilities of %s:\n", source.Name().c_str());
    int answered = 0;
    for (TW_UINT16 cap : CapabilitiesToAsk(source)) {
        TW_UINT16 result = 0;
        const std::optional<Container> get = source.GetCapability(cap, MSG_GET, result);
        if (!get) continue;
        const std::optional<Container> current = source.GetCapability(cap, MSG_GETCURRENT, result);
        const std::optional<Container> def = source.GetCapability(cap, MSG_GETDEFAULT, result);
        const std::string name = TwainCapabilityName(cap);
        std::fprintf(out, "  %-24s %s\n", name.c_str(),
                     DescribeCapability(cap, *get, current, def).c_str());
        ++answered;
    }
    if (answered == 0) std::fprintf(out, "  (the source answers none)\n");
    std::fflush(out);
    return kExitOk;
}

}  // namespace twacquire
