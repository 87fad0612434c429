// The command line of twacquire.
#pragma once

#include <string>
#include <vector>

namespace twacquire {

enum class Command { Help, List };

struct Options {
    Command command = Command::Help;
};

struct ParsedArguments {
    bool ok = false;
    Options options;
    std::string error;  // what is wrong when !ok
};

// Parses the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// The text printed by --help.
std::string UsageText();

}  // namespace twacquire
