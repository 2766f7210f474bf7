#pragma once
// Helpers shared by the tests: a temporary folder and a way to run tonmira-cli.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tonmira::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tonmira-test-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!mkdtemp(buffer.data()))
            std::abort();
        m_path = buffer.data();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

// Runs the built tonmira-cli with the arguments and captures stdout, stderr and the exit code.
inline CliResult RunCli(const std::vector<std::string>& args)
{
    TempDir capture;
    std::string command = ShellQuote(TONMIRA_CLI_PATH);
    for (const auto& arg : args) {
        command += ' ';
        command += ShellQuote(arg);
    }
    command += " >" + ShellQuote(capture.File("out")) + " 2>" + ShellQuote(capture.File("err")) + " </dev/null";
    int status = std::system(command.c_str());
    CliResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFileBytes(capture.File("out"));
    result.err = ReadFileBytes(capture.File("err"));
    return result;
}

// Starts the built tonmira-cli with the arguments in a child process, its stdout (and, unless
// keepStderr, its stderr) going to /dev/null, with the NAME=VALUE entries of env added to its
// environment. Returns the child's pid (for waitpid, wait4 or kill), or -1.
inline pid_t StartCli(std::vector<std::string> args, bool keepStderr = false, std::vector<std::string> env = {})
{
    args.insert(args.begin(), TONMIRA_CLI_PATH);
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env)
            putenv(e.data());
        (void)freopen("/dev/null", "w", stdout);
        if (!keepStderr)
            (void)freopen("/dev/null", "w", stderr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

}  // namespace tonmira::test
