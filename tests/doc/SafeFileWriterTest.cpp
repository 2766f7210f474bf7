#include <gtest/gtest.h>

#include <signal.h>
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
    const std::string orphan = ".tonmira-save-" + std::to_string(DeadPid()) + "-0-7";
    const std::string ours = ".tonmira-save-" + std::to_string(getpid()) + "-99-7";  // a save of ours in progress
    const std::string running = ".tonmira-save-1-0-7";                              // init never ends
    for (const auto& name : {orphan, ours, running, std::string(".tonmira-save-x-1"), std::string("keep.wav")})
        WriteFileBytes(dir.File(name), "bytes");
    ASSERT_TRUE(WriteFileSafely(dir.File("out.wav"), Writes("new")));
    std::vector<std::string> expected{ours, running, ".tonmira-save-x-1", "keep.wav", "out.wav"};
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
