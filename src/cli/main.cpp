// tonmira-cli: dispatches to the registered commands.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace tonmira::cli {

std::map<std::string, CliCommand>& CliCommands()
{
    static std::map<std::string, CliCommand> commands;
    return commands;
}

}  // namespace tonmira::cli

namespace {

void PrintHelp(std::FILE* out)
{
    std::fprintf(out,
                 "tonmira-cli - record, play back and analyse PCM audio; collect sound events unattended.\n"
                 "\nUsage: tonmira-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
                 "       tonmira-cli COMMAND --help\n\nCommands:\n");
    for (const auto& [name, command] : tonmira::cli::CliCommands())
        std::fprintf(out, "  %s\n", command.usage);
    std::fprintf(out,
                 "\nA text input (any name not ending in wav or wma) takes --rate HZ (default 44100)\n"
                 "and --bits 16|8 (default 16). Exit codes: 0 done, 1 failed, 2 usage error.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace tonmira::cli;
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        PrintHelp(stdout);
        return argc < 2 ? kExitUsage : kExitDone;
    }
    auto& commands = CliCommands();
    auto it = commands.find(argv[1]);
    if (it == commands.end()) {
        std::fprintf(stderr, "tonmira-cli: unknown command '%s'\n\n", argv[1]);
        PrintHelp(stderr);
        return kExitUsage;
    }
    std::vector<std::string> rest(argv + 2, argv + argc);
    for (const auto& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            std::printf("Usage: tonmira-cli %s\n", it->second.usage);
            return kExitDone;
        }
    }
    try {
        return it->second.run(rest);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tonmira-cli %s: %s\nUsage: tonmira-cli %s\n", argv[1], e.what(), it->second.usage);
        return kExitUsage;
    }
}
