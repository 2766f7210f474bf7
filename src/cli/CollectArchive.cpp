#include "cli/CollectArchive.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <cstring>
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

// The signals that end an archive run: passed on to the files' runs, which are waited for.
sigset_t EndingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, sig);
    return set;
}

// Ends the process as sig would have.
[[noreturn]] void EndBySignal(int sig)
{
    std::fflush(stdout);
    std::signal(sig, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    std::_Exit(128 + sig);
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
    // The run of a file starts with no signal blocked (the archive blocks them), in a process
    // group of its own: a Ctrl-C at the terminal reaches it once, passed on by the archive, and
    // not a second time directly, which would end it before its event is finished.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
    std::fflush(stderr);
    const int err = posix_spawn(&job.pid, self.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
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

    // The ending signals and the end of a child are taken in turn by sigwaitinfo, so none is lost
    // between a check and a wait: blocked from before the scratch folder exists (the children get an empty mask).
    std::signal(SIGCHLD, SIG_DFL);  // an inherited "ignore" would reap the children unseen
    sigset_t waited = EndingSignals();
    sigaddset(&waited, SIGCHLD);
    sigset_t before;
    ::sigprocmask(SIG_BLOCK, &waited, &before);

    const char* tmp = std::getenv("TMPDIR");
    std::string scratch = std::string(tmp && *tmp ? tmp : "/tmp") + "/tonmira-collect-XXXXXX";
    if (!mkdtemp(scratch.data())) {
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
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
    int endedBy = 0;  // the ending signal received, 0 while none
    // Output in input order: each file's lines and rows once every earlier file's are out. After
    // a signal, files never started are left out; a file that was stopped gives the events it
    // finished (each row whole), so every event file on the disk has its row.
    auto flush = [&] {
        for (; flushed < started && all[flushed].done; ++flushed) {
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
                    std::fprintf(stderr, "tonmira-cli collect: cannot write the event log %s (%s)\n", logPath.c_str(),
                                 std::strerror(errno));
                }
            }
            FlushOutput();
            if (job.failed && !endedBy) {
                ++failures;
                std::fprintf(stderr, "tonmira-cli collect: %s failed\n", job.input.c_str());
            }
            std::remove(job.outPath.c_str());
            std::remove(job.logPath.c_str());
        }
    };
    const sigset_t ending = EndingSignals();
    auto passOn = [&](int sig) {
        endedBy = sig;
        for (const Job& job : all)
            if (job.pid > 0 && !job.done)
                ::kill(job.pid, sig);
    };
    while (flushed < (endedBy ? started : all.size())) {
        siginfo_t info {};
        const timespec now {};
        for (int sig; (sig = ::sigtimedwait(&ending, &info, &now)) > 0;)
            passOn(sig);
        while (!endedBy && running < jobs && started < all.size()) {
            Job& job = all[started++];
            if (Spawn(job, self, common)) {
                ++running;
            } else {
                job.done = job.failed = true;
                std::fprintf(stderr, "tonmira-cli collect: cannot start a process for %s\n", job.input.c_str());
            }
        }
        // Reap every child that has ended; wait for a signal only when none has.
        bool reaped = false;
        for (int status = 0; running > 0;) {
            const pid_t pid = ::waitpid(-1, &status, WNOHANG);
            if (pid < 0 && errno == ECHILD) {
                // No child left to wait for: should not happen; what was running counts as failed.
                for (std::size_t i = 0; i < started; ++i)
                    if (!all[i].done)
                        all[i].done = all[i].failed = true;
                running = 0;
            }
            if (pid <= 0)
                break;
            for (Job& job : all) {
                if (job.pid == pid && !job.done) {
                    job.done = true;
                    job.failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
                    --running;
                    reaped = true;
                }
            }
        }
        flush();
        if (reaped || running == 0)
            continue;
        const int sig = ::sigwaitinfo(&waited, &info);
        if (sig > 0 && sig != SIGCHLD)
            passOn(sig);
    }
    for (std::size_t i = flushed; i < all.size(); ++i) {
        std::remove(all[i].outPath.c_str());
        std::remove(all[i].logPath.c_str());
    }
    ::rmdir(scratch.c_str());
    if (endedBy)
        EndBySignal(endedBy);
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    return failures || logFailed ? kExitFailed : kExitDone;
}

}  // namespace tonmira::cli
