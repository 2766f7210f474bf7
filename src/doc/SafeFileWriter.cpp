#include "doc/SafeFileWriter.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
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
// How long a temporary file of another host or container must have been left alone before it
// counts as orphaned when nobody holds its lock.
constexpr long kOrphanAgeSeconds = 3600;

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

// Who writes a temporary file, as its name says: "<pid>-<count>-<salt>-<pid namespace>-<boot id>-<host>".
struct Writer {
    long pid = 0;
    std::string rest;  // "<pid namespace>-<boot id>-<host>"
};

// The part of our temporary files' names after the count and the salt: the PID namespace, this
// boot of the kernel and the host. Only a file that carries ours can be judged by its PID: a PID
// seen from another namespace, boot or host says nothing about that process.
const std::string& OwnIdentity()
{
    static const std::string identity = [] {
        struct stat ns {};
        std::string nsId = ::stat("/proc/self/ns/pid", &ns) == 0 ? std::to_string(ns.st_ino) : "0";
        std::string boot;
        std::ifstream("/proc/sys/kernel/random/boot_id") >> boot;
        std::erase(boot, '-');
        char host[256] = {};
        if (::gethostname(host, sizeof host - 1) != 0)
            host[0] = '\0';
        std::string hostName = host;
        std::replace(hostName.begin(), hostName.end(), '/', '_');
        return nsId + "-" + (boot.empty() ? "0" : boot) + "-" + hostName;
    }();
    return identity;
}

// Reads "<pid>-<count>-<salt>-" and what follows from the part of a name after the prefix.
bool ParseWriter(const char* text, Writer& writer)
{
    const char* at = text;
    for (int field = 0; field < 3; ++field) {
        char* end = nullptr;
        const long value = std::strtol(at, &end, 10);
        if (end == at || *end != '-')
            return false;
        if (field == 0)
            writer.pid = value;
        at = end + 1;
    }
    writer.rest = at;
    return true;
}

bool ProcessIsGone(long pid)
{
    if (pid <= 0 || pid == static_cast<long>(::getpid()))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

enum class LockState { Free, Held, Unknown };

// Whether a process still holds the lock every writer keeps on its temporary file. When the lock
// could be taken the file stays locked (open) for the caller's fd until it is closed.
LockState TryLock(int dirFd, const char* name, int& fd)
{
    fd = ::openat(dirFd, name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return LockState::Unknown;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return LockState::Free;
    return errno == EWOULDBLOCK ? LockState::Held : LockState::Unknown;
}

// Removes the temporary files in folder whose writer is proven gone: nobody holds the file's
// lock, and either its name carries this machine's identity with a PID that no longer runs, or
// (a writer on another host or in another container, whose PID cannot be looked up here) it has
// not been written to for kOrphanAge. The age covers file systems that do not share locks
// between hosts; a live save writes all the time.
void RemoveOrphanedTempFiles(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::size_t prefixLength = std::strlen(kTempPrefix);
    const std::time_t now = std::time(nullptr);
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, kTempPrefix, prefixLength) != 0)
            continue;
        Writer writer;
        const bool known = ParseWriter(name + prefixLength, writer);
        if (known && writer.pid == static_cast<long>(::getpid()) && writer.rest == OwnIdentity())
            continue;  // one of ours, in progress
        // Only files are opened to look at their lock: opening a device or a FIFO could act on it.
        struct stat node {};
        if (::fstatat(::dirfd(dir), name, &node, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(node.st_mode))
            continue;
        int fd = -1;
        const LockState lock = TryLock(::dirfd(dir), name, fd);
        struct stat st {};
        const bool old = fd >= 0 && ::fstat(fd, &st) == 0 && now - st.st_mtime > kOrphanAgeSeconds;
        const bool ownAndGone = known && writer.rest == OwnIdentity() && ProcessIsGone(writer.pid);
        if ((lock == LockState::Free && (ownAndGone || old)) || (lock == LockState::Unknown && ownAndGone))
            ::unlinkat(::dirfd(dir), name, 0);
        if (fd >= 0)
            ::close(fd);
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

// Creates a new file next to the target, locked for as long as fd (or a duplicate of it) is
// open, and registers it for removal on a signal. The kernel applies the umask to 0666 as for any
// new file (reading the umask would need umask(), which races with other threads).
int CreateTempFile(const std::string& folder, std::string& tempPath, int& slot)
{
    static std::atomic<unsigned> counter{0};
    // Drawn once: with the process id and the counter it tells this process's files from those of
    // an earlier process that had the same id (and a random device can be slow to open).
    static const unsigned salt = std::random_device{}();
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-" +
                   std::to_string(counter.fetch_add(1, std::memory_order_relaxed)) + "-" +
                   std::to_string(salt) + "-" + OwnIdentity();
        // Registered before it exists, so there is no moment in which a signal could leave it.
        slot = RegisterTempFile(tempPath.c_str());
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // A sweep in another process, container or host leaves a locked file alone. Where the
            // file system has no locks the name and the age still protect it.
            (void)::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
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
    ok = ar.Close() && ok;
    errno = ok ? 0 : ar.LastError();
    return ok;
}

// Writes the complete file under a temporary name in the folder of target and hands it to
// place(tempPath), which moves it to its name. True when both worked; the temporary file is
// gone afterwards in every case, and on failure errno tells the first thing that failed (0 when
// write gave up without a system error).
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
    // The archive closes its descriptor before the rename; the lock must last until the file has
    // its name.
    const int lockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    // An existing file keeps its permissions and, where the process may set it, its owner.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)::fchown(fd, st.st_uid, st.st_gid);
        ::fchmod(fd, st.st_mode & 07777);
    }

    bool ok;
    int error = 0;
    {
        CArchive ar(fd, CArchive::store, path);
        ok = write(ar) && ar.Flush();
        // The data must be on the disk before the name points to it: after a power loss the
        // target is then the old file or the whole new one, never an empty one.
        if (ok && ::fsync(fd) != 0) {
            error = errno;
            ok = false;
        }
        const bool closed = ar.Close();
        ok = closed && ok;
        if (!ok && error == 0)
            error = ar.LastError();
    }
    if (ok && !place(tempPath))
        error = errno, ok = false;
    if (ok) {
        ForgetTempFile(slot);
        SyncFolder(folder);
    } else {
        ::unlink(tempPath.c_str());
        ForgetTempFile(slot);
    }
    if (lockFd >= 0)
        ::close(lockFd);
    errno = error;
    return ok;
}

}  // namespace

bool WriteFileSafely(const std::string& path, const std::function<bool(CArchive&)>& write)
{
    std::string target;
    if (!ResolveLinks(path, target))
        return false;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
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

bool WriteFileIfAbsent(const std::string& path, const std::function<bool(CArchive&)>& write)
{
    return WriteThroughTemp(path, path, write,
                            [&](const std::string& tempPath) { return RenameNoReplace(tempPath, path); });
}

void SyncFolderOf(const std::string& path) { SyncFolder(FolderOf(path)); }

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
