// The pre-trigger of collect: an event keeps the input from before the buffer that reached the
// level, exactly as it was recorded, and 0 leaves every event file as it was without it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "CollectTestUtil.h"
#include "TestUtil.h"

namespace tonmira {
namespace {

using test::ReadFileBytes;
using test::RunCli;
using test::TempDir;
namespace fs = std::filesystem;

constexpr int kRate = 8000;

// Bursts of 1000 Hz whose amplitude rises over 0.5 s from 0 to 12000 (a slow attack), then
// holds for 0.3 s, one every 3 s from 1.0 s; before and between them, silence.
std::vector<int> SlowAttacks(int count)
{
    const double pi = 2 * std::asin(1.0);
    std::vector<int> s(static_cast<std::size_t>(count) * 3 * kRate);
    for (int b = 0; b < count; ++b)
        for (int i = 0; i < kRate * 8 / 10; ++i) {
            const double envelope = i < kRate / 2 ? 12000.0 * i / (kRate / 2) : 12000.0;
            s[static_cast<std::size_t>((3 * b + 1) * kRate + i)] =
                static_cast<int>(std::lround(envelope * std::sin(2 * pi * 1000 * i / kRate)));
        }
    return s;
}

struct Event {
    std::string file;
    long startFrame;
    long frames;
};

// Runs collect with the pre-trigger and returns the events from its log.
std::vector<Event> Collect(TempDir& dir, const std::string& in, const std::string& out, const char* preMs)
{
    fs::create_directory(out);
    std::vector<std::string> args = {"collect", in,   "--out", out, "--level", "6000", "--continuous-ms", "300",
                                     "--fft",   "512", "--clock", "2024-01-01 00:00:00"};
    if (preMs)
        args.insert(args.end(), {"--pre-trigger-ms", preMs});
    auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<Event> events;
    const std::string log = ReadFileBytes(out + "/events.csv");
    for (std::size_t at = log.find("\r\n") + 2, end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2) {
        std::vector<std::string> f;
        std::string row = log.substr(at, end - at);
        for (std::size_t a = 0, c; ; a = c + 1) {
            c = row.find(',', a);
            f.push_back(row.substr(a, c == std::string::npos ? std::string::npos : c - a));
            if (c == std::string::npos)
                break;
        }
        // The offset is a whole number of milliseconds here: buffers of 64 ms, pre-trigger in ms.
        events.push_back({f[10], std::lround(std::stod(f[2]) * kRate), std::stol(f[3])});
    }
    (void)dir;
    return events;
}

TEST(PreTriggerCli, TheAttackBeforeTheTriggerIsKeptExactlyAndZeroChangesNothing)
{
    TempDir dir;
    const std::vector<int> input = SlowAttacks(3);
    const std::string in = dir.File("in.wav");
    test::WriteFileBytes(in, test::Wav16(input, kRate));

    const auto off = Collect(dir, in, dir.File("off"), nullptr);
    const auto zero = Collect(dir, in, dir.File("zero"), "0");
    const auto on = Collect(dir, in, dir.File("on"), "300");
    ASSERT_EQ(off.size(), 3u);
    ASSERT_EQ(zero.size(), 3u);
    ASSERT_EQ(on.size(), 3u);
    for (std::size_t e = 0; e < 3; ++e) {
        SCOPED_TRACE(e);
        const long onset = (3 * static_cast<long>(e) + 1) * kRate;
        // Without a pre-trigger the event starts at the buffer that reached 6000, a quarter
        // second into the attack: its first 150 ms are lost.
        EXPECT_GT(off[e].startFrame, onset + kRate * 15 / 100);
        // With it, 300 ms (2400 frames) earlier, which takes the attack from its first sample.
        EXPECT_EQ(on[e].startFrame, off[e].startFrame - 2400);
        EXPECT_EQ(on[e].frames, off[e].frames + 2400);
        EXPECT_LT(on[e].startFrame, onset);

        // The file holds exactly the input from its start: ring, chunks and take in order.
        const std::string wav = ReadFileBytes(on[e].file);
        ASSERT_EQ(wav.size(), 44u + 2u * static_cast<std::size_t>(on[e].frames));
        std::vector<int> got(static_cast<std::size_t>(on[e].frames));
        for (std::size_t i = 0; i < got.size(); ++i)
            got[i] = static_cast<std::int16_t>(static_cast<unsigned char>(wav[44 + 2 * i]) |
                                               (static_cast<unsigned char>(wav[45 + 2 * i]) << 8));
        const std::vector<int> expected(input.begin() + on[e].startFrame,
                                        input.begin() + on[e].startFrame + on[e].frames);
        EXPECT_TRUE(got == expected);

        // 0 is what collect did before the option existed, to the byte.
        EXPECT_EQ(fs::path(zero[e].file).filename(), fs::path(off[e].file).filename());
        EXPECT_EQ(ReadFileBytes(zero[e].file), ReadFileBytes(off[e].file));
    }
    EXPECT_EQ(RunCli({"collect", in, "--out", dir.File("on"), "--level", "6000", "--pre-trigger-ms", "5001"}).exitCode,
              2);
}

}  // namespace
}  // namespace tonmira
