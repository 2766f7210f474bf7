#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "doc/DocTestUtil.h"

using namespace tonmira::test;

namespace {

// Runs tonmira-cli with files limited to 16 KiB, as on a nearly full disk: a write past the
// limit fails (EFBIG) instead of killing the process, because SIGXFSZ is ignored.
int RunWithSmallDisk(const std::vector<std::string>& args)
{
    std::string command = "trap '' XFSZ; ulimit -f 32; exec " + ShellQuote(TONMIRA_CLI_PATH);
    for (const auto& arg : args)
        command += " " + ShellQuote(arg);
    command += " >/dev/null 2>&1 </dev/null";
    int status = std::system(("sh -c " + ShellQuote(command)).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// 20000 frames of a 16-bit mono 1 kHz tone: 40 KB, more than the limit.
std::string ToneWav()
{
    WavBytes wav;
    wav.channels = 1;
    for (int i = 0; i < 20000; ++i)
        PutU16(wav.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(
                             12000 * std::sin(2.0 * std::acos(-1.0) * 1000.0 * i / 44100.0))));
    return wav.Build();
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

}  // namespace

TEST(FullDiskCli, SavesOverTheirInputKeepItWhole)
{
    TempDir dir;
    const std::string in = dir.File("take.wav");
    const std::string original = ToneWav();
    WriteFileBytes(in, original);
    for (std::vector<std::string> args : {
             std::vector<std::string>{"convert", in, in},
             {"truncate", in, in, "--start", "1", "--end", "19000"},
             {"expand", in, in, "--level", "30000"},
         }) {
        EXPECT_EQ(RunWithSmallDisk(args), 1) << args[0];
        EXPECT_EQ(ReadFileBytes(in), original) << args[0] << " damaged its input";
        EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"take.wav"}) << args[0] << " left a file behind";
    }
}

TEST(FullDiskCli, AnEventFileCutOffIsNotLeftBehind)
{
    TempDir dir;
    const std::string in = dir.File("take.wav");
    WriteFileBytes(in, ToneWav());
    std::filesystem::create_directory(dir.File("events"));
    auto r = RunCli({"event", in, "--out", dir.File("events"), "--level", "100", "--clock", "2026-01-02 03:04:05"});
    ASSERT_EQ(r.exitCode, 0) << r.err;  // without the limit the event is written

    std::filesystem::remove_all(dir.File("events"));
    std::filesystem::create_directory(dir.File("events"));
    EXPECT_EQ(RunWithSmallDisk({"event", in, "--out", dir.File("events"), "--level", "100", "--save-rejected", "1"}), 1);
    EXPECT_TRUE(FilesIn(dir.File("events")).empty());
}
