#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "TestUtil.h"
#include "doc/SafeFileWriter.h"
#include "doc/TempFileRegistry.h"

using namespace tonmira;
using namespace tonmira::test;
namespace fs = std::filesystem;

namespace {

auto Writes(const std::string& text)
{
    return [text](CArchive& ar) { return ar.WriteString(text); };
}

std::vector<std::string> Names(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The PID of a process that has ended and been reaped.
pid_t DeadPid()
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

std::vector<std::string> TempNames(const std::string& dir)
{
    std::vector<std::string> names;
    for (const std::string& name : Names(dir))
        if (name.rfind(".tonmira-save-", 0) == 0)
            names.push_back(name);
    return names;
}

// Sets a file's modification time to hours ago, as a save left alone that long.
void MakeOld(const std::string& path, int hours = 2)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {time(nullptr) - hours * 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A save to path in another process that has written part of its file and then waits until
// Finish(). With otherMachine it runs in new PID and UTS namespaces, under another host name and
// as a PID that this process does not see (or that is another process here), as a save in
// another container or on another host sharing the folder does.
class PausedSave {
public:
    PausedSave(const std::string& path, bool otherMachine)
    {
        if (pipe(m_ready) != 0 || pipe(m_go) != 0)
            return;
        const pid_t unused = otherMachine ? FreePid() : 0;
        m_pid = fork();
        if (m_pid == 0) {
            close(m_ready[0]);
            close(m_go[1]);
            if (!otherMachine)
                _exit(Save(path));
            int flags = CLONE_NEWPID | CLONE_NEWUTS | (geteuid() == 0 ? 0 : CLONE_NEWUSER);
            if (unshare(flags) != 0) {
                (void)!write(m_ready[1], "n", 1);
                _exit(0);
            }
            const pid_t init = fork();  // the first process in the new namespace
            if (init == 0) {
                (void)sethostname("elsewhere", 9);
                // Takes PIDs one by one until the saver gets the one that is free outside.
                for (;;) {
                    const pid_t child = fork();
                    if (child == 0) {
                        if (getpid() != unused)
                            _exit(0);
                        _exit(Save(path));
                    }
                    int status = 0;
                    waitpid(child, &status, 0);
                    if (child < 0 || child >= unused)
                        _exit(child == unused && WIFEXITED(status) ? WEXITSTATUS(status) : 1);
                }
            }
            int status = 0;
            waitpid(init, &status, 0);
            _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
        }
        close(m_ready[1]);
        close(m_go[0]);
        char answer = 0;
        m_bStarted = read(m_ready[0], &answer, 1) == 1 && answer == 'y';
        m_bRefused = answer == 'n';
    }
    ~PausedSave()
    {
        if (m_pid > 0 && !m_bFinished)
            Finish();
    }
    bool Started() const { return m_bStarted; }
    bool NamespacesRefused() const { return m_bRefused; }
    // Lets the save complete; true when it succeeded.
    bool Finish()
    {
        m_bFinished = true;
        close(m_go[1]);
        int status = 0;
        waitpid(m_pid, &status, 0);
        close(m_ready[0]);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    static constexpr std::size_t kBytes = 1 << 20;

private:
    // The lowest PID that no process has here, so a save under it elsewhere looks ended.
    static pid_t FreePid()
    {
        for (pid_t pid = 300;; ++pid)
            if (kill(pid, 0) != 0 && errno == ESRCH)
                return pid;
    }
    int Save(const std::string& path)
    {
        const bool ok = WriteFileSafely(path, [this](CArchive& ar) {
            ar.WriteString(std::string(kBytes, 'p'));
            ar.Flush();
            (void)!write(m_ready[1], "y", 1);
            char c;
            (void)!read(m_go[0], &c, 1);  // until the test closes the pipe
            return true;
        });
        return ok ? 0 : 1;
    }

    int m_ready[2] = {-1, -1};
    int m_go[2] = {-1, -1};
    pid_t m_pid = -1;
    bool m_bStarted = false;
    bool m_bRefused = false;
    bool m_bFinished = false;
};

}  // namespace

TEST(SafeFileWriter, ASymlinkIsWrittenThroughAndStaysALink)
{
    TempDir dir;
    fs::create_directory(dir.File("store"));
    WriteFileBytes(dir.File("store/take.wav"), "old");
    fs::create_symlink("store/take.wav", dir.File("link.wav"));  // relative to the link's folder
    fs::create_symlink(dir.File("link.wav"), dir.File("link2.wav"));
    ASSERT_TRUE(WriteFileSafely(dir.File("link2.wav"), Writes("new")));
    EXPECT_TRUE(fs::is_symlink(dir.File("link2.wav")));
    EXPECT_TRUE(fs::is_symlink(dir.File("link.wav")));
    EXPECT_EQ(ReadFileBytes(dir.File("store/take.wav")), "new");
    EXPECT_EQ(Names(dir.File("store")), std::vector<std::string>{"take.wav"});

    // A link whose file does not exist yet gets it.
    fs::create_symlink("store/fresh.wav", dir.File("dangling.wav"));
    ASSERT_TRUE(WriteFileSafely(dir.File("dangling.wav"), Writes("made")));
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling.wav")));
    EXPECT_EQ(ReadFileBytes(dir.File("store/fresh.wav")), "made");

    fs::create_symlink(dir.File("loop.wav"), dir.File("loop.wav"));
    EXPECT_FALSE(WriteFileSafely(dir.File("loop.wav"), Writes("x")));
}

TEST(SafeFileWriter, ANodeThatIsNoFileIsWrittenIntoAndAFolderRefused)
{
    TempDir dir;
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFileBytes(fifo); });
    EXPECT_TRUE(WriteFileSafely(fifo, Writes("through the pipe")));
    reader.join();
    EXPECT_EQ(received, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"pipe"});

    fs::create_directory(dir.File("folder"));
    EXPECT_FALSE(WriteFileSafely(dir.File("folder"), Writes("x")));
    EXPECT_TRUE(fs::is_directory(dir.File("folder")));
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"folder", "pipe"}));
}

TEST(SafeFileWriter, KeepsPermissionsAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const std::string path = dir.File("take.pcm");
    WriteFileBytes(path, "old");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteFileSafely(path, Writes("new")));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(WriteFileSafely(path, [](CArchive& ar) { return ar.WriteString("half") && false; }));
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"take.pcm"});
}

TEST(SafeFileWriter, TemporariesOfEndedProcessesAreRemovedByTheNextSave)
{
    TempDir dir;
    // A save of another process still in progress, not written to for hours.
    PausedSave running(dir.File("running.wav"), false);
    ASSERT_TRUE(running.Started());
    const std::vector<std::string> live = TempNames(dir.Path());
    ASSERT_EQ(live.size(), 1u);
    MakeOld(dir.File(live[0]));
    // A save killed part way through leaves its temporary file.
    const pid_t killed = fork();
    if (killed == 0) {
        WriteFileSafely(dir.File("killed.wav"), [](CArchive& ar) {
            ar.WriteString("part");
            ar.Flush();
            raise(SIGKILL);
            return true;
        });
        _exit(0);
    }
    waitpid(killed, nullptr, 0);
    ASSERT_EQ(TempNames(dir.Path()).size(), 2u);
    // The same name with the PID of a process that runs (this one's parent), unlocked and new: a
    // writer that has not yet taken its lock.
    std::string dead;
    for (const std::string& name : TempNames(dir.Path()))
        if (name != live[0])
            dead = name;
    const std::string prefix = ".tonmira-save-" + std::to_string(killed) + "-";
    ASSERT_EQ(dead.rfind(prefix, 0), 0u) << dead;
    const std::string starting = ".tonmira-save-" + std::to_string(getppid()) + "-" + dead.substr(prefix.size());
    WriteFileBytes(dir.File(starting), "part");
    for (const auto& name : {std::string(".tonmira-save-x-1"), std::string("keep.wav")})
        WriteFileBytes(dir.File(name), "bytes");

    ASSERT_TRUE(WriteFileSafely(dir.File("out.wav"), Writes("new")));
    std::vector<std::string> expected{live[0], starting, ".tonmira-save-x-1", "keep.wav", "out.wav"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir.Path()), expected);
    EXPECT_TRUE(running.Finish());
    EXPECT_EQ(ReadFileBytes(dir.File("running.wav")).size(), PausedSave::kBytes);
}

TEST(SafeFileWriter, ASaveInAnotherPidNamespaceIsLeftAlone)
{
    TempDir dir;
    PausedSave elsewhere(dir.File("take.wav"), true);
    if (elsewhere.NamespacesRefused())
        GTEST_SKIP() << "no right to make PID namespaces here";
    ASSERT_TRUE(elsewhere.Started());
    const std::vector<std::string> temps = TempNames(dir.Path());
    ASSERT_EQ(temps.size(), 1u);
    EXPECT_NE(temps[0].find("elsewhere"), std::string::npos) << temps[0];
    MakeOld(dir.File(temps[0]));  // only its lock and its name can protect it now
    ASSERT_TRUE(WriteFileSafely(dir.File("ours.wav"), Writes("ours")));
    EXPECT_EQ(TempNames(dir.Path()), temps);
    EXPECT_TRUE(elsewhere.Finish());
    EXPECT_EQ(ReadFileBytes(dir.File("take.wav")).size(), PausedSave::kBytes);
}

TEST(SafeFileWriter, ATemporaryOfAnotherHostGoesOnlyWhenUnlockedAndLongUntouched)
{
    TempDir dir;
    // Named by a host of another name, with a PID that is no process here.
    auto name = [](int count) {
        return ".tonmira-save-" + std::to_string(DeadPid()) + "-" + std::to_string(count) +
               "-7-4026531836-00112233445566778899aabbccddeeff-elsewhere";
    };
    const std::string locked = name(1), fresh = name(2), orphan = name(3);
    for (const std::string& n : {locked, fresh, orphan})
        WriteFileBytes(dir.File(n), "bytes");
    MakeOld(dir.File(locked));
    MakeOld(dir.File(orphan));
    // The lock its writer on the other host holds (a network file system passes it on).
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        close(go[1]);
        const int fd = open(dir.File(locked).c_str(), O_RDWR);
        (void)!write(ready[1], flock(fd, LOCK_EX) == 0 ? "y" : "n", 1);
        char c;
        (void)!read(go[0], &c, 1);
        _exit(0);
    }
    close(go[0]);
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');

    ASSERT_TRUE(WriteFileSafely(dir.File("out.wav"), Writes("new")));
    close(go[1]);
    waitpid(holder, nullptr, 0);
    std::vector<std::string> expected{locked, fresh, "out.wav"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(dir.Path()), expected);
}

TEST(SafeFileWriter, ANewFileNeverReplacesOneAndTakesTheNextFreeNumber)
{
    TempDir dir;
    const std::string path = dir.File("20260102030405.WAV");
    std::string final;
    ASSERT_TRUE(WriteNewFileSafely(path, Writes("first"), final));
    EXPECT_EQ(final, path);
    ASSERT_TRUE(WriteNewFileSafely(path, Writes("second"), final));
    EXPECT_EQ(final, dir.File("20260102030405-2.WAV"));
    ASSERT_TRUE(WriteNewFileSafely(path, Writes("third"), final));
    EXPECT_EQ(final, dir.File("20260102030405-3.WAV"));
    EXPECT_EQ(ReadFileBytes(path), "first");
    EXPECT_EQ(ReadFileBytes(dir.File("20260102030405-2.WAV")), "second");
    EXPECT_EQ(Names(dir.Path()).size(), 3u);

    EXPECT_FALSE(WriteNewFileSafely(dir.File("x.WAV"), [](CArchive&) { return false; }, final));
    EXPECT_EQ(final, "");
    EXPECT_EQ(Names(dir.Path()).size(), 3u);
    EXPECT_EQ(NumberedName("/a.b/name", 2), "/a.b/name-2");
    EXPECT_EQ(NumberedName("dir/.hidden", 3), "dir/.hidden-3");
}

TEST(SafeFileWriter, ATerminatingSignalDuringASaveRemovesItsTemporaryFile)
{
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        const std::string path = dir.File("take.wav");
        WriteFileBytes(path, "old");
        pid_t child = fork();
        if (child == 0) {
            RemoveTempFilesOnSignals();
            WriteFileSafely(path, [sig](CArchive& ar) {
                ar.WriteString(std::string(1 << 20, 'x'));
                ar.Flush();
                raise(sig);
                return true;
            });
            _exit(0);  // not reached: the signal ends the child
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << sig;
        EXPECT_EQ(WTERMSIG(status), sig);
        EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"take.wav"}) << sig;
        EXPECT_EQ(ReadFileBytes(path), "old");
    }
}
