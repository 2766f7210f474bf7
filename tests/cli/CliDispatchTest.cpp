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

TEST(CliDispatch, EveryUsageFormLinesUpInTheHelp)
{
    // The collect command has a second form (collect --live); it must be indented like the rest.
    auto help = RunCli({"--help"});
    ASSERT_EQ(help.exitCode, 0);
    std::string listing = help.out.substr(help.out.find("Commands:\n") + 10);
    listing = listing.substr(0, listing.find("\n\n") + 1);
    for (std::size_t begin = 0, end; (end = listing.find('\n', begin)) != std::string::npos; begin = end + 1)
        EXPECT_EQ(listing.compare(begin, 2, "  "), 0) << listing.substr(begin, end - begin);
    EXPECT_NE(listing.find("\n  collect --live --out DIR"), std::string::npos);

    auto collect = RunCli({"collect", "--help"});
    EXPECT_EQ(collect.exitCode, 0);
    EXPECT_EQ(collect.out.rfind("Usage: tonmira-cli collect IN --out DIR", 0), 0u);
    EXPECT_NE(collect.out.find("\n       tonmira-cli collect --live --out DIR"), std::string::npos);

    // A usage error names the command's forms the same way, on stderr.
    auto wrong = RunCli({"collect", "--live"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.out.empty());
    EXPECT_NE(wrong.err.find("\n       tonmira-cli collect --live --out DIR"), std::string::npos);
}
