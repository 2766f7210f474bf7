#include "collect/FileRename.h"

#include "doc/SafeFileWriter.h"

namespace tonmira {

bool RenameFileNoReplace(const std::string& from, const std::string& to) { return RenameNoReplace(from, to); }

}  // namespace tonmira
