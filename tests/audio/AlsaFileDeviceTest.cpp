// record and play through the real PortAudio backend, against an ALSA default device that reads
// its capture from a file and writes its playback to a file. That device runs unclocked, so
// these tests prove that the data flows through the real callbacks, not timing.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "AlsaFileDevice.h"

namespace tonmira::test {
namespace {

struct AlsaFileDevice : AlsaFileDeviceFixture {
    // Every stderr line is one of the program's own; the sound system's diagnostics stay away.
    void ExpectOnlyOwnMessages()
    {
        std::string err = Stderr();
        std::size_t start = 0;
        while (start < err.size()) {
            std::size_t end = err.find('\n', start);
            std::string line = err.substr(start, end - start);
            EXPECT_EQ(line.rfind("tonmira-cli", 0), 0u) << "foreign stderr line: " << line;
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }

    static std::string Wav16(const std::vector<std::int16_t>& samples, std::uint16_t channels, std::uint32_t rate)
    {
        auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
        auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
        std::uint32_t bytes = static_cast<std::uint32_t>(samples.size() * 2);
        std::string wav = "RIFF" + u32(36 + bytes) + "WAVEfmt " + u32(16) + u16(1) + u16(channels) + u32(rate) +
                          u32(rate * channels * 2) + u16(channels * 2) + u16(16) + "data" + u32(bytes);
        wav.append(reinterpret_cast<const char*>(samples.data()), bytes);
        return wav;
    }

    // The played bytes without the device's leading silence.
    std::string PlayedSound()
    {
        std::string out = ReadFileBytes(dir.File("out.raw"));
        std::size_t first = out.find_first_not_of('\0');
        return first == std::string::npos ? std::string() : out.substr(first);
    }
};

TEST_F(AlsaFileDevice, RecordKeepsTheCapturedFramesInOrder)
{
    // 40000 stereo frames, none of them silent: more than the 128 buffers of 256 frames.
    std::vector<std::int16_t> input(80000);
    for (std::size_t i = 0; i < input.size(); ++i)
        input[i] = static_cast<std::int16_t>((i * 7919) % 30000 + 1);
    WriteFileBytes(dir.File("in.raw"), std::string(reinterpret_cast<const char*>(input.data()), input.size() * 2));

    ASSERT_EQ(Run({"record", dir.File("take.wav"), "--seconds", "0.2", "--rate", "44100", "--channels", "2",
                   "--fft", "256"}),
              0)
        << Stderr();
    ExpectOnlyOwnMessages();
    std::string wav = ReadFileBytes(dir.File("take.wav"));
    ASSERT_GT(wav.size(), 44u);
    std::string data = wav.substr(44);
    // At least 0.2 s in whole buffers of 256 frames; the first 128 buffers filled before the
    // first timer tick took them, so they hold the input without a gap.
    EXPECT_EQ(data.size() % (256 * 4), 0u);
    EXPECT_GE(data.size(), 8820u * 4);
    std::size_t compared = std::min<std::size_t>(data.size(), 128 * 256 * 4);
    std::string expected(reinterpret_cast<const char*>(input.data()), compared);
    EXPECT_TRUE(data.compare(0, compared, expected) == 0) << "recorded frames differ from the input";
}

TEST_F(AlsaFileDevice, PlayWritesTheMonoMixForwardsAndBackwards)
{
    // A stereo take: the device receives its balance mix, one channel.
    std::vector<std::int16_t> stereo(2 * 3000);
    std::vector<std::int16_t> mix(3000);
    for (int i = 0; i < 3000; ++i) {
        stereo[2 * i] = static_cast<std::int16_t>((i * 37) % 20000 - 9999);
        stereo[2 * i + 1] = static_cast<std::int16_t>(1000 + i);
        mix[i] = stereo[2 * i + 1];  // balance 100: the right channel alone
    }
    WriteFileBytes(dir.File("take.wav"), Wav16(stereo, 2, 22050));
    ASSERT_EQ(Run({"play", dir.File("take.wav"), "--balance", "100", "--fft", "256"}), 0) << Stderr();
    ExpectOnlyOwnMessages();
    std::string expected(reinterpret_cast<const char*>(mix.data()), mix.size() * 2);
    std::string played = PlayedSound();
    ASSERT_GE(played.size(), expected.size());
    EXPECT_TRUE(played.compare(0, expected.size(), expected) == 0) << "played samples differ from the mix";
    EXPECT_EQ(played.find_first_not_of('\0', expected.size()), std::string::npos) << "sound after the take";

    std::vector<std::int16_t> reversed(mix.rbegin(), mix.rend());
    ASSERT_EQ(Run({"play", dir.File("take.wav"), "--balance", "100", "--fft", "256", "--reverse"}), 0) << Stderr();
    expected.assign(reinterpret_cast<const char*>(reversed.data()), reversed.size() * 2);
    played = PlayedSound();
    ASSERT_GE(played.size(), expected.size());
    EXPECT_TRUE(played.compare(0, expected.size(), expected) == 0) << "reversed samples differ";
}

TEST_F(AlsaFileDevice, InterruptStopsARecordingCleanlyAndSavesTheTake)
{
    // An interrupt before the first timer tick took a buffer leaves nothing to save; on a loaded
    // machine that can take a while, so the wait grows until something was recorded.
    int exitCode = -1;
    for (int waitMs : {1500, 5000, 15000}) {
        std::remove(dir.File("out.raw").c_str());
        pid_t pid = Spawn({"record", dir.File("long.wav"), "--seconds", "3600", "--rate", "11025", "--channels", "1",
                           "--bits", "8", "--fft", "256"});
        // The device writes what it captures to its output file too: once that grows, capture runs.
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::error_code ec;
        while (std::filesystem::file_size(dir.File("out.raw"), ec) < 4096 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        kill(pid, SIGINT);
        exitCode = Wait(pid);
        if (exitCode == 0 || Stderr().find("no take") == std::string::npos)
            break;
    }
    ASSERT_EQ(exitCode, 0) << Stderr();
    ExpectOnlyOwnMessages();
    std::string wav = ReadFileBytes(dir.File("long.wav"));
    ASSERT_GE(wav.size(), 44u + 256);
    std::uint32_t dataSize = 0;
    std::memcpy(&dataSize, wav.data() + 40, 4);
    EXPECT_EQ(dataSize, wav.size() - 44) << "the header describes the whole file";
    EXPECT_EQ(dataSize % 256, 0u);
}

TEST_F(AlsaFileDevice, NoDeviceIsReportedAndFails)
{
    std::remove(dir.File(".asoundrc").c_str());
    WriteFileBytes(dir.File(".asoundrc"), "pcm.!default { type hw; card 99 }\n");
    EXPECT_EQ(Run({"record", dir.File("none.wav"), "--seconds", "1"}), 1);
    EXPECT_NE(Stderr().find("tonmira-cli record: "), std::string::npos) << Stderr();
    ExpectOnlyOwnMessages();
}

}  // namespace
}  // namespace tonmira::test
