// Saves are durable and settings files safe: traced with strace, a save syncs its temporary file
// before renaming it over the target and syncs the folder after; a collection syncs the folder
// after each rename or removal of an event file and the log after each row; an .ars save that
// fails keeps the old file.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "CollectTestUtil.h"
#include "doc/DocTestUtil.h"

using namespace tonmira::test;

namespace {

// The system calls of one tonmira-cli run that matter for durability, one per line.
std::vector<std::string> TraceCli(const TempDir& dir, const std::vector<std::string>& args)
{
    // LeakSanitizer cannot run under ptrace.
    std::string command = "ASAN_OPTIONS=detect_leaks=0 strace -qq -f -e trace=openat,fsync,fdatasync,rename,renameat,renameat2,unlink,unlinkat,write -o " +
                          ShellQuote(dir.File("trace")) + " " + ShellQuote(TONMIRA_CLI_PATH);
    for (const auto& arg : args)
        command += " " + ShellQuote(arg);
    command += " >/dev/null 2>&1 </dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(dir.File("trace")));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Index of the first line at or after from that matches pattern, or -1.
int Find(const std::vector<std::string>& lines, const std::string& pattern, std::size_t from = 0)
{
    std::regex re(pattern);
    for (std::size_t i = from; i < lines.size(); ++i)
        if (std::regex_search(lines[i], re))
            return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(DurableSaveCli, TheFileIsSyncedBeforeTheRenameAndTheFolderAfter)
{
    TempDir dir;
    WavBytes wav;
    wav.data = Samples16({1, 2, 3, 4});
    WriteFileBytes(dir.File("in.wav"), wav.Build());
    for (std::vector<std::string> args : {std::vector<std::string>{"convert", dir.File("in.wav"), dir.File("out.wav")},
                                          {"ars", "save", dir.File("out.ars"), "--level", "800"}}) {
        auto lines = TraceCli(dir, args);
        const std::string target = args[2];
        int open = Find(lines, R"(openat\(.*\.tonmira-save-[0-9]+-.*O_CREAT.* = ([0-9]+)$)");
        ASSERT_GE(open, 0) << args[0] << ": no temporary file";
        std::smatch m;
        std::regex_search(lines[open], m, std::regex(R"(= ([0-9]+)$)"));
        const std::string fd = m[1];
        int sync = Find(lines, "fd?a?t?a?sync\\(" + fd + "\\) += 0", open);
        int rename = Find(lines, "rename.*tonmira-save-.*" + std::regex_replace(target, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)"), open);
        ASSERT_GE(sync, 0) << args[0] << ": the temporary file is not synced";
        ASSERT_GT(rename, sync) << args[0] << ": renamed before its data is on the disk";
        int folder = Find(lines, "O_DIRECTORY.* = [0-9]+$", rename);
        ASSERT_GT(folder, rename) << args[0] << ": the folder is not opened to be synced";
        std::regex_search(lines[folder], m, std::regex(R"(= ([0-9]+)$)"));
        EXPECT_GT(Find(lines, "fsync\\(" + std::string(m[1]) + "\\)", folder), folder) << args[0];
    }
}

TEST(DurableSaveCli, EventRenamesRemovalsAndLogRowsAreSyncedBeforeTheNextEvent)
{
    TempDir dir;
    std::filesystem::create_directory(dir.File("out"));
    // Every event gets its figures name; then the quiet ones are removed as rejected, or all are
    // marked with an A as failing a condition.
    WriteFileBytes(dir.File("in.wav"), BurstsWav({12000, 12000, 300, 300}));
    const std::string dropQuiet[] = {"--play-level", "5000", "--save-rejected", "0"};
    const std::string markAll[] = {"--points-low", "9000", "--save-rejected", "1"};
    for (const auto& [options, steps] : {std::pair{dropQuiet, 4 + 2}, std::pair{markAll, 4 + 4}}) {
        std::vector<std::string> args = {"collect", dir.File("in.wav"), "--out", dir.File("out"), "--level", "200"};
        args.insert(args.end(), options, options + 4);
        auto lines = TraceCli(dir, args);
        // The folder and the log as the run opened them.
        std::string folderFd, logFd;
        std::smatch m;
        int renamedOrRemoved = 0, rows = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (std::regex_search(lines[i], m, std::regex(R"(openat\(.*/out", O_RDONLY[|A-Z_]*O_DIRECTORY.* = ([0-9]+)$)")))
                folderFd = m[1];
            if (std::regex_search(lines[i], m, std::regex(R"(openat\(.*/out/events\.csv",.*O_APPEND.* = ([0-9]+)$)")))
                logFd = m[1];
            // A rename to a figures name or a mark, or a removal, of an event file: the folder
            // is synced next, before anything else is written.
            const bool renamed = std::regex_search(lines[i], std::regex(R"(rename.*\.WAV", .*/out/[0-9-]+\.WAVA?".*\) = 0)"));
            const bool removed = std::regex_search(lines[i], std::regex(R"(unlink.*/out/[0-9-]+\.WAV"\) = 0)"));
            if (renamed || removed) {
                ++renamedOrRemoved;
                int opened = Find(lines, R"(openat\(.*/out", O_RDONLY[|A-Z_]*O_DIRECTORY.* = ([0-9]+)$)", i);
                ASSERT_GT(opened, 0) << lines[i];
                std::regex_search(lines[opened], m, std::regex(R"(= ([0-9]+)$)"));
                int synced = Find(lines, "fsync\\(" + std::string(m[1]) + "\\)", opened);
                int nextWrite = Find(lines, "^[0-9]+ +write\\(", i);
                EXPECT_GT(synced, 0) << lines[i];
                EXPECT_TRUE(nextWrite < 0 || synced < nextWrite) << lines[i] << " is not synced before the next write";
            }
            // A row of the log is synced before the next event's file is made.
            if (!logFd.empty() && std::regex_search(lines[i], std::regex("^[0-9]+ +write\\(" + logFd + ", \"2"))) {
                ++rows;
                int synced = Find(lines, "fd?a?t?a?sync\\(" + logFd + "\\) += 0", i);
                int nextEvent = Find(lines, R"(openat\(.*tonmira-save-.*O_CREAT)", i);
                EXPECT_GT(synced, 0) << lines[i];
                EXPECT_TRUE(nextEvent < 0 || synced < nextEvent) << "a row is not synced before the next event";
                logFd.clear();
            }
        }
        EXPECT_EQ(renamedOrRemoved, steps) << options[0];
        EXPECT_EQ(rows, 4) << options[0];
    }
}

TEST(DurableSaveCli, AFailedArsSaveKeepsTheOldFile)
{
    TempDir dir;
    const std::string ars = dir.File("rec.ars");
    ASSERT_EQ(RunCli({"ars", "save", ars, "--level", "800"}).exitCode, 0);
    const std::string before = ReadFileBytes(ars);
    ASSERT_EQ(before.size(), 332u);
    // No byte may be written (file size limit 0), as on a full disk.
    std::string command = "trap '' XFSZ; ulimit -f 0; exec " + ShellQuote(TONMIRA_CLI_PATH) + " ars save " +
                          ShellQuote(ars) + " --level 900 >/dev/null 2>&1";
    int status = std::system(("sh -c " + ShellQuote(command)).c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(ReadFileBytes(ars), before);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"rec.ars"});
}
