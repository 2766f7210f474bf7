// tonmira-cli: dispatches to the registered commands.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/LibraryVersions.h"
#include "audio/ProcessSetup.h"
#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/CliOptionTable.h"
#include "doc/TempFileRegistry.h"

namespace {

// A usage text may hold several forms of a command (a line starting without a blank, such as
// "collect --live ...") and continuation lines (starting with blanks). Each form gets the
// prefix of a form, so every form lines up with the first.
void PrintUsage(std::FILE* out, const char* firstPrefix, const char* formPrefix, const char* usage)
{
    std::string text = usage;
    std::size_t begin = 0;
    for (bool first = true;; first = false) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(begin, end - begin);
        const char* prefix = first ? firstPrefix : (line.empty() || line[0] == ' ' ? "" : formPrefix);
        std::fprintf(out, "%s%s\n", prefix, line.c_str());
        if (end == text.size())
            return;
        begin = end + 1;
    }
}

void PrintHelp(std::FILE* out)
{
    std::fprintf(out,
                 "tonmira-cli - record, play back and analyse PCM audio; collect sound events unattended.\n"
                 "\nUsage: tonmira-cli COMMAND [ARGUMENTS] [OPTIONS]\n"
                 "       tonmira-cli COMMAND --help\n\nCommands:\n");
    for (const auto& [name, command] : tonmira::cli::CliCommands())
        PrintUsage(out, "  ", "  ", command.usage);
    std::fprintf(out,
                 "\nA text input (any name not ending in wav, wma, flac, mp3, ogg, opus, m4a, aac, aiff\n"
                 "or aif) takes --rate HZ (default 44100) and --bits 16|8 (default 16).\n"
                 "Exit codes: 0 done, 1 failed, 2 usage error.\n"
                 "\ntonmira-cli COMMAND --help lists the options of COMMAND; tonmira-cli(1) describes\n"
                 "them all. tonmira-cli --version prints the version; with --verbose also those of\n"
                 "FFmpeg, FFTW and PortAudio.\n");
}

int PrintVersion(const std::vector<std::string>& rest)
{
    bool verbose = false;
    for (const auto& arg : rest) {
        if (arg != "--verbose") {
            std::fprintf(stderr, "tonmira-cli --version: unknown argument '%s' (only --verbose)\n", arg.c_str());
            return tonmira::cli::kExitUsage;
        }
        verbose = true;
    }
    std::printf("tonmira-cli %s\n", TONMIRA_VERSION);
    if (verbose)
        std::fputs(tonmira::LibraryVersionLines().c_str(), stdout);
    return tonmira::cli::kExitDone;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace tonmira::cli;
    tonmira::ConfigureProcessForCli();
    // An interrupted save must not leave its temporary file behind.
    tonmira::RemoveTempFilesOnSignals();
    if (argc < 2) {
        PrintHelp(stderr);
        return kExitUsage;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        PrintHelp(stdout);
        return kExitDone;
    }
    if (!std::strcmp(argv[1], "--version"))
        return PrintVersion(std::vector<std::string>(argv + 2, argv + argc));
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
            PrintUsage(stdout, "Usage: tonmira-cli ", "       tonmira-cli ", it->second.usage);
            const std::string options = FormatOptionHelp(CommandTable(it->first));
            if (!options.empty())
                std::printf("\n%s", options.c_str());
            return kExitDone;
        }
    }
    try {
        return it->second.run(rest);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tonmira-cli %s: %s\n", argv[1], e.what());
        PrintUsage(stderr, "Usage: tonmira-cli ", "       tonmira-cli ", it->second.usage);
        return kExitUsage;
    }
}
