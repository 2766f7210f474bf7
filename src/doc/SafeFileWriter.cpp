#include "doc/SafeFileWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "doc/TempFileRegistry.h"

namespace tonmira {

namespace {

constexpr const char* kTempPrefix = ".tonmira-save-";
// As many links as the kernel follows in one path lookup.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save to path really writes: path itself, or what its chain of symbolic links ends
// in (which need not exist yet). False for a loop or an unreadable link.
bool ResolveLinks(const std::string& path, std::string& resolved)
{
    resolved = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(resolved.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 2);
        ssize_t n = ::readlink(resolved.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size())
            return false;
        std::string next(target.data(), static_cast<std::size_t>(n));
        // A relative link is relative to the folder that holds the link.
        resolved = next[0] == '/' ? next : FolderOf(resolved) + "/" + next;
    }
    errno = ELOOP;
    return false;
}

bool ProcessIsGone(long pid)
{
    if (pid <= 0 || pid == static_cast<long>(::getpid()))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the temporary files in folder that a process that no longer runs left behind.
void RemoveOrphanedTempFiles(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::size_t prefixLength = std::strlen(kTempPrefix);
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, kTempPrefix, prefixLength) != 0)
            continue;
        char* end = nullptr;
        long pid = std::strtol(name + prefixLength, &end, 10);
        if (end == name + prefixLength || *end != '-' || !ProcessIsGone(pid))
            continue;
        ::unlinkat(::dirfd(dir), name, 0);
    }
    ::closedir(dir);
}

// Whether this process has not yet swept folder for orphans. Once per folder is enough: a long
// collection writes two files per event into one folder, and reading the whole folder before
// each of them made every file cost more the more files there were.
bool FirstSaveInFolder(const std::string& folder)
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return true;
    static std::mutex mutex;
    static auto* swept = new std::set<std::pair<dev_t, ino_t>>;  // never freed: saves may run at exit
    std::lock_guard lock(mutex);
    return swept->emplace(st.st_dev, st.st_ino).second;
}

// Creates a new file next to the target and registers it for removal on a signal. The kernel
// applies the umask to 0666 as for any new file (reading the umask would need umask(), which
// races with other threads).
int CreateTempFile(const std::string& folder, std::string& tempPath, int& slot)
{
    static std::atomic<unsigned> counter{0};
    // Drawn once: with the process id and the counter it tells this process's files from those of
    // an earlier process that had the same id (and a random device can be slow to open).
    static const unsigned salt = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-" +
                   std::to_string(counter.fetch_add(1, std::memory_order_relaxed)) + "-" +
                   std::to_string(salt);
        // Registered before it exists, so there is no moment in which a signal could leave it.
        slot = RegisterTempFile(tempPath.c_str());
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        int error = errno;
        ForgetTempFile(slot);
        slot = -1;
        if (error != EEXIST) {
            errno = error;
            return -1;
        }
    }
    return -1;
}

// Makes a rename in folder durable. Some file systems cannot sync a folder; the rename has
// happened either way, so this is best effort.
void SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A target that cannot be replaced by a file: written in place, no temporary file.
bool WriteInPlace(const std::string& target, const std::string& path, const std::function<bool(CArchive&)>& write)
{
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    CArchive ar(fd, CArchive::store, path);
    bool ok = write(ar);
    return ar.Close() && ok;
}

// Writes the complete file under a temporary name in the folder of target and hands it to
// place(tempPath), which moves it to its name. True when both worked; the temporary file is
// gone afterwards in every case.
bool WriteThroughTemp(const std::string& target, const std::string& path,
                      const std::function<bool(CArchive&)>& write,
                      const std::function<bool(const std::string&)>& place)
{
    const std::string folder = FolderOf(target);
    if (FirstSaveInFolder(folder))
        RemoveOrphanedTempFiles(folder);
    std::string tempPath;
    int slot = -1;
    int fd = CreateTempFile(folder, tempPath, slot);
    if (fd < 0)
        return false;
    // An existing file keeps its permissions and, where the process may set it, its owner.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)::fchown(fd, st.st_uid, st.st_gid);
        ::fchmod(fd, st.st_mode & 07777);
    }

    bool ok;
    {
        CArchive ar(fd, CArchive::store, path);
        ok = write(ar) && ar.Flush();
        // The data must be on the disk before the name points to it: after a power loss the
        // target is then the old file or the whole new one, never an empty one.
        ok = ok && ::fsync(fd) == 0;
        ok = ar.Close() && ok;
    }
    if (ok && place(tempPath)) {
        ForgetTempFile(slot);
        SyncFolder(folder);
        return true;
    }
    ::unlink(tempPath.c_str());
    ForgetTempFile(slot);
    return false;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write)
{
    std::string target;
    if (!ResolveLinks(path, target))
        return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            return false;
        return WriteInPlace(target, path, write);
    }
    return WriteThroughTemp(target, path, write, [&](const std::string& tempPath) {
        return ::rename(tempPath.c_str(), target.c_str()) == 0;
    });
}

bool WriteNewFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write,
                        std::string& finalPath)
{
    finalPath.clear();
    std::string placed;
    bool ok = WriteThroughTemp(path, path, write, [&](const std::string& tempPath) {
        for (int n = 1; n < 10000; ++n) {
            std::string name = n == 1 ? path : NumberedName(path, n);
            if (RenameNoReplace(tempPath, name)) {
                placed = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    });
    if (ok)
        finalPath = placed;
    return ok;
}

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // The file system cannot rename without replacing: a hard link fails on a taken name too.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return false;
    // No hard links either (FAT and the like): check, then rename. Not atomic, but no folder
    // is written by two collections at once.
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    if (errno != ENOENT)
        return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::string NumberedName(const std::string& path, int n)
{
    std::string::size_type slash = path.rfind('/');
    std::string::size_type dot = path.rfind('.');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    // A name that only starts with a dot (".hidden") has no extension.
    if (dot == std::string::npos || dot <= nameStart)
        dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(n) + path.substr(dot);
}

}  // namespace tonmira
