// twacquire: a command-line TWAIN host.
#include "host/twacquire/acquire_command.h"
#include "host/twacquire/caps_command.h"
#include "host/twacquire/exit_codes.h"
#include "host/twacquire/list_command.h"
#include "host/twacquire/options.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace twacquire;
    std::vector<std::string> args(argv + 1, argv + argc);
    ParsedArguments parsed = ParseArguments(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "twacquire: %s\n\n%s", parsed.error.c_str(), UsageText().c_str());
        return kExitUsage;
    }
    switch (parsed.options.command) {
    case Command::Help:
        std::fputs(UsageText().c_str(), stdout);
        return kExitOk;
    case Command::List:
        return RunList(stdout, stderr);
    case Command::Caps:
        return RunCaps(parsed.options, stdout, stderr);
    case Command::Acquire:
        return RunAcquire(parsed.options, stdout, stderr);
    }
    return kExitUsage;
}
