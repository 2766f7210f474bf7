#include <gtest/gtest.h>

#include "TestUtil.h"

using tonmira::test::ReadFileBytes;
using tonmira::test::RunCli;
using tonmira::test::TempDir;
using tonmira::test::WriteFileBytes;

TEST(CliArs, SaveThenShowRoundTrips)
{
    TempDir dir;
    std::string path = dir.File("c.ars");
    auto save = RunCli({"ars", "save", path, "--level", "1500", "--play-level", "200", "--continuous-ms", "300",
                        "--folder", "/srv/イベント", "--integ-low", "12.345678", "--stddev-high", "2500",
                        "--save-rejected", "1", "--always-max", "0", "--amp-factor", "4", "--band-high", "8000"});
    ASSERT_EQ(save.exitCode, 0) << save.err;
    EXPECT_EQ(ReadFileBytes(path).size(), 332u);

    auto show = RunCli({"ars", "show", path});
    ASSERT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(show.out,
              "m_nBits=16\nm_nCollectLevel=1500\nm_nPlayLevel=200\nm_nContinuousMs=300\n"
              "m_strOutputFolder=/srv/イベント\nm_bSaveAmplified=0\nm_bSaveRejected=1\nm_nPlayCount=0\n"
              "m_bAlwaysMax=0\nm_nAmpFactor=4\nm_nBandLowHz=0\nm_nBandHighHz=8000\nm_nExcludeHz=0\n"
              "m_fIntegLow=12.345678\nm_fIntegHigh=100\nm_fPointsLow=0\nm_fPointsHigh=100\n"
              "m_fStdDevLow=0\nm_fStdDevHigh=2500\n");
}

TEST(CliArs, ShortAndBadFilesAndUsage)
{
    TempDir dir;
    // Four bytes: only the bits are present; the rest shows the start-up values.
    WriteFileBytes(dir.File("short.ars"), std::string("\x08\0\0\0", 4));
    auto show = RunCli({"ars", "show", dir.File("short.ars")});
    ASSERT_EQ(show.exitCode, 0);
    EXPECT_EQ(show.out.substr(0, 28), "m_nBits=8\nm_nCollectLevel=0\n");

    auto missing = RunCli({"ars", "show", dir.File("missing.ars")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "ファイルの読み込みに失敗しました。\n");
    EXPECT_EQ(missing.out, "");

    auto unwritable = RunCli({"ars", "save", dir.File("no/dir/x.ars")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err, "ファイルの保存に失敗しました。\n");

    EXPECT_EQ(RunCli({"ars", "save", dir.File("x.ars"), "--play-count", "1001"}).exitCode, 2);
    EXPECT_EQ(RunCli({"ars", "save", dir.File("x.ars"), "--integ-low", "nan"}).exitCode, 2);
    EXPECT_EQ(RunCli({"ars", "show", dir.File("x.ars"), "--level", "3"}).exitCode, 2);
    EXPECT_EQ(RunCli({"ars", "load", dir.File("x.ars")}).exitCode, 2);
}
