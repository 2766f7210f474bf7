#include "cli/CollectArchive.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "cli/CliCommand.h"
#include "collect/EventLog.h"
#include "doc/FileFormat.h"

extern char** environ;

namespace tonmira::cli {

namespace fs = std::filesystem;

namespace {

struct Job {
    std::string input;
    std::string outPath;  // the child's standard output: its event lines
    std::string logPath;  // the child's event log
    pid_t pid = 0;
    bool done = false;
    bool failed = false;
};

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The rows of a child's log without its header line.
std::string RowsOf(const std::string& path)
{
    std::string text = ReadWhole(path);
    const std::string header = EventLog::Header();
    if (text.compare(0, header.size(), header) == 0)
        text.erase(0, header.size());
    return text;
}

bool IsInside(const fs::path& path, const fs::path& folder)
{
    if (folder.empty())
        return false;
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p)
        if (p == path.end() || *p != *f)
            return false;
    return true;
}

// This very program, to run one file per process.
std::string SelfPath()
{
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

bool Spawn(Job& job, const std::string& self, const std::vector<std::string>& common)
{
    std::vector<std::string> args = {self, "collect"};
    args.insert(args.end(), common.begin(), common.end());
    args.insert(args.end(), {"--log", job.logPath, "--", job.input});
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, job.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::fflush(stderr);
    const int err = posix_spawn(&job.pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return err == 0;
}

}  // namespace

std::vector<std::string> ArchiveInputs(const std::vector<std::string>& positionals, const std::string& out)
{
    std::error_code ec;
    const fs::path outFolder = out.empty() ? fs::path() : fs::weakly_canonical(out, ec);
    std::vector<std::string> inputs;
    for (const std::string& given : positionals) {
        if (!fs::is_directory(given, ec)) {
            inputs.push_back(given);
            continue;
        }
        std::vector<std::string> found;
        for (auto it = fs::recursive_directory_iterator(given, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path canonical = fs::weakly_canonical(it->path(), ec);
            // Earlier events and the log in an output folder below the input are not inputs.
            if (it->is_directory(ec) && IsInside(canonical, outFolder)) {
                it.disable_recursion_pending();
                continue;
            }
            // A folder holds notes, logs and exports beside its recordings: only audio is taken.
            if (it->is_regular_file(ec) && FileFormatOf(it->path().string()) != FileFormat::Text)
                found.push_back(it->path().string());
        }
        std::sort(found.begin(), found.end());
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    return inputs;
}

int RunCollectArchive(const CliArgs& args, const std::vector<std::string>& inputs)
{
    const std::string self = SelfPath();
    if (self.empty()) {
        std::fprintf(stderr, "tonmira-cli collect: cannot find the program itself to run the files\n");
        return kExitFailed;
    }
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    const auto jobs = static_cast<std::size_t>(args.GetInt("jobs", cores > 0 ? cores : 1, 1, 1024));
    const std::string log = args.GetString("log", "");
    const std::string logPath = log.empty() ? args.GetString("out", "") + "/events.csv" : log;

    // Every option but the two the archive itself handles goes to each file's run as given.
    std::vector<std::string> common;
    for (const auto& [name, value] : args.Options())
        if (name != "jobs" && name != "log")
            common.push_back("--" + name + "=" + value);

    const char* tmp = std::getenv("TMPDIR");
    std::string scratch = std::string(tmp && *tmp ? tmp : "/tmp") + "/tonmira-collect-XXXXXX";
    if (!mkdtemp(scratch.data())) {
        std::fprintf(stderr, "tonmira-cli collect: cannot create a folder in %s\n", tmp && *tmp ? tmp : "/tmp");
        return kExitFailed;
    }

    std::vector<Job> all(inputs.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i].input = inputs[i];
        all[i].outPath = scratch + "/" + std::to_string(i) + ".out";
        all[i].logPath = scratch + "/" + std::to_string(i) + ".csv";
    }
    std::size_t started = 0, flushed = 0, running = 0, failures = 0;
    bool headerOnStdout = false, logFailed = false;
    while (flushed < all.size()) {
        while (running < jobs && started < all.size()) {
            Job& job = all[started++];
            if (Spawn(job, self, common)) {
                ++running;
            } else {
                job.done = job.failed = true;
                std::fprintf(stderr, "tonmira-cli collect: cannot start a process for %s\n", job.input.c_str());
            }
        }
        if (running > 0) {
            int status = 0;
            const pid_t pid = ::waitpid(-1, &status, 0);
            if (pid < 0 && errno == EINTR)
                continue;
            for (Job& job : all) {
                if (pid > 0 && job.pid == pid && !job.done) {
                    job.done = true;
                    job.failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
                    --running;
                }
            }
            if (pid < 0)
                running = 0;  // no child left to wait for: should not happen
        }
        // Output in input order: each file's lines and rows once every earlier file's are out.
        for (; flushed < all.size() && all[flushed].done; ++flushed) {
            Job& job = all[flushed];
            const std::string rows = RowsOf(job.logPath);
            if (log == "-") {
                const std::string text = (headerOnStdout ? "" : std::string(EventLog::Header())) + rows;
                headerOnStdout = true;
                std::fwrite(text.data(), 1, text.size(), stdout);
            } else {
                const std::string lines = ReadWhole(job.outPath);
                std::fwrite(lines.data(), 1, lines.size(), stdout);
                if (!rows.empty() && !EventLog::AppendToFile(logPath, rows) && !logFailed) {
                    logFailed = true;
                    std::fprintf(stderr, "tonmira-cli collect: cannot write the event log %s\n", logPath.c_str());
                }
            }
            std::fflush(stdout);
            if (job.failed) {
                ++failures;
                std::fprintf(stderr, "tonmira-cli collect: %s failed\n", job.input.c_str());
            }
            std::remove(job.outPath.c_str());
            std::remove(job.logPath.c_str());
        }
    }
    ::rmdir(scratch.c_str());
    return failures || logFailed ? kExitFailed : kExitDone;
}

}  // namespace tonmira::cli
