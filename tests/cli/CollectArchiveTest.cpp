// collect over an archive: several files or a folder, run in parallel, give exactly the event
// files, lines and log rows of running each file alone, in input order; a failed file fails the
// run without stopping the others; the GNU parallel example of the README does the same.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
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

const std::string kClock = "2024-06-01 04:00:00";

// 16-bit mono at 8000 Hz, `seconds` long, with 0.3 s bursts of 1000 Hz starting at `at`.
std::string Bursts(double seconds, const std::vector<double>& at)
{
    const double pi = 2 * std::asin(1.0);
    std::vector<int> samples(static_cast<std::size_t>(seconds * 8000));
    for (double start : at)
        for (int i = 0; i < 2400; ++i)
            samples[static_cast<std::size_t>(start * 8000) + i] =
                static_cast<int>(std::lround(12000 * std::sin(2 * pi * 1000 * i / 8000)));
    return test::Wav16(samples, 8000);
}

// Text with every occurrence of `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::set<std::string> Names(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::vector<std::string> CollectArgs(std::vector<std::string> inputs, const std::string& out)
{
    std::vector<std::string> args = {"collect"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    args.insert(args.end(), {"--out", out, "--level", "1000", "--continuous-ms", "300", "--clock", kClock});
    return args;
}

class CollectArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Events a few seconds apart across the files, so no two names meet.
        fs::create_directories(dir.File("arch/b"));
        fs::create_directories(dir.File("arch/out"));
        WriteFileBytes(dir.File("arch/a.wav"), Bursts(3, {0.5, 1.6}));
        WriteFileBytes(dir.File("arch/b/x.wav"), Bursts(6, {3.5}));
        WriteFileBytes(dir.File("arch/c.wav"), Bursts(8, {5.5, 6.8}));
        WriteFileBytes(dir.File("arch/notes.txt"), "not a recording\n");
        // An earlier event in the output folder below the archive is not an input.
        WriteFileBytes(dir.File("arch/out/20240101000000.WAV"), Bursts(1, {0.1}));
        order = {dir.File("arch/a.wav"), dir.File("arch/b/x.wav"), dir.File("arch/c.wav")};
        // Each file alone, one after the other: what the archive run must reproduce.
        fs::create_directory(dir.File("alone"));
        for (const std::string& in : order) {
            auto r = RunCli(CollectArgs({in}, dir.File("alone")));
            ASSERT_EQ(r.exitCode, 0) << r.err;
            aloneLines += r.out;
        }
        aloneLog = ReadFileBytes(dir.File("alone/events.csv"));
        ASSERT_EQ(std::count(aloneLog.begin(), aloneLog.end(), '\n'), 6);  // header + 5 events
    }
    TempDir dir;
    std::vector<std::string> order;
    std::string aloneLines, aloneLog;
};

TEST_F(CollectArchive, AFolderInParallelGivesWhatEachFileGivesAlone)
{
    for (const char* jobs : {"2", "1", "3"}) {
        fs::remove_all(dir.File("arch/out"));
        fs::create_directory(dir.File("arch/out"));
        std::vector<std::string> args = CollectArgs({dir.File("arch")}, dir.File("arch/out"));
        args.insert(args.end(), {"--jobs", jobs});
        auto r = RunCli(args);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(Replaced(r.out, dir.File("arch/out"), dir.File("alone")), aloneLines) << jobs;
        EXPECT_EQ(Replaced(ReadFileBytes(dir.File("arch/out/events.csv")), dir.File("arch/out"), dir.File("alone")),
                  aloneLog)
            << jobs;
        EXPECT_EQ(Names(dir.File("arch/out")), Names(dir.File("alone")));
    }
}

TEST_F(CollectArchive, AFailedFileFailsTheRunAndTheOthersAreStillDone)
{
    WriteFileBytes(dir.File("arch/b/broken.wav"), "RIFF....WAVEnot a format chunk at all");
    fs::remove_all(dir.File("arch/out"));
    fs::create_directory(dir.File("arch/out"));
    std::vector<std::string> args = CollectArgs({dir.File("arch/a.wav"), dir.File("arch/b"), dir.File("arch/c.wav")},
                                                dir.File("arch/out"));
    args.insert(args.end(), {"--jobs", "2", "--log", "-"});
    auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(dir.File("arch/b/broken.wav") + " failed"), std::string::npos) << r.err;
    // --log -: one CSV on stdout, the rows of every good file in input order.
    EXPECT_EQ(Replaced(r.out, dir.File("arch/out"), dir.File("alone")), aloneLog);
    EXPECT_FALSE(fs::exists(dir.File("arch/out/events.csv")));
}

TEST_F(CollectArchive, TheGnuParallelExampleMergesTheSameLog)
{
    const std::string list = dir.File("files.txt");
    WriteFileBytes(list, order[0] + "\n" + order[1] + "\n" + order[2] + "\n");
    const std::string out = dir.File("shared");
    const std::string command = "TONMIRA_CLI=" + test::ShellQuote(TONMIRA_CLI_PATH) + " " +
                                test::ShellQuote(std::string(TONMIRA_SOURCE_DIR) + "/examples/collect-parallel.sh") +
                                " " + test::ShellQuote(list) + " " + test::ShellQuote(out) +
                                " 2/: --level 1000 --continuous-ms 300 --clock " + test::ShellQuote(kClock) + " >" +
                                test::ShellQuote(dir.File("lines.txt")) + " 2>" + test::ShellQuote(dir.File("err.txt"));
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFileBytes(dir.File("err.txt"));
    EXPECT_EQ(Replaced(ReadFileBytes(dir.File("lines.txt")), out, dir.File("alone")), aloneLines);
    EXPECT_EQ(Replaced(ReadFileBytes(out + "/events.csv"), out, dir.File("alone")), aloneLog);
    EXPECT_EQ(Names(out), Names(dir.File("alone")));
}

TEST(CollectArchiveSignal, TermPassesOnWaitsLogsWhatWasDoneAndCleansUp)
{
    TempDir dir;
    fs::create_directories(dir.File("in"));
    fs::create_directories(dir.File("out"));
    fs::create_directories(dir.File("tmp"));
    std::vector<std::string> inputs;
    for (int i = 0; i < 4; ++i) {
        inputs.push_back(dir.File("in/" + std::to_string(i) + ".wav"));
        WriteFileBytes(inputs.back(), test::BurstsWav(std::vector<int>(300, 12000)));  // 10 minutes each
    }
    std::vector<std::string> args = CollectArgs(inputs, dir.File("out"));
    args.insert(args.end(), {"--jobs", "2"});
    const pid_t run = test::StartCli(args, false, {"TMPDIR=" + dir.File("tmp")});
    ASSERT_GT(run, 0);
    // Mid-run: once both files in progress have written events.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline && Names(dir.File("out")).size() < 8)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(::kill(run, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(run, &status, 0), run);
    ASSERT_TRUE(WIFSIGNALED(status)) << "ended by itself: " << status;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);

    // Its files' runs ended with it: nothing is written after it.
    const std::set<std::string> left = Names(dir.File("out"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Names(dir.File("out")), left);
    EXPECT_TRUE(fs::is_empty(dir.File("tmp"))) << "scratch folder left behind";

    // Every event file has its row, in input order; no row without its file.
    std::istringstream log(ReadFileBytes(dir.File("out/events.csv")));
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    std::set<std::string> logged;
    std::size_t lastInput = 0;
    while (std::getline(log, line)) {
        std::vector<std::string> fields;
        std::istringstream row(line.substr(0, line.size() - 1));  // without the CR
        for (std::string field; std::getline(row, field, ',');)
            fields.push_back(field);
        ASSERT_EQ(fields.size(), 12u) << line;
        const std::size_t input = std::find(inputs.begin(), inputs.end(), fields[1]) - inputs.begin();
        EXPECT_GE(input, lastInput) << line;
        lastInput = input;
        logged.insert(fs::path(fields[10]).filename().string());
    }
    std::set<std::string> files = left;
    files.erase("events.csv");
    EXPECT_GE(files.size(), 8u);
    EXPECT_EQ(logged, files);
    EXPECT_LT(files.size(), 4u * 150u) << "the run was not stopped";
}

}  // namespace
}  // namespace tonmira
