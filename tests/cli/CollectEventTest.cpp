#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

using tonmira::test::Le;
using tonmira::test::ReadFileBytes;
using tonmira::test::RunCli;
using tonmira::test::TempDir;
using tonmira::test::Wav16;
using tonmira::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

std::vector<int> Tone(double hz, int rate, int frames, double amplitude)
{
    const double pi = 2 * std::asin(1.0);
    std::vector<int> s(frames);
    for (int i = 0; i < frames; ++i)
        s[i] = static_cast<int>(amplitude * std::sin(2 * pi * hz * i / rate));
    return s;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    std::string text = line.substr(0, line.find('\n'));
    while (true) {
        std::size_t space = text.find(' ', start);
        out.push_back(text.substr(start, space - start));
        if (space == std::string::npos)
            return out;
        start = space + 1;
    }
}

}  // namespace

TEST(CliEvent, AcceptedRejectedAndMarkedEvents)
{
    TempDir dir;
    std::string in = dir.File("tone.wav");
    WriteFileBytes(in, Wav16(Tone(1010.0, 8000, 3000, 12000.0), 8000));
    fs::create_directory(dir.File("out"));
    const std::string out = dir.File("out");
    const std::string clock = "2024-03-05 14:07:09";

    auto accepted = RunCli({"event", in, "--out", out, "--clock", clock, "--band-low", "900", "--band-high", "1100"});
    ASSERT_EQ(accepted.exitCode, 0) << accepted.err;
    auto f = Fields(accepted.out);
    ASSERT_EQ(f.size(), 6u) << accepted.out;
    EXPECT_EQ(f[1], "12000");
    EXPECT_EQ(f[2], "0");  // default bounds: the band peak test, no ratio
    EXPECT_EQ(f[5], "accepted");
    char name[128];
    std::snprintf(name, sizeof name, "/20240305140709-12000-0000-%04d-%08d.WAV", std::stoi(f[3]), std::stoi(f[4]));
    EXPECT_EQ(f[0], out + name);
    EXPECT_TRUE(fs::exists(f[0]));
    EXPECT_EQ(ReadFileBytes(f[0]), ReadFileBytes(in));  // the captured take, not the amplified one

    // Out of band and not kept: deleted, "-".
    auto deleted = RunCli({"event", in, "--out", out, "--clock", "2024-03-05 14:07:10", "--band-low", "2000",
                           "--band-high", "3000"});
    ASSERT_EQ(deleted.exitCode, 0);
    EXPECT_EQ(Fields(deleted.out)[0], "-");
    EXPECT_EQ(Fields(deleted.out)[5], "rejected");

    // An empty band with an active deviation test: "NaN" in the name, marked "A".
    auto marked = RunCli({"event", in, "--out", out, "--clock", "2024-03-05 14:07:11", "--band-low", "3999",
                          "--band-high", "3999", "--integ-high", "99", "--stddev-high", "500", "--save-rejected",
                          "1"});
    ASSERT_EQ(marked.exitCode, 0);
    EXPECT_EQ(marked.out, out + "/20240305140711-12000-0000-0000-NaN.WAVA 12000 0 0 NaN rejected\n");
    EXPECT_TRUE(fs::exists(out + "/20240305140711-12000-0000-0000-NaN.WAVA"));
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 2);
}

TEST(CliEvent, SettingsFileMissingFolderAndUsage)
{
    TempDir dir;
    std::string in = dir.File("tone.wav");
    WriteFileBytes(in, Wav16(Tone(1010.0, 8000, 3000, 12000.0), 8000));

    // Settings from an .ars file, overridden by options; amplified takes are saved.
    ASSERT_EQ(RunCli({"ars", "save", dir.File("s.ars"), "--save-amplified", "1", "--band-low", "900",
                      "--band-high", "1100", "--integ-high", "99"})
                  .exitCode,
              0);
    auto amplified = RunCli({"event", in, "--out", dir.Path().string(), "--settings", dir.File("s.ars"), "--clock",
                             "2024-01-02 03:04:05"});
    ASSERT_EQ(amplified.exitCode, 0) << amplified.err;
    auto f = Fields(amplified.out);
    ASSERT_GT(std::stoi(f[2]), 0);
    char prefix[96];
    std::snprintf(prefix, sizeof prefix, "/20240102030405-%04d-0000-00000000-12000-%04d-", std::stoi(f[2]),
                  std::stoi(f[2]));
    EXPECT_EQ(f[0].rfind(dir.Path().string() + prefix, 0), 0u) << f[0];

    // The event folder is missing: the message, the line with "-", exit 1.
    auto missing = RunCli({"event", in, "--out", dir.File("nowhere"), "--clock", "2024-01-02 03:04:05"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Wavファイルの保存に失敗しました。\n");
    EXPECT_EQ(Fields(missing.out)[0], "-");
    EXPECT_EQ(Fields(missing.out)[1], "12000");

    // A settings file holding a play count the dialog would refuse.
    std::string ars = ReadFileBytes(dir.File("s.ars"));
    ars.replace(284, 4, std::string("\xff\xff\xff\xff", 4));
    WriteFileBytes(dir.File("bad.ars"), ars);
    auto refused = RunCli({"event", in, "--out", dir.Path().string(), "--settings", dir.File("bad.ars")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "0 から 1000 までの整数を入力してください。\n");
    EXPECT_EQ(refused.out, "");

    EXPECT_EQ(RunCli({"event", in, "--out", dir.Path().string(), "--clock", "2024-02-30 00:00:00"}).exitCode, 2);
    EXPECT_EQ(RunCli({"event", in}).exitCode, 2);
    EXPECT_EQ(RunCli({"event", in, "--out", dir.Path().string(), "--fft", "1000"}).exitCode, 2);
    EXPECT_EQ(RunCli({"event", in, "--out", dir.Path().string(), "--detect-level", "51"}).exitCode, 2);
}

TEST(CliExpand, ScalesSavesAndRefusesLevelsOffTheSlider)
{
    TempDir dir;
    WriteFileBytes(dir.File("in.wav"), Wav16({8000, -8000, 4001, -3}, 8000));
    auto r = RunCli({"expand", dir.File("in.wav"), dir.File("out.wav"), "--level", "32767"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("out.wav")), Wav16({32767, -32767, 16387, -12}, 8000));
    EXPECT_EQ(RunCli({"expand", dir.File("in.wav"), dir.File("x.wav"), "--level", "32768"}).exitCode, 2);
    EXPECT_EQ(RunCli({"expand", dir.File("missing.wav"), dir.File("x.wav"), "--level", "5"}).exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.File("x.wav")));
}

TEST(CliEvent, EightBitEventPeaksAt128)
{
    TempDir dir;
    // 8-bit mono at 8000 Hz: a tone that reaches the sample value 0 (magnitude 128).
    std::string data;
    for (int i = 0; i < 3000; ++i)
        data.push_back(static_cast<char>(i % 8 == 2 ? 0 : 128 + static_cast<int>(60 * std::sin(i * 0.8))));
    std::string wav = "RIFF" + Le(36 + data.size(), 4) + "WAVE" + "fmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) +
                      Le(8000, 4) + Le(8000, 4) + Le(1, 2) + Le(8, 2) + "data" + Le(data.size(), 4) + data;
    WriteFileBytes(dir.File("e8.wav"), wav);
    auto r = RunCli({"event", dir.File("e8.wav"), "--out", dir.Path().string(), "--clock", "2024-03-05 14:07:09",
                     "--save-amplified", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto f = Fields(r.out);
    EXPECT_EQ(f[1], "128");
    EXPECT_EQ(f[0].rfind(dir.Path().string() + "/20240305140709-00128-", 0), 0u) << f[0];
    // The amplified 8-bit take was saved: always maximum maps the peak 128 to 127 below centre.
    std::string saved = ReadFileBytes(f[0] == "-" ? "" : f[0]);
    ASSERT_EQ(saved.size(), wav.size());
    EXPECT_EQ(static_cast<unsigned char>(saved[44 + 2]), 1);
}
