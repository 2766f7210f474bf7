#include "doc/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace tonmira {

namespace {

// Creates a new file next to the target. The kernel applies the umask to 0666 as for any new
// file (reading the umask would need umask(), which races with other threads).
int CreateTempFile(const std::string& folder, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/.tonmira-save-" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter.fetch_add(1, std::memory_order_relaxed)) + "-" +
                   std::to_string(random());
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write)
{
    std::string folder = ".";
    std::string::size_type slash = path.rfind('/');
    if (slash != std::string::npos)
        folder = slash == 0 ? "/" : path.substr(0, slash);
    std::string tempPath;
    int fd = CreateTempFile(folder, tempPath);
    if (fd < 0)
        return false;
    // An existing file keeps its permissions.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(fd, st.st_mode & 07777);

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
