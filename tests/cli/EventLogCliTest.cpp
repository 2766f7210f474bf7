// The event log of collect: one RFC 4180 row per event in DIR/events.csv that agrees with the
// printed line, the condition that rejected each event, local times with their UTC offset,
// --log FILE / --log -, and only whole rows after the run is killed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

namespace tonmira {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::TempDir;
using test::WriteFileBytes;
namespace fs = std::filesystem;

const std::string kHeader =
    "datetime,input,offset_s,frames,peak,integration_pct,points_pct,stddev,verdict,rejected_by,file,amplified";

std::vector<std::string> Split(const std::string& text, const std::string& by)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t next; (next = text.find(by, at)) != std::string::npos; at = next + by.size())
        parts.push_back(text.substr(at, next - at));
    parts.push_back(text.substr(at));
    return parts;
}

// Rows of a CSV text whose fields hold no quotes (the header first).
std::vector<std::vector<std::string>> Rows(const std::string& csv)
{
    std::vector<std::vector<std::string>> rows;
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    for (const std::string& line : Split(csv.substr(0, csv.size() - 2), "\r\n"))
        rows.push_back(Split(line, ","));
    return rows;
}

std::string Hundredths(const std::string& x100)
{
    int v = std::stoi(x100);
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", v / 100, v % 100);
    return text;
}

TEST(EventLogCli, OneRowPerEventAgreeingWithTheLinesAppendedRunAfterRun)
{
    TempDir dir;
    fs::create_directory(dir.File("out"));
    const std::string in = dir.File("in.wav");
    WriteFileBytes(in, test::BurstsWav({12000, 3000, 20000}));
    const std::vector<std::string> args = {"collect",       in,    "--out",          dir.File("out"), "--level", "1000",
                                           "--continuous-ms", "300", "--play-level", "5000",          "--clock",
                                           "2024-12-31 23:59:58"};
    auto r = RunCli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = Split(r.out.substr(0, r.out.size() - 1), "\n");
    ASSERT_EQ(lines.size(), 3u);
    auto rows = Rows(ReadFileBytes(dir.File("out/events.csv")));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], Split(kHeader, ","));
    for (std::size_t i = 0; i < 3; ++i) {
        const auto line = Split(lines[i], " ");  // path P integ points stddev verdict
        const auto& row = rows[i + 1];
        ASSERT_EQ(row.size(), 12u) << i;
        EXPECT_EQ(row[1], in);
        EXPECT_EQ(row[4], line[1]);
        EXPECT_EQ(row[5], Hundredths(line[2]));
        EXPECT_EQ(row[6], Hundredths(line[3]));
        EXPECT_EQ(std::to_string(static_cast<long>(std::stod(row[7]))), line[4]);
        EXPECT_EQ(row[8], line[5]);
        EXPECT_EQ(row[10], line[0] == "-" ? "" : line[0]);
        EXPECT_EQ(row[11], "no");
        // The event starts at the buffer that held the burst's first sample, 0.5 s into each
        // two-second block; buffers here are 512 frames (64 ms).
        const double offset = std::stod(row[2]);
        EXPECT_LE(offset, 2.0 * static_cast<double>(i) + 0.5) << i;
        EXPECT_GT(offset, 2.0 * static_cast<double>(i) + 0.5 - 0.064) << i;
        EXPECT_GE(std::stoi(row[3]), 2400);
    }
    // The quiet second burst missed only the play level.
    EXPECT_EQ(rows[2][9], "play level");
    EXPECT_EQ(rows[1][9], "none");
    EXPECT_EQ(rows[1][0].substr(0, 20), "2024-12-31T23:59:59+");  // as the file name says

    // A second run appends its rows under the same single header.
    ASSERT_EQ(RunCli(args).exitCode, 0);
    rows = Rows(ReadFileBytes(dir.File("out/events.csv")));
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_NE(rows[i][0], "datetime");
}

TEST(EventLogCli, EachFailedConditionIsNamed)
{
    TempDir dir;
    const std::string in = dir.File("in.wav");
    WriteFileBytes(in, test::BurstsWav({12000}));
    struct Case {
        std::vector<std::string> options;
        const char* rejectedBy;
    };
    // A pure 1000 Hz tone in a band around it: every condition holds unless its bound is moved.
    const std::vector<std::string> band = {"--band-low", "500", "--band-high", "1500"};
    for (const Case& c : {Case{{}, "none"},
                          Case{{"--integ-low", "100.5"}, "ratio"},
                          Case{{"--points-low", "100.5"}, "points"},
                          Case{{"--stddev-high", "0.001"}, "deviation"},
                          Case{{"--play-level", "30000"}, "play level"},
                          Case{{"--points-low", "100.5", "--play-level", "30000"}, "points+play level"}}) {
        fs::remove_all(dir.File("out"));
        fs::create_directory(dir.File("out"));
        std::vector<std::string> args = {"collect", in, "--out", dir.File("out"), "--level", "1000", "--continuous-ms",
                                         "300", "--save-rejected", "1"};
        args.insert(args.end(), band.begin(), band.end());
        args.insert(args.end(), c.options.begin(), c.options.end());
        auto r = RunCli(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        auto rows = Rows(ReadFileBytes(dir.File("out/events.csv")));
        ASSERT_EQ(rows.size(), 2u) << c.rejectedBy;
        EXPECT_EQ(rows[1][9], c.rejectedBy) << r.out;
        EXPECT_EQ(rows[1][8], std::string(c.rejectedBy) == "none" ? "accepted" : "rejected");
    }
}

TEST(EventLogCli, LogOptionsQuotingAndTheOffsetFromUtc)
{
    TempDir dir;
    fs::create_directory(dir.File("out"));
    const std::string in = dir.File("a, \"b\".wav");  // a name that needs quoting
    WriteFileBytes(in, test::BurstsWav({12000}));
    ::setenv("TZ", "Europe/Berlin", 1);
    auto winter = RunCli({"collect", in, "--out", dir.File("out"), "--level", "1000", "--log", dir.File("log.csv"),
                          "--clock", "2024-01-10 12:00:00"});
    auto summer = RunCli({"collect", in, "--out", dir.File("out"), "--level", "1000", "--log", "-", "--clock",
                          "2024-07-10 12:00:00"});
    ::unsetenv("TZ");
    ASSERT_EQ(winter.exitCode, 0) << winter.err;
    ASSERT_EQ(summer.exitCode, 0) << summer.err;
    EXPECT_FALSE(fs::exists(dir.File("out/events.csv")));
    const std::string quoted = "\"" + dir.File("a, \"\"b\"\".wav") + "\"";
    const std::string log = ReadFileBytes(dir.File("log.csv"));
    ASSERT_EQ(log.substr(0, kHeader.size() + 2), kHeader + "\r\n");
    EXPECT_EQ(log.substr(kHeader.size() + 2, 26), "2024-01-10T12:00:00+01:00,");
    EXPECT_NE(log.find("," + quoted + ","), std::string::npos) << log;
    // --log -: the CSV is the output, without the event lines.
    ASSERT_EQ(summer.out.substr(0, kHeader.size() + 2), kHeader + "\r\n");
    EXPECT_EQ(summer.out.substr(kHeader.size() + 2, 26), "2024-07-10T12:00:00+02:00,");
    EXPECT_EQ(std::count(summer.out.begin(), summer.out.end(), '\n'), 2);
}

TEST(EventLogCli, AKilledRunLeavesOnlyWholeRows)
{
    TempDir dir;
    fs::create_directory(dir.File("out"));
    const std::string in = dir.File("long.wav");
    WriteFileBytes(in, test::BurstsWav(std::vector<int>(600, 12000)));  // 20 minutes, 600 events
    const pid_t child = test::StartCli({"collect", in, "--out", dir.File("out"), "--level", "1000", "--save-rejected",
                                        "0", "--play-level", "32767"},
                                       true);
    ASSERT_GE(child, 0);
    // Kill it while it is writing rows: once a few are there, at an arbitrary moment after.
    const std::string log = dir.File("out/events.csv");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    auto rowsWritten = [&] {
        const std::string text = ReadFileBytes(log);
        return std::count(text.begin(), text.end(), '\n');
    };
    // The header and five rows, so that the check below does not depend on how many more rows a
    // loaded machine writes in the moment before the kill.
    while (std::chrono::steady_clock::now() < deadline && rowsWritten() < 6)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(37));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was killed";
    const auto rows = Rows(ReadFileBytes(log));
    ASSERT_GE(rows.size(), 6u);
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 12u);
}

}  // namespace
}  // namespace tonmira
