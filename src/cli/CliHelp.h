#pragma once
// The option list that COMMAND --help prints after the command's usage lines.
#include <string>

#include "cli/CliOptionTable.h"

namespace tonmira::cli {

// "Options:" and one entry per option: "--name ARG" and its help, wrapped to 80 columns.
// Empty for a command without options.
std::string FormatOptionHelp(const CliCommandTable& table);

}  // namespace tonmira::cli
