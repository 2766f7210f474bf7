#pragma once
// Registry of tonmira-cli commands. Each command file registers itself with a static
// CliCommandRegistrar, so adding a command never touches main.cpp.
#include <map>
#include <string>

#include "cli/CliArgs.h"

namespace tonmira::cli {

// Exit codes of the command-line contract.
enum ExitCode { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

struct CliCommand {
    const char* name;   // "info", "export", "ars", ...
    const char* usage;  // one or more lines for --help, without the program name
    int (*run)(const std::vector<std::string>& argv);  // argv after the command name
};

std::map<std::string, CliCommand>& CliCommands();

// Flushes stdout and keeps the first write error (a reader that went away: SIGPIPE is ignored),
// which main reports after the command and turns into exit 1. The command goes on with its files.
// Returns that error (an errno value), 0 while there is none.
int FlushOutput();

struct CliCommandRegistrar {
    explicit CliCommandRegistrar(const CliCommand& command) { CliCommands()[command.name] = command; }
};

}  // namespace tonmira::cli
