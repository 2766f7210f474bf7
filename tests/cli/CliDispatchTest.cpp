#include <gtest/gtest.h>

#include "TestUtil.h"

using tonmira::test::RunCli;

TEST(CliDispatch, HelpUnknownCommandAndNoArguments)
{
    auto help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: tonmira-cli COMMAND"), std::string::npos);

    auto unknown = RunCli({"no-such-command"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown command 'no-such-command'"), std::string::npos);

    EXPECT_EQ(RunCli({}).exitCode, 2);
}
