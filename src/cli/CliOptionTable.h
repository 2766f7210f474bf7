#pragma once
// The options and operands of every tonmira-cli command, with what each takes and means. The
// parser takes its option names from here (ParseCommandLine), and --help, the man page and the
// shell completion are made from the same entries, so none of them can drift from what the
// program accepts.
#include <string>
#include <vector>

#include "cli/CliArgs.h"

namespace tonmira::cli {

// What a value or an operand is, so that the completion offers the right words.
enum class CliValue {
    None,       // a flag: no value
    Text,       // free text: nothing to offer
    Choice,     // one of the blank-separated words in `values`
    InputFile,  // a file to read: names ending in one of `values` (extensions), and folders
    OutputFile, // a file to write: any name
    Directory,  // a folder
    Device,     // a sound device: an index or a name from the devices command
};

struct CliOption {
    std::string name;  // without the leading "--"
    std::string arg;   // the value's placeholder in the help ("HZ", "16|8"); empty for a flag
    std::string help;  // meaning, range, default and unit
    CliValue value = CliValue::Text;
    std::string values;  // Choice: the words; InputFile: the extensions
};

struct CliOperand {
    CliValue value = CliValue::Text;
    std::string values;
    bool repeats = false;  // the last operand may be given any number of times
};

struct CliCommandTable {
    std::string command;
    std::vector<CliOperand> operands;
    std::vector<CliOption> options;
};

// Every command, in name order.
const std::vector<CliCommandTable>& CliCommandTables();
// The entry of one command; a command without one is a programming error (std::out_of_range).
const CliCommandTable& CommandTable(const std::string& command);

// argv (after the command name) parsed against the command's options.
CliArgs ParseCommandLine(const std::string& command, const std::vector<std::string>& argv);

// The extensions an audio input may have (without the dot, blank-separated), for completion.
extern const char kAudioInputExtensions[];

}  // namespace tonmira::cli
