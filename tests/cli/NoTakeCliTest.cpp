#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"

using namespace tonmira::test;

// A text file of 15 lines loads as an empty, locked document after its message. Every command
// that needs a take must then fail (exit 1) after that message, write nothing and not crash.
TEST(NoTakeCli, EveryCommandNeedingATakeFailsAfterTheLoadMessage)
{
    TempDir dir;
    const std::string in = dir.File("short.txt");
    std::string lines;
    for (int i = 0; i < 15; ++i)
        lines += std::to_string(i * 100) + "\r\n";
    WriteFileBytes(in, lines);
    const std::string out = dir.File("out.wav");
    std::filesystem::create_directory(dir.File("events"));

    for (std::vector<std::string> args : {
             std::vector<std::string>{"convert", in, out},
             {"mono", in, out},
             {"truncate", in, out, "--start", "0", "--end", "5"},
             {"expand", in, out, "--level", "1000"},
             {"export", "pcm", in, out},
             {"export", "spc", in, out},
             {"export", "spa", in, out},
             {"peaks", in},
             {"metrics", in},
             {"event", in, "--out", dir.File("events"), "--level", "100"},
         }) {
        auto r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0] << ": " << r.err;
        EXPECT_EQ(r.err.rfind("最低16点のデータが必要です!\n", 0), 0u) << args[0] << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << args[0];
        EXPECT_FALSE(std::filesystem::exists(out)) << args[0];
        EXPECT_TRUE(std::filesystem::is_empty(dir.File("events"))) << args[0];
    }

    // info still describes the empty, locked document.
    auto info = RunCli({"info", in});
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("frames: 0\n"), std::string::npos);
    EXPECT_NE(info.out.find("locked: 1\n"), std::string::npos);
}
