// The option table against the parser and the help: every command has one, every option in it
// parses in both spellings and is listed by COMMAND --help with its argument.
#include <gtest/gtest.h>

#include <set>

#include "TestUtil.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"

using namespace tonmira::cli;
using tonmira::test::RunCli;

TEST(CliOptionTable, EveryOptionParsesAndIsInTheCommandsHelp)
{
    std::set<std::string> registered;
    for (const auto& entry : CliCommands())
        registered.insert(entry.first);
    std::set<std::string> tabled;
    for (const CliCommandTable& table : CliCommandTables())
        tabled.insert(table.command);
    EXPECT_EQ(registered, tabled);

    for (const CliCommandTable& table : CliCommandTables()) {
        SCOPED_TRACE(table.command);
        auto help = RunCli({table.command, "--help"});
        ASSERT_EQ(help.exitCode, 0) << help.err;
        std::set<std::string> seen;
        for (const CliOption& option : table.options) {
            SCOPED_TRACE(option.name);
            EXPECT_TRUE(seen.insert(option.name).second) << "listed twice";
            EXPECT_FALSE(option.help.empty());
            const std::string flag = "--" + option.name;
            const std::string listed = option.arg.empty() ? flag : flag + " " + option.arg;
            // Its help follows on the same line, or on the next when the name is long.
            const std::size_t at = help.out.find("\n  " + listed);
            const std::size_t after = at + 3 + listed.size();
            EXPECT_TRUE(at != std::string::npos && after < help.out.size() &&
                        (help.out[after] == ' ' || help.out[after] == '\n'))
                << help.out;
            if (option.arg.empty()) {
                EXPECT_TRUE(ParseCommandLine(table.command, {flag, "operand"}).Has(option.name));
                EXPECT_THROW(ParseCommandLine(table.command, {flag + "=1"}), UsageError);
            } else {
                CliArgs spaced = ParseCommandLine(table.command, {flag, "7", "operand"});
                EXPECT_EQ(spaced.GetString(option.name, ""), "7");
                EXPECT_EQ(spaced.Positionals(), std::vector<std::string>{"operand"});
                EXPECT_EQ(ParseCommandLine(table.command, {flag + "=8"}).GetString(option.name, ""), "8");
            }
        }
        EXPECT_THROW(ParseCommandLine(table.command, {"--no-such-option"}), UsageError);
    }
}

TEST(CliOptionTable, OptionsThatAreNotTheCommandsAreStillRefused)
{
    // Sharing one table must not let an option of one command through on another.
    EXPECT_EQ(RunCli({"info", "--level", "3", "x.wav"}).exitCode, 2);
    EXPECT_EQ(RunCli({"convert", "--json", "a.wav", "b.wav"}).exitCode, 2);
    auto ars = RunCli({"ars", "save", "x.ars", "--json"});
    EXPECT_EQ(ars.exitCode, 2);
    EXPECT_NE(ars.err.find("--json is for ars show"), std::string::npos);
}

TEST(CliVersion, PlainAndVerbose)
{
    auto plain = RunCli({"--version"});
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, std::string("tonmira-cli ") + TONMIRA_VERSION + "\n");
    auto verbose = RunCli({"--version", "--verbose"});
    EXPECT_EQ(verbose.exitCode, 0);
    EXPECT_EQ(verbose.out.rfind(plain.out, 0), 0u);
    for (const char* line : {"\nFFmpeg: FFmpeg ", "\nFFTW: fftw-3", "\nPortAudio: PortAudio V19"})
        EXPECT_NE(verbose.out.find(line), std::string::npos) << verbose.out;
    EXPECT_EQ(RunCli({"--version", "--json"}).exitCode, 2);
}
