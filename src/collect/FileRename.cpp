#include "collect/FileRename.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tonmira {

bool RenameFileNoReplace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot rename without replacing: a hard link fails on a taken name too.
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return true;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
    // No hard links either (FAT and the like): check, then rename. Not atomic, but no event
    // folder is shared between two collections.
    if (access(to.c_str(), F_OK) == 0 || errno != ENOENT)
        return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace tonmira
