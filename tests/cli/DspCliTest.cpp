#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "doc/DocTestUtil.h"

using namespace tonmira::test;

namespace {

// Mono 16-bit at 44100 Hz from a function of the frame index.
template <typename F>
std::string MonoWav(int frames, F value)
{
    WavBytes wav;
    wav.channels = 1;
    for (int i = 0; i < frames; ++i)
        PutU16(wav.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(value(i))));
    return wav.Build();
}

// A cosine on bin b of N = 4096 at 44100 Hz, amplitude a.
double BinCosine(int i, int bin, double a)
{
    return a * std::cos(2.0 * std::acos(-1.0) * bin * (i % 4096) / 4096.0);
}

// Period 4 (a, 0, -a, 0): exactly on bin N/4 with no rounding noise.
int Quarter(int i, int a) { return i % 4 == 0 ? a : i % 4 == 2 ? -a : 0; }

int CountLines(const std::string& text)
{
    int lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

}  // namespace

TEST(DspCli, PeaksListsSeriesStrongestFirst)
{
    TempDir dir;
    // 430.7 Hz with its 3rd harmonic 1292.0 Hz, and 1001.3 Hz which belongs to no series.
    std::string in = dir.File("tones.wav");
    WriteFileBytes(in, MonoWav(8192, [](int i) {
        return std::lround(BinCosine(i, 40, 10000) + BinCosine(i, 120, 5000) + BinCosine(i, 93, 8000));
    }));
    auto r = RunCli({"peaks", in});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "430.7\t1292.0\n1001.3\n\n\n\n");
    EXPECT_EQ(r.err, "");

    // A level of 0 picks nothing; level 1 keeps only what exceeds the largest magnitude.
    EXPECT_EQ(RunCli({"peaks", in, "--level", "0"}).out, "\n\n\n\n\n");
    EXPECT_EQ(RunCli({"peaks", in, "--level", "1"}).out, "\n\n\n\n\n");
}

TEST(DspCli, PeaksFollowTheBalanceOfAStereoTake)
{
    TempDir dir;
    WavBytes wav;  // left 430.7 Hz, right 1001.3 Hz
    for (int i = 0; i < 4096; ++i) {
        PutU16(wav.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(BinCosine(i, 40, 10000)))));
        PutU16(wav.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(BinCosine(i, 93, 10000)))));
    }
    std::string in = dir.File("stereo.wav");
    WriteFileBytes(in, wav.Build());
    EXPECT_EQ(RunCli({"peaks", in, "--balance", "0"}).out, "430.7\n\n\n\n\n");
    EXPECT_EQ(RunCli({"peaks", in, "--balance", "100"}).out, "1001.3\n\n\n\n\n");
}

TEST(DspCli, MetricsOfOneBinAndTheBandCheck)
{
    TempDir dir;
    std::string in = dir.File("quarter.wav");
    WriteFileBytes(in, MonoWav(4096, [](int i) { return Quarter(i, 1000); }));
    // Bin 1024 (11025 Hz) alone; 186 bin centres lie in 10000..12000.
    auto r = RunCli({"metrics", in, "--band-low", "10000", "--band-high", "12000", "--exclude", "100"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // sqrt(((100000 - m)^2 + 185 m^2) / 186) with m = 100000 / 186 is 7312.62 in double
    // precision; the dialog accumulates in single precision.
    EXPECT_EQ(r.out, "100.00\n 7312.61\n 0.54\n");

    // An empty band shows zeros.
    auto empty = RunCli({"metrics", in, "--band-low", "22049", "--band-high", "22049"});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.out, " 0.00\n    0.00\n 0.00\n");

    // Band edges outside 0..rate/2: the dialog's message, nothing computed.
    for (auto band : {std::vector<std::string>{"--band-low", "-1"}, {"--band-high", "22051"}}) {
        std::vector<std::string> args = {"metrics", in};
        args.insert(args.end(), band.begin(), band.end());
        auto bad = RunCli(args);
        EXPECT_EQ(bad.exitCode, 1);
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(bad.err, "0 以上, 22050 以下の値を入力してください！\n");
    }
}

TEST(DspCli, ExportPcmAndReadItBack)
{
    TempDir dir;
    WavBytes wav;
    for (int i = 0; i < 20; ++i) {
        PutU16(wav.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(i * 100 - 1000)));
        PutU16(wav.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(-i)));
    }
    std::string in = dir.File("st.wav");
    WriteFileBytes(in, wav.Build());
    auto r = RunCli({"export", "pcm", in, dir.File("win"), "--fft", "16", "--pos", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string expected;
    for (int i = 2; i < 18; ++i)
        expected += std::to_string(i * 100 - 1000) + ", " + std::to_string(-i) + "\r\n";
    EXPECT_EQ(ReadFileBytes(dir.File("win.pcm")), expected);  // extension added

    auto info = RunCli({"info", dir.File("win.pcm"), "--rate", "44100"});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("channels: 2\n"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("frames: 16\n"), std::string::npos) << info.out;
}

TEST(DspCli, ExportSpectrumAndTransition)
{
    TempDir dir;
    std::string in = dir.File("q.wav");
    WriteFileBytes(in, MonoWav(2500, [](int i) { return Quarter(i, 1000); }));

    // N = 1024: 512 lines, bin 256 = 1000 x 1024 / 2 / 32.
    ASSERT_EQ(RunCli({"export", "spc", in, dir.File("s.spc"), "--fft", "1024"}).exitCode, 0);
    std::string spc;
    for (int i = 0; i < 512; ++i)
        spc += i == 256 ? "16000\r\n" : "0\r\n";
    EXPECT_EQ(ReadFileBytes(dir.File("s.spc")), spc);

    // Marks 0..2499 with N = 1024: three lines; the last block feeds 452 frames and keeps the
    // rest of the previous block, which here has the same phase.
    ASSERT_EQ(RunCli({"export", "spa", in, dir.File("t"), "--fft", "1024"}).exitCode, 0);
    std::string line;
    for (int i = 0; i < 512; ++i)
        line += (i ? ", " : "") + std::string(i == 256 ? "16000" : "0");
    EXPECT_EQ(ReadFileBytes(dir.File("t.spa")), line + "\r\n" + line + "\r\n" + line + "\r\n");

    // 11000..11050 Hz map to bins 254..256 on the k x 22050 / 511 scale.
    ASSERT_EQ(RunCli({"export", "spa", in, dir.File("r.spa"), "--fft", "1024", "--min-freq", "11000", "--max-freq",
                      "11050", "--start", "1024", "--end", "2047"})
                  .exitCode,
              0);
    EXPECT_EQ(ReadFileBytes(dir.File("r.spa")), "0, 0, 16000\r\n");

    // A whole line of 65536 values at N = 131072.
    std::string big = dir.File("big.wav");
    WriteFileBytes(big, MonoWav(131072, [](int i) { return Quarter(i, 1000); }));
    ASSERT_EQ(RunCli({"export", "spa", big, dir.File("big.spa"), "--fft", "131072"}).exitCode, 0);
    std::string bigText = ReadFileBytes(dir.File("big.spa"));
    ASSERT_EQ(CountLines(bigText), 1);
    EXPECT_EQ(std::count(bigText.begin(), bigText.end(), ','), 65535);
}

TEST(DspCli, UsageErrorsAndFailures)
{
    TempDir dir;
    std::string in = dir.File("q.wav");
    WriteFileBytes(in, MonoWav(5000, [](int i) { return Quarter(i, 1000); }));
    for (std::vector<std::string> args : {
             std::vector<std::string>{"peaks", in, "--fft", "1000"},
             {"peaks", in, "--fft", "262144"},
             {"peaks", in, "--pos", "905"},  // 5000 - 4096 = 904 is the last window start
             {"peaks", in, "--level", "51"},
             {"export", "wav", in, dir.File("x")},
             {"export", "spa", in, dir.File("x"), "--end", "5000"},
             {"export", "spa", in, dir.File("x"), "--min-freq", "100", "--max-freq", "100"},
             {"export", "spa", in, dir.File("x"), "--start", "3000", "--end", "2999"},
         }) {
        auto r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << args[0] << " " << args.back() << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.spa")));
    EXPECT_EQ(RunCli({"peaks", in, "--pos", "904"}).exitCode, 0);

    // A file that cannot be written: the export's own message, exit 1, no stray files.
    auto r = RunCli({"export", "spc", in, dir.File("missing/s.spc")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "スペクトラムデータの保存に失敗しました。\n");
    auto p = RunCli({"export", "pcm", in, dir.File("missing/p")});
    EXPECT_EQ(p.err, "PCMデータの保存に失敗しました。\n");
    auto t = RunCli({"export", "spa", in, dir.File("missing/t")});
    EXPECT_EQ(t.err, "スペクトラム推移データの保存に失敗しました。\n");
}
