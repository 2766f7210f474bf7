#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

using tonmira::test::BurstsWav;
using tonmira::test::ReadFileBytes;
using tonmira::test::RunCli;
using tonmira::test::TempDir;
using tonmira::test::Wav16;
using tonmira::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST(CliCollect, OneLinePerEventAsTheEventCommandPrintsIt)
{
    TempDir dir;
    fs::create_directory(dir.File("out"));
    WriteFileBytes(dir.File("in.wav"), BurstsWav({12000, 3000, 20000}));
    auto r = RunCli({"collect", dir.File("in.wav"), "--out", dir.File("out"), "--level", "1000", "--continuous-ms",
                     "300", "--play-level", "5000", "--save-rejected", "1", "--clock", "2024-12-31 23:59:58"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    // Names in the recording's timeline: the first event ends about 1.1 s in, the last 5.1 s in.
    EXPECT_EQ(lines[0].substr(0, dir.File("out/20241231235959-12000-").size()), dir.File("out/20241231235959-12000-"));
    EXPECT_EQ(lines[2].substr(0, dir.File("out/20250101000003-20000-").size()), dir.File("out/20250101000003-20000-"));
    EXPECT_NE(lines[1].find(" 3000 "), std::string::npos);
    EXPECT_EQ(lines[1].substr(lines[1].size() - 9), " rejected");
    for (const std::string& line : lines) {
        std::string path = line.substr(0, line.find(' '));
        ASSERT_TRUE(fs::exists(path)) << line;
        // The event command on the captured take prints the same figures and verdict.
        fs::create_directory(dir.File("again"));
        auto again = RunCli({"event", path, "--out", dir.File("again"), "--play-level", "5000", "--save-rejected", "1",
                             "--clock", "2024-12-31 23:59:58"});
        ASSERT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(again.out.substr(again.out.find(' ')), line.substr(line.find(' ')) + "\n");
        fs::remove_all(dir.File("again"));
    }
    // The three event files and the event log.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), fs::directory_iterator()), 4);
    EXPECT_TRUE(fs::exists(dir.File("out/events.csv")));
}

TEST(CliCollect, SettingsFromAFileAndUsageErrors)
{
    TempDir dir;
    fs::create_directory(dir.File("out"));
    WriteFileBytes(dir.File("in.wav"), BurstsWav({12000, 12000}));
    ASSERT_EQ(RunCli({"ars", "save", dir.File("s.ars"), "--level", "1000", "--continuous-ms", "300"}).exitCode, 0);
    auto r = RunCli({"collect", dir.File("in.wav"), "--out", dir.File("out"), "--settings", dir.File("s.ars")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 2u);

    // Without a level nothing would ever be collected.
    EXPECT_EQ(RunCli({"collect", dir.File("in.wav"), "--out", dir.File("out")}).exitCode, 2);
    EXPECT_EQ(RunCli({"collect", dir.File("in.wav"), "--level", "1000"}).exitCode, 2);
    EXPECT_EQ(RunCli({"collect", "--live", dir.File("in.wav"), "--out", dir.File("out"), "--level", "1000"}).exitCode, 2);
    EXPECT_EQ(RunCli({"collect", "--live", "--out", dir.File("out"), "--level", "1000", "--clock", "2024-01-01 00:00:00"})
                  .exitCode,
              2);
    auto missing = RunCli({"collect", dir.File("none.wav"), "--out", dir.File("out"), "--level", "1000"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err, "");
}

TEST(CliCollect, LevelsAboveEightBitFullScaleAreLoweredAsTheDialogDoes)
{
    // 8-bit mono at 8000 Hz: one 0.3 s burst of 1000 Hz at full scale (127) from 0.5 s, then silence.
    const double pi = 2 * std::asin(1.0);
    const int rate = 8000;
    std::string data;
    for (int i = 0; i < 2 * rate; ++i) {
        int v = i >= rate / 2 && i < rate / 2 + 2400 ? static_cast<int>(std::lround(127 * std::sin(2 * pi * 1000 * i / rate))) : 0;
        data.push_back(static_cast<char>(128 + v));
    }
    using tonmira::test::Le;
    std::string wav = "RIFF" + Le(36 + data.size(), 4) + "WAVE" + "fmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) +
                      Le(rate, 4) + Le(rate, 4) + Le(1, 2) + Le(8, 2) + "data" + Le(data.size(), 4) + data;
    TempDir dir;
    fs::create_directory(dir.File("out"));
    WriteFileBytes(dir.File("in.wav"), wav);
    // Unlowered, 300 could never be reached by an 8-bit sample and the burst would be missed.
    auto r = RunCli({"collect", dir.File("in.wav"), "--out", dir.File("out"), "--level", "300", "--play-level", "300",
                     "--continuous-ms", "200", "--clock", "2024-01-01 00:00:00"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u) << r.out;
    EXPECT_NE(lines[0].find(" 127 "), std::string::npos) << lines[0];
}

TEST(CliCollect, EventsOfOneSecondAndEarlierFilesAreAllKept)
{
    // 30 bursts of 0.1 s, one every 0.33 s, all alike: several events per second with the same
    // figures, so every name is wanted more than once.
    TempDir dir;
    const double pi = 2 * std::asin(1.0);
    const int rate = 8000, period = 2640, count = 30;
    std::vector<int> samples(rate / 2 + count * period);
    for (int i = rate / 2; i < static_cast<int>(samples.size()); ++i)
        if ((i - rate / 2) % period < 800)
            samples[i] = static_cast<int>(std::lround(12000 * std::sin(2 * pi * 1000 * i / rate)));
    WriteFileBytes(dir.File("in.wav"), Wav16(samples, rate));
    fs::create_directory(dir.File("out"));
    // An earlier run's files under the names this run wants first.
    const std::vector<std::string> earlier{"20241231235958.WAV", "20241231235958-12000-0000-0039-00006249.WAV"};
    for (const auto& name : earlier)
        WriteFileBytes(dir.File("out/" + name), "earlier");

    auto r = RunCli({"collect", dir.File("in.wav"), "--out", dir.File("out"), "--level", "1000", "--continuous-ms",
                     "100", "--clock", "2024-12-31 23:59:58"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count));
    std::set<std::string> paths;
    for (const auto& line : lines) {
        ASSERT_EQ(line.substr(line.size() - 9), " accepted") << line;
        std::string path = line.substr(0, line.find(' '));
        EXPECT_GT(ReadFileBytes(path).size(), 44u + 1600u) << path;  // a whole event, not an earlier file
        paths.insert(path);
    }
    EXPECT_EQ(paths.size(), static_cast<std::size_t>(count)) << "two events were given one file";
    EXPECT_EQ(paths.count(dir.File("out/20241231235959-12000-0000-0039-00006249-2.WAV")), 1u);
    for (const auto& name : earlier)
        EXPECT_EQ(ReadFileBytes(dir.File("out/" + name)), "earlier") << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), fs::directory_iterator()), count + 3)
        << "the events, the earlier files and the event log";
}
