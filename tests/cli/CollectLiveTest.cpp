// collect --live through the real PortAudio backend, against an ALSA default device that reads
// its capture from a file (unclocked: it proves the data path and the Ctrl-C stop, not timing).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "AlsaFileDevice.h"

namespace tonmira::test {
namespace {

namespace fs = std::filesystem;

// One fixture class for every AlsaFileDevice test of this program (they share the suite name).
using AlsaFileDevice = AlsaFileDeviceFixture;

void WriteBurstInput(const TempDir& dir)
{
    {
        // 0.3 s bursts of 1 kHz every 2 s, 16-bit mono at 44100 Hz.
        const double pi = 2 * std::asin(1.0);
        std::string raw;
        for (int i = 0; i < 44100 * 6; ++i) {
            double t = i / 44100.0, phase = std::fmod(t, 2.0);
            auto v = static_cast<std::uint16_t>(phase >= 0.5 && phase < 0.8 ? std::lround(12000 * std::sin(2 * pi * 1000 * t)) : 0);
            raw.push_back(static_cast<char>(v & 0xFF));
            raw.push_back(static_cast<char>(v >> 8));
        }
        WriteFileBytes(dir.File("in.raw"), raw);
        fs::create_directory(dir.File("out"));
    }
}

TEST_F(AlsaFileDevice, LiveCollectionStopsOnCtrlCLeavingOnlyWholeEventFiles)
{
    WriteBurstInput(dir);
    pid_t pid = Spawn({"collect", "--live", "--out", dir.File("out"), "--level", "1000", "--continuous-ms", "300",
                       "--play-count", "1"});
    // Until events have been printed (or a generous limit), then Ctrl-C.
    for (int i = 0; i < 100 && ReadFileBytes(dir.File("stdout")).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(pid, SIGINT);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFileBytes(dir.File("stderr"));

    std::istringstream lines(ReadFileBytes(dir.File("stdout")));
    int events = 0;
    for (std::string line; std::getline(lines, line); ++events) {
        std::istringstream fields(line);
        std::string path;
        int peak = 0;
        fields >> path >> peak;
        EXPECT_EQ(peak, 12000) << line;
    }
    EXPECT_GE(events, 1);
    // Every file left is a whole WAV file: its data size is what the file holds.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.File("out"))) {
        if (entry.path().filename() == "events.csv")
            continue;
        std::string bytes = ReadFileBytes(entry.path().string());
        ASSERT_GE(bytes.size(), 44u);
        std::uint32_t data = 0;
        std::memcpy(&data, bytes.data() + 40, 4);
        EXPECT_EQ(bytes.size(), 44u + data) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 1);
    // The event log has one whole row per printed line, under its header.
    const std::string log = ReadFileBytes(dir.File("out/events.csv"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), events + 1);
    EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

}  // namespace
}  // namespace tonmira::test
