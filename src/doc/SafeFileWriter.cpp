#include "doc/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

namespace tonmira {

namespace {

mode_t NewFileMode(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write)
{
    std::string folder = ".";
    std::string::size_type slash = path.rfind('/');
    if (slash != std::string::npos)
        folder = slash == 0 ? "/" : path.substr(0, slash);
    std::string pattern = folder + "/.tonmira-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string tempPath = name.data();
    ::fchmod(fd, NewFileMode(path));

    bool ok;
    {
        CArchive ar(fd, CArchive::store, path);
        ok = write(ar);
        ok = ar.Close() && ok;
    }
    if (ok && ::rename(tempPath.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tempPath.c_str());
    return false;
}

}  // namespace tonmira
