#include "cli/CliCommand.h"

namespace tonmira::cli {

std::map<std::string, CliCommand>& CliCommands()
{
    static std::map<std::string, CliCommand> commands;
    return commands;
}

}  // namespace tonmira::cli
