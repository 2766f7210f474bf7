// What the command line says when the system refuses: a reader of its output that goes away, an
// output folder that cannot take files, a save or an open that fails (the specified message,
// then the system's reason on the next line).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

namespace tonmira {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::ShellQuote;
using test::TempDir;
using test::WriteFileBytes;
namespace fs = std::filesystem;

std::size_t CountFiles(const std::string& folder)
{
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        n += entry.is_regular_file();
    return n;
}

std::string AccessError(const std::string& path, int error)
{
    return path + " へのアクセス中に不明なエラーが発生しました。\n" + std::strerror(error) + "\n";
}

}  // namespace

TEST(OutputErrorsCli, ACollectionWhoseReaderGoesAwayFinishesItsFilesAndFails)
{
    TempDir dir;
    fs::create_directory(dir.File("out"));
    fs::create_directory(dir.File("alone"));
    const std::string in = dir.File("in.wav");
    WriteFileBytes(in, test::BurstsWav(std::vector<int>(30, 12000)));
    auto alone = RunCli({"collect", in, "--out", dir.File("alone"), "--level", "1000", "--clock", "2024-01-01 00:00:00"});
    ASSERT_EQ(alone.exitCode, 0) << alone.err;

    // `collect ... | head -1`: the reader has left before the first line.
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    close(pipeFds[0]);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        const int err = open(dir.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(err, STDERR_FILENO);
        execl(TONMIRA_CLI_PATH, TONMIRA_CLI_PATH, "collect", in.c_str(), "--out", dir.File("out").c_str(), "--level",
              "1000", "--clock", "2024-01-01 00:00:00", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadFileBytes(dir.File("err")),
              std::string("tonmira-cli: the output could not be written (") + std::strerror(EPIPE) + ")\n");
    EXPECT_EQ(CountFiles(dir.File("out")), CountFiles(dir.File("alone")));
    const std::string log = ReadFileBytes(dir.File("out/events.csv"));
    const std::string aloneLog = ReadFileBytes(dir.File("alone/events.csv"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), std::count(aloneLog.begin(), aloneLog.end(), '\n'));
}

TEST(OutputErrorsCli, AnOutputFolderThatCannotTakeFilesIsRefusedBeforeTheCollection)
{
    TempDir dir;
    const std::string in = dir.File("in.wav");
    WriteFileBytes(in, test::BurstsWav({12000, 12000}));
    WriteFileBytes(dir.File("plain"), "a file, not a folder");
    fs::create_directory(dir.File("other"));
    for (const auto& [out, error] : {std::pair<std::string, int>{dir.File("missing"), ENOENT}, {dir.File("plain"), ENOTDIR}}) {
        for (const std::vector<std::string>& inputs : {std::vector<std::string>{in}, {in, in}}) {
            std::vector<std::string> args{"collect"};
            args.insert(args.end(), inputs.begin(), inputs.end());
            args.insert(args.end(), {"--out", out, "--level", "1000", "--log", dir.File("other/log.csv")});
            auto r = RunCli(args);
            EXPECT_EQ(r.exitCode, 1) << out;
            EXPECT_EQ(r.err, AccessError(out, error));
            EXPECT_EQ(r.out, "");
            EXPECT_FALSE(fs::exists(dir.File("other/log.csv"))) << "the collection ran";
        }
    }
}

TEST(OutputErrorsCli, AFailedSaveOrOpenGivesTheSystemsReasonUnderTheMessage)
{
    TempDir dir;
    const std::string in = dir.File("in.wav");
    WriteFileBytes(in, test::BurstsWav(std::vector<int>(4, 12000)));  // 128 KB
    auto missingFolder = RunCli({"convert", in, dir.File("gone/out.wav")});
    EXPECT_EQ(missingFolder.exitCode, 1);
    EXPECT_EQ(missingFolder.err, AccessError(dir.File("gone/out.wav"), ENOENT));

    // A disk that fills up: files may not grow past 16 KiB.
    const std::string out = dir.File("out.wav");
    const std::string command = "trap '' XFSZ; ulimit -f 32; exec " + ShellQuote(TONMIRA_CLI_PATH) + " convert " +
                                ShellQuote(in) + " " + ShellQuote(out) + " 2>" + ShellQuote(dir.File("err"));
    const int status = std::system(("sh -c " + ShellQuote(command)).c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(ReadFileBytes(dir.File("err")), "Wavファイルの保存に失敗しました。\n" + AccessError(out, EFBIG));

    auto missingFile = RunCli({"info", dir.File("none.wav")});
    EXPECT_EQ(missingFile.exitCode, 1);
    EXPECT_EQ(missingFile.err, AccessError(dir.File("none.wav"), ENOENT));
    // A file the load refuses has no system reason: the message stands alone, as specified.
    WriteFileBytes(dir.File("bad.wav"), "RIFF....WAVEnothing");
    auto refused = RunCli({"info", dir.File("bad.wav")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err.substr(refused.err.find('\n') + 1), dir.File("bad.wav") + " へのアクセス中に不明なエラーが発生しました。\n");
}

}  // namespace tonmira
