// Offline collection reads a WAV input from the disk as it goes: the memory it needs does not grow
// with the length of the recording, and the input is judged as the document load judges it.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

using namespace tonmira::test;
namespace fs = std::filesystem;

namespace {

// minutes of 16-bit mono 8000 Hz: a 0.2 s 1000 Hz burst every 10 s, silence between.
std::string Recording(int minutes)
{
    const double pi = 2 * std::asin(1.0);
    std::vector<int> period(10 * 8000);
    for (int i = 0; i < 1600; ++i)
        period[i] = static_cast<int>(std::lround(12000 * std::sin(2 * pi * 1000 * i / 8000)));
    std::string one = Wav16(period, 8000).substr(44);
    std::string data;
    data.reserve(one.size() * 6 * minutes);
    for (int k = 0; k < 6 * minutes; ++k)
        data += one;
    return "RIFF" + Le(36 + data.size(), 4) + "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(8000, 4) +
           Le(16000, 4) + Le(2, 2) + Le(16, 2) + "data" + Le(data.size(), 4) + data;
}

struct CollectRun {
    int exitCode = -1;
    long peakKiB = 0;
};

// Runs tonmira-cli collect on input and measures the peak resident memory of that process alone.
CollectRun Collect(const TempDir& dir, const std::string& input)
{
    const std::string out = dir.File("out-" + fs::path(input).stem().string());
    fs::create_directory(out);
    // AddressSanitizer keeps freed blocks (every event's take) in quarantine, which would grow with
    // the number of events; without it the figure is the program's own.
    const pid_t child = StartCli({"collect", input, "--out", out, "--level", "1000", "--continuous-ms", "300",
                                  "--clock", "2026-01-01 00:00:00"},
                                 true, {"ASAN_OPTIONS=quarantine_size_mb=0:detect_leaks=0"});
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

}  // namespace

TEST(CollectStreamCli, MemoryDoesNotGrowWithTheLengthOfTheRecording)
{
    TempDir dir;
    WriteFileBytes(dir.File("short.wav"), Recording(1));
    WriteFileBytes(dir.File("long.wav"), Recording(60));  // 57.6 MB of samples
    CollectRun shortRun = Collect(dir, dir.File("short.wav"));
    CollectRun longRun = Collect(dir, dir.File("long.wav"));
    ASSERT_EQ(shortRun.exitCode, 0);
    ASSERT_EQ(longRun.exitCode, 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out-long")), fs::directory_iterator()), 360 + 1)
        << "the events and the event log";
    // Holding the recording would cost its 56250 KiB; allow a fifth of that for everything else.
    EXPECT_LT(longRun.peakKiB - shortRun.peakKiB, 56250 / 5)
        << "short: " << shortRun.peakKiB << " KiB, long: " << longRun.peakKiB << " KiB";
}

TEST(CollectStreamCli, TheInputIsJudgedAsTheLoadJudgesIt)
{
    TempDir dir;
    std::string wav = Recording(1);
    // A data chunk claiming more than is there gives the whole frames there.
    WriteFileBytes(dir.File("claims-more.wav"), wav.substr(0, wav.size() - 3));
    auto r = RunCli({"collect", dir.File("claims-more.wav"), "--out", dir.Path().string(), "--level", "1000",
                     "--continuous-ms", "300", "--clock", "2026-01-01 00:00:00"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 6);
    EXPECT_EQ(r.err, "");
    // A refused file and a missing one: the load's messages, then the generic file error (with
    // the system's reason when the system refused).
    WriteFileBytes(dir.File("bad.wav"), "XXXX" + wav.substr(4, 100));
    for (const auto& [name, first, reason] :
         {std::tuple<std::string, std::string, std::string>{"bad.wav", "ヘッダ情報が足りません!\n", ""},
          {"missing.wav", "", std::string(std::strerror(ENOENT)) + "\n"}}) {
        r = RunCli({"collect", dir.File(name), "--out", dir.Path().string(), "--level", "1000"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, first + dir.File(name) + " へのアクセス中に不明なエラーが発生しました。\n" + reason);
    }
}
