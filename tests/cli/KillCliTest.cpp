// A save or a collection killed (SIGKILL) at any moment leaves only whole files: the target is
// the whole old file or the whole new one, every event file is complete, and the temporary file
// the killed process left is removed by the next save into that folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

using namespace tonmira::test;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Runs to the end; returns how long it took.
Clock::duration RunWhole(const std::vector<std::string>& args)
{
    auto begin = Clock::now();
    int status = 0;
    waitpid(StartCli(args), &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return Clock::now() - begin;
}

// Starts the command and kills it after `after`; true when the kill came before its end.
bool RunKilled(const std::vector<std::string>& args, Clock::duration after)
{
    pid_t child = StartCli(args);
    std::this_thread::sleep_for(after);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

std::vector<std::string> TempFiles(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(".tonmira-save-", 0) == 0)
            names.push_back(entry.path().filename().string());
    return names;
}

// 16-bit mono at 44100 Hz: seconds of a tone whose pitch tells the takes apart.
std::string Tone(double seconds, double hz)
{
    std::vector<int> samples(static_cast<std::size_t>(seconds * 44100));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int>(std::lround(8000 * std::sin(2 * std::acos(-1.0) * hz * i / 44100)));
    return Wav16(samples, 44100);
}

// A WAV file as an event file is written: the header's sizes match the file exactly.
bool WholeEventFile(const std::string& bytes)
{
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0)
        return false;
    std::uint32_t riff = 0, data = 0;
    std::memcpy(&riff, bytes.data() + 4, 4);
    std::memcpy(&data, bytes.data() + 40, 4);
    return riff + 8 == bytes.size() && data + 44 == bytes.size();
}

}  // namespace

TEST(KillCli, AKilledSaveLeavesTheOldFileOrTheNewOneAndNoTemporaryAfterTheNextSave)
{
    TempDir dir;
    const std::string in = dir.File("take.wav"), target = dir.File("out.wav");
    WriteFileBytes(in, Tone(30, 440));  // 2.6 MB
    const std::string fresh = ReadFileBytes(in);
    const std::string old = Tone(1, 1000);
    const std::vector<std::string> convert{"convert", in, target};
    WriteFileBytes(target, old);
    const auto whole = RunWhole(convert);
    ASSERT_EQ(ReadFileBytes(target), fresh);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
    int killed = 0;
    for (int round = 0; round < 30; ++round) {
        WriteFileBytes(target, old);
        killed += RunKilled(convert, std::chrono::microseconds(moment(random)));
        std::string now = ReadFileBytes(target);
        ASSERT_TRUE(now == old || now == fresh) << "round " << round << " (seed " << seed << "): " << now.size()
                                                << " bytes, neither the old file nor the new one";
    }
    EXPECT_GT(killed, 10) << "the kills came too late to test anything";
    // The next save removes what the killed ones left.
    RunWhole(convert);
    EXPECT_TRUE(TempFiles(dir.Path().string()).empty());
    EXPECT_EQ(ReadFileBytes(target), fresh);
}

TEST(KillCli, AKilledCollectionLeavesOnlyWholeEventFiles)
{
    TempDir dir;
    // 41 bursts of 0.5 s, one a second: event files of 44 KB written all the time.
    std::vector<int> samples(44100 * 41);
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (i % 44100 < 22050)
            samples[i] = static_cast<int>(std::lround(9000 * std::sin(2 * std::acos(-1.0) * 800 * i / 44100)));
    WriteFileBytes(dir.File("in.wav"), Wav16(samples, 44100));
    const std::string out = dir.File("out");
    fs::create_directory(out);
    const std::vector<std::string> collect{"collect", dir.File("in.wav"), "--out", out, "--level", "1000",
                                           "--continuous-ms", "200", "--save-rejected", "1",
                                           "--clock", "2026-01-01 00:00:00"};
    const auto whole = RunWhole(collect);
    ASSERT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 41 + 1);  // and the log

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
    int killed = 0;
    for (int round = 0; round < 20; ++round) {
        killed += RunKilled(collect, std::chrono::microseconds(moment(random)));
        for (const auto& entry : fs::directory_iterator(out)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(".tonmira-save-", 0) == 0 || name == "events.csv")
                continue;
            ASSERT_TRUE(WholeEventFile(ReadFileBytes(entry.path().string())))
                << "round " << round << " (seed " << seed << "): " << name << " is cut off";
            fs::remove(entry.path());  // checked; temporary files stay for the next run to remove
        }
        EXPECT_LE(TempFiles(out).size(), 1u) << "round " << round;
    }
    EXPECT_GT(killed, 5) << "the kills came too late to test anything";
    RunWhole(collect);
    EXPECT_TRUE(TempFiles(out).empty());
}
