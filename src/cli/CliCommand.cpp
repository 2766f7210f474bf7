#include "cli/CliCommand.h"

#include <cerrno>
#include <cstdio>

namespace tonmira::cli {

std::map<std::string, CliCommand>& CliCommands()
{
    static std::map<std::string, CliCommand> commands;
    return commands;
}

namespace {
int g_outputError = 0;  // main thread only
}  // namespace

int FlushOutput()
{
    errno = 0;
    if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && g_outputError == 0)
        g_outputError = errno ? errno : EIO;
    return g_outputError;
}

}  // namespace tonmira::cli
