#include "host/twacquire/options.h"

namespace twacquire {

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    if (args.empty()) {
        parsed.error = "no command given";
        return parsed;
    }
    bool haveCommand = false;
    for (const std::string& arg : args) {
        Command command;
        if (arg == "--list" || arg == "-l") {
            command = Command::List;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            command = Command::Help;
        } else {
            parsed.error = "unknown argument '" + arg + "'";
            return parsed;
        }
        if (haveCommand && command != parsed.options.command) {
            parsed.error = "give only one of --list and --help";
            return parsed;
        }
        parsed.options.command = command;
        haveCommand = true;
    }
    parsed.ok = true;
    return parsed;
}

std::string UsageText() {
    return "Usage: twacquire COMMAND\n"
           "\n"
           "Talks to TWAIN data sources through the TWAIN source manager.\n"
           "\n"
           "Commands:\n"
           "  --list, -l   print the identity of every installed data source\n"
           "  --help, -h   print this text\n"
           "\n"
           "Exit status: 0 done, 1 wrong command line, 2 the source manager\n"
           "cannot be loaded or opened, 3 no data source is installed.\n";
}

}  // namespace twacquire
