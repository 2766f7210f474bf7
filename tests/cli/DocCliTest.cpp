#include <gtest/gtest.h>

#include "TestUtil.h"

using namespace tonmira::test;

namespace {

std::string Example()
{
    return std::string(TONMIRA_SOURCE_DIR) + "/examples/chord.wav";
}

}  // namespace

TEST(DocCli, InfoOfTheExampleTake)
{
    auto r = RunCli({"info", Example()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "channels: 2\nrate: 44100\nbits: 16\nframes: 132300\ntime: 00:03.000\npeak: 23966\nlocked: 0\n"
              "source-format: WAV PCM, 16-bit, 2 channels\n");
    EXPECT_EQ(r.err, "");
}

TEST(DocCli, ConvertRoundTripsThroughTextAndBack)
{
    TempDir dir;
    auto toText = RunCli({"convert", Example(), dir.File("take.pcm")});
    ASSERT_EQ(toText.exitCode, 0) << toText.err;
    auto back = RunCli({"convert", dir.File("take.pcm"), dir.File("back.wav")});
    ASSERT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(ReadFileBytes(dir.File("back.wav")), ReadFileBytes(Example()));
    auto info = RunCli({"info", dir.File("take.pcm")});
    EXPECT_NE(info.out.find("locked: 1\n"), std::string::npos);
}

TEST(DocCli, FailedLoadShowsItsMessageThenTheGenericOneAndExitsOne)
{
    TempDir dir;
    WriteFileBytes(dir.File("bad.wav"), "RIFF");
    auto r = RunCli({"info", dir.File("bad.wav")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "ヘッダ情報が足りません!\n" + dir.File("bad.wav") + " へのアクセス中に不明なエラーが発生しました。\n");
    EXPECT_EQ(r.out, "");
}

TEST(DocCli, RateAndBitsAnswerTheFormatPrompt)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += std::to_string(i * 10 - 100) + "\r\n";
    WriteFileBytes(dir.File("v.txt"), text);
    auto r = RunCli({"info", dir.File("v.txt"), "--rate", "8000", "--bits", "8"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "channels: 1\nrate: 8000\nbits: 8\nframes: 20\ntime: 00:00.002\npeak: 100\nlocked: 1\n"
                     "source-format: PCM text, 8-bit, 1 channel\n");

    auto zero = RunCli({"info", dir.File("v.txt"), "--rate", "0"});
    EXPECT_EQ(zero.exitCode, 2);
    EXPECT_EQ(zero.err.rfind("1 から 1000000 までの整数を入力してください。\n", 0), 0u);
    auto word = RunCli({"info", dir.File("v.txt"), "--rate", "fast"});
    EXPECT_EQ(word.exitCode, 2);
    EXPECT_EQ(word.err.rfind("正の整数を入力してください。\n", 0), 0u);
    EXPECT_EQ(RunCli({"info", dir.File("v.txt"), "--bits", "12"}).exitCode, 2);
}

TEST(DocCli, MonoAndTruncate)
{
    TempDir dir;
    auto mono = RunCli({"mono", Example(), dir.File("m")});
    ASSERT_EQ(mono.exitCode, 0) << mono.err;
    auto info = RunCli({"info", dir.File("m.wav")});
    EXPECT_NE(info.out.find("channels: 1\n"), std::string::npos);
    EXPECT_NE(info.out.find("frames: 132300\n"), std::string::npos);

    auto again = RunCli({"mono", dir.File("m.wav"), dir.File("mm.wav")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_FALSE(again.err.empty());

    auto cut = RunCli({"truncate", Example(), dir.File("t.wav"), "--start", "100", "--end", "1099"});
    ASSERT_EQ(cut.exitCode, 0) << cut.err;
    EXPECT_NE(RunCli({"info", dir.File("t.wav")}).out.find("frames: 1000\n"), std::string::npos);
    // The cut keeps exactly the frames 100..1099 of the original data.
    std::string original = ReadFileBytes(Example());
    std::string kept = ReadFileBytes(dir.File("t.wav"));
    EXPECT_EQ(kept.substr(44), original.substr(44 + 100 * 4, 1000 * 4));

    EXPECT_EQ(RunCli({"truncate", Example(), dir.File("x.wav"), "--start", "5", "--end", "4"}).exitCode, 2);
    EXPECT_EQ(RunCli({"truncate", Example(), dir.File("x.wav"), "--start", "0", "--end", "132300"}).exitCode, 2);
    EXPECT_EQ(RunCli({"truncate", Example(), dir.File("x.wav"), "--start", "0"}).exitCode, 2);
    auto whole = RunCli({"truncate", Example(), dir.File("w.wav"), "--start", "0", "--end", "132299"});
    EXPECT_EQ(whole.exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("w.wav")), original);
}
