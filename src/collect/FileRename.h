#pragma once
// Renaming an event file without ever replacing another file. A plain POSIX rename would
// silently overwrite an event already holding the target name; the program's renames are
// meant to fail instead when the name is taken.
#include <string>

namespace tonmira {

// Returns true when from now has the name to. Fails (and changes nothing) when from is missing,
// to already exists, or the folder cannot be written.
bool RenameFileNoReplace(const std::string& from, const std::string& to);

}  // namespace tonmira
