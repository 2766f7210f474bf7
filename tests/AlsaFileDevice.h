#pragma once
// A fixture for running tonmira-cli through the real PortAudio backend against an ALSA default
// device that captures from in.raw and plays into out.raw, both in the fixture's folder.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"

extern char** environ;

namespace tonmira::test {

class AlsaFileDeviceFixture : public ::testing::Test {
protected:
    TempDir dir;

    AlsaFileDeviceFixture()
    {
        // PortAudio hides PCMs named "file" or "null", so the file device is the default one.
        WriteFileBytes(dir.File(".asoundrc"), "pcm.!default { type file; slave.pcm \"null\"; file \"" +
                                                  dir.File("out.raw") + "\"; infile \"" + dir.File("in.raw") +
                                                  "\"; format \"raw\" }\n");
        WriteFileBytes(dir.File("in.raw"), "");
    }

    // Starts tonmira-cli with HOME at the device's folder; stdout and stderr go to files.
    pid_t Spawn(const std::vector<std::string>& args)
    {
        // Under ThreadSanitizer the CLI loads uninstrumented sound libraries: suppress their races.
        std::string tsan = "TSAN_OPTIONS=suppressions=" TONMIRA_SOURCE_DIR "/tests/audio/tsan-sound-libraries.supp";
        std::vector<std::string> env = {"HOME=" + dir.Path().string()};
        for (char** e = environ; *e; ++e) {
            if (std::strncmp(*e, "TSAN_OPTIONS=", 13) == 0)
                tsan += std::string(":") + (*e + 13);
            else if (std::strncmp(*e, "HOME=", 5) != 0)
                env.push_back(*e);
        }
        env.push_back(tsan);
        std::vector<std::string> argv = {TONMIRA_CLI_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargv, cenv;
        for (auto& a : argv)
            cargv.push_back(a.data());
        cargv.push_back(nullptr);
        for (auto& e : env)
            cenv.push_back(e.data());
        cenv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, dir.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, dir.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, cargv[0], &actions, nullptr, cargv.data(), cenv.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // The exit code, or -1 if the program did not exit by itself.
    static int Wait(pid_t pid)
    {
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int Run(const std::vector<std::string>& args) { return Wait(Spawn(args)); }
    std::string Stderr() { return ReadFileBytes(dir.File("stderr")); }
};

}  // namespace tonmira::test
