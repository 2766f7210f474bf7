#pragma once
// Loading and saving a file exactly as File > Open and File > Save do, for every command.
// The format question of a text file is answered from --rate (default 44100) and
// --bits 16|8 (default 16). The program's messages go to stderr, the generic file error
// included; a false result means the command should exit with kExitFailed.
#include <string>

#include "cli/CliArgs.h"

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::cli {

// Opens path into doc (whose sink should be a CliMessageSink). A bad --rate shows the format
// prompt's own message and throws UsageError; a bad --bits throws UsageError.
// Returns false after the load's messages.
bool LoadDocument(CTonmiraDoc& doc, const std::string& path, const CliArgs& args);
// Saves doc under path (WAV or text by its last three characters); false after the messages.
// A document without a take is refused with a message of ours, and so is a protected target
// (RefuseProtectedTarget).
bool SaveDocument(CTonmiraDoc& doc, const std::string& path);
// False, after a message naming what to do instead, when path is a format the program only
// reads or the source the take was converted from; true when path may be written.
bool RefuseProtectedTarget(const CTonmiraDoc& doc, const std::string& path);

}  // namespace tonmira::cli
