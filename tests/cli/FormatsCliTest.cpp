// The formats recorders and archives hold, made at test time with flac, sox and ffmpeg from one
// 16-bit stereo source (440 Hz left, 1000 Hz right): each loads as a 16-bit stereo take that
// info describes, and no command ever writes over such a file or a converted source.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "cli/MadeFiles.h"
#include "doc/WmaTestFiles.h"

namespace tonmira {
namespace {

using test::RunCli;
using test::Line;
using test::Shell;
using test::TempDir;
using test::WavSamples;

class FormatsCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = dir.File("source.wav");
        test::MakeWithFfmpeg("-f lavfi -i sine=f=440:d=1:r=48000 -f lavfi -i sine=f=1000:d=1:r=48000 -filter_complex " +
                                 test::ShellQuote("[0][1]join=inputs=2:channel_layout=stereo") + " -c:a pcm_s16le",
                             source);
        reference = WavSamples(source);
        ASSERT_EQ(reference.size(), 96000u);
    }
    // Converts path to WAV through the program and returns its samples; info's lines in infoOut.
    std::vector<std::int16_t> Decode(const std::string& path, std::string& infoOut)
    {
        auto info = RunCli({"info", path});
        EXPECT_EQ(info.exitCode, 0) << path << ": " << info.err;
        EXPECT_EQ(info.err, "") << path;
        infoOut = info.out;
        std::string out = dir.File("decoded.wav");
        auto r = RunCli({"convert", path, out});
        EXPECT_EQ(r.exitCode, 0) << path << ": " << r.err;
        return WavSamples(out);
    }
    TempDir dir;
    std::string source;
    std::vector<std::int16_t> reference;
};

TEST_F(FormatsCli, LosslessFormatsGiveTheSourceSamples)
{
    const std::string flac = dir.File("a.flac"), flac24 = dir.File("b24.FLAC"), aiff = dir.File("c.aiff"),
                      aif = dir.File("d.aif"), wav24 = dir.File("e24.wav"), wavf = dir.File("f32.wav");
    Shell("flac -s -f -o " + test::ShellQuote(flac) + " " + test::ShellQuote(source));
    Shell("sox " + test::ShellQuote(source) + " -b 24 " + test::ShellQuote(flac24));
    Shell("sox " + test::ShellQuote(source) + " " + test::ShellQuote(aiff));
    Shell("sox " + test::ShellQuote(source) + " -b 24 " + test::ShellQuote(aif));
    Shell("sox " + test::ShellQuote(source) + " -b 24 " + test::ShellQuote(wav24));
    Shell("sox " + test::ShellQuote(source) + " -e floating-point -b 32 " + test::ShellQuote(wavf));
    struct Case {
        std::string path;
        const char* format;
        bool converted;
    };
    for (const Case& c : {Case{flac, "flac/flac, 16-bit, 2 channels", false},
                          Case{flac24, "flac/flac, 24-bit, 2 channels", true},
                          Case{aiff, "aiff/pcm_s16be, 16-bit, 2 channels", false},
                          Case{aif, "aiff/pcm_s24be, 24-bit, 2 channels", true},
                          Case{wav24, "wav/pcm_s24le, 24-bit, 2 channels", true},
                          Case{wavf, "wav/pcm_f32le, 32-bit float, 2 channels", true}}) {
        std::string info;
        std::vector<std::int16_t> got = Decode(c.path, info);
        EXPECT_EQ(Line(info, "channels"), "2") << c.path;
        EXPECT_EQ(Line(info, "rate"), "48000") << c.path;
        EXPECT_EQ(Line(info, "frames"), "48000") << c.path;
        EXPECT_EQ(Line(info, "source-format"), c.format) << c.path;
        EXPECT_EQ(Line(info, "converted").empty(), !c.converted) << c.path << "\n" << info;
        ASSERT_EQ(got.size(), reference.size()) << c.path;
        int worst = 0;
        for (std::size_t i = 0; i < got.size(); ++i)
            worst = std::max(worst, std::abs(got[i] - reference[i]));
        EXPECT_LE(worst, 1) << c.path;
    }
}

TEST_F(FormatsCli, LossyFormatsKeepBothTonesInTheirChannels)
{
    struct Case {
        const char* name;
        const char* codec;
    };
    for (const Case& c : {Case{"a.mp3", "libmp3lame"}, Case{"b.ogg", "libvorbis"}, Case{"c.opus", "libopus"},
                          Case{"d.m4a", "aac"}, Case{"e.aac", "aac"}}) {
        std::string path = dir.File(c.name);
        test::MakeWithFfmpeg("-i " + test::ShellQuote(source) + " -c:a " + c.codec, path);
        std::string info;
        std::vector<std::int16_t> got = Decode(path, info);
        EXPECT_EQ(Line(info, "channels"), "2") << c.name;
        EXPECT_EQ(Line(info, "rate"), "48000") << c.name;
        EXPECT_NE(Line(info, "source-format").find("lossy, 2 channels"), std::string::npos) << info;
        EXPECT_NE(Line(info, "converted").find("decoded to 16-bit"), std::string::npos) << info;
        // Encoder delay and padding change the length by a few thousand frames at most.
        const auto frames = static_cast<long>(got.size() / 2);
        EXPECT_NEAR(frames, 48000, 3000) << c.name;
        auto* bytes = reinterpret_cast<const std::uint8_t*>(got.data());
        EXPECT_GT(test::ToneShare(test::Channel(bytes, got.size() / 2, 2, 0), 440, 48000, 4096), 0.9) << c.name;
        EXPECT_GT(test::ToneShare(test::Channel(bytes, got.size() / 2, 2, 1), 1000, 48000, 4096), 0.9) << c.name;
    }
}

TEST_F(FormatsCli, TextNamesStayText)
{
    std::string text = dir.File("x.txt");
    std::string lines;
    for (int i = 0; i < 20; ++i)
        lines += std::to_string(i * 100) + "\r\n";
    test::WriteFileBytes(text, lines);
    auto r = RunCli({"info", text, "--rate", "8000"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Line(r.out, "frames"), "20");
    EXPECT_EQ(Line(r.out, "source-format"), "PCM text, 16-bit, 1 channel");
    EXPECT_EQ(Line(r.out, "converted"), "");
}

// Every path into a take has the same limit, so nothing the program writes is refused when it is
// read back: text at the highest rate the prompt allows converts to a WAV that loads, and a
// decoded file above that rate is refused instead of giving such a WAV.
TEST_F(FormatsCli, EveryRateATakeMayHaveIsReadBackAndNoOther)
{
    std::string text = dir.File("fast.txt"), wav = dir.File("fast.wav"), flac = dir.File("faster.flac");
    std::string lines;
    for (int i = 0; i < 20; ++i)
        lines += std::to_string(i) + "\r\n";
    test::WriteFileBytes(text, lines);
    auto converted = RunCli({"convert", text, wav, "--rate", "1000000"});
    ASSERT_EQ(converted.exitCode, 0) << converted.err;
    auto info = RunCli({"info", wav});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(Line(info.out, "rate"), "1000000");

    Shell("sox -n -r 1048575 -c 1 -b 16 " + test::ShellQuote(flac) + " synth 0.01 sine 440");
    auto refused = RunCli({"convert", flac, dir.File("faster.wav")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("faster.wav")));
}

TEST_F(FormatsCli, NoCommandWritesOverAReadOnlyFormatOrAConvertedSource)
{
    std::string flac = dir.File("keep.flac"), wma = dir.File("keep.wma"), wav24 = dir.File("keep24.wav");
    Shell("flac -s -f -o " + test::ShellQuote(flac) + " " + test::ShellQuote(source));
    test::MakeWithFfmpeg("-i " + test::ShellQuote(source) + " -c:a wmav2 -f asf", wma);
    Shell("sox " + test::ShellQuote(source) + " -b 24 " + test::ShellQuote(wav24));
    const std::string flacBytes = test::ReadFileBytes(flac), wmaBytes = test::ReadFileBytes(wma),
                      wavBytes = test::ReadFileBytes(wav24);

    const std::vector<std::vector<std::string>> refused = {
        {"convert", wma, wma},
        {"convert", flac, flac},
        {"convert", source, flac},
        {"convert", wav24, wav24},
        {"convert", wav24, dir.Path().string() + "/./keep24.wav"},
        {"truncate", wav24, wav24, "--start", "0", "--end", "99"},
        {"truncate", flac, dir.File("cut.ogg"), "--start", "0", "--end", "99"},
        {"expand", flac, flac, "--level", "30000"},
        {"expand", wav24, wav24, "--level", "30000"},
        {"mono", flac, dir.File("m.mp3")},
        {"mono", wav24, wav24},
        {"record", dir.File("rec.m4a"), "--seconds", "1"},
    };
    for (const auto& args : refused) {
        auto r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0] << " " << args[2];
        EXPECT_NE(r.err.find("tonmira-cli: "), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(test::ReadFileBytes(flac), flacBytes);
    EXPECT_EQ(test::ReadFileBytes(wma), wmaBytes);
    EXPECT_EQ(test::ReadFileBytes(wav24), wavBytes);
    EXPECT_FALSE(std::filesystem::exists(dir.File("cut.ogg")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("m.mp3")));
    // The message names the way out; taking it works.
    auto r = RunCli({"convert", wav24, wav24});
    EXPECT_NE(r.err.find("keep24-16bit.wav"), std::string::npos) << r.err;
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"convert", wma, dir.File("keep.wav")},
             {"truncate", flac, dir.File("cut.wav"), "--start", "0", "--end", "99"},
             {"expand", wav24, dir.File("keep24-16bit.wav"), "--level", "30000"}}) {
        auto ok = RunCli(args);
        EXPECT_EQ(ok.exitCode, 0) << args[0] << ": " << ok.err;
    }
}

}  // namespace
}  // namespace tonmira
