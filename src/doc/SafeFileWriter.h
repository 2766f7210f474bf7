#pragma once
// Writes a file so that the target either gets the complete new contents or stays as it was:
// the bytes go to a temporary file in the target's folder, which replaces the target by a
// rename only after everything was written, flushed and closed without error.
#include <functional>
#include <string>

#include "doc/Archive.h"

namespace tonmira {

// Calls write with a storing archive whose file name is path. Returns true when write
// returned true and the file is in place. On any failure the temporary file is removed and
// an existing target is untouched. The new file gets the target's permissions, or the
// usual ones (0666 less the umask) for a new file.
bool WriteFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write);

}  // namespace tonmira
