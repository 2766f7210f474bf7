// devices, --device and --output-device through the real PortAudio backend, over ALSA devices
// that read and write files: the default one of the fixture and a second PCM of its own name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "AlsaFileDevice.h"

namespace tonmira::test {
namespace {

// One fixture class for every AlsaFileDevice test of this program (they share the suite name).
using AlsaFileDevice = AlsaFileDeviceFixture;

// A second device beside the default, as a USB recorder beside the built-in card.
void AddFieldRecorder(const TempDir& dir)
{
    std::string rc = ReadFileBytes(dir.File(".asoundrc"));
    rc += "pcm.fieldrec { type file; slave.pcm \"null\"; file \"" + dir.File("rec-out.raw") + "\"; infile \"" +
          dir.File("rec-in.raw") + "\"; format \"raw\" }\n";
    WriteFileBytes(dir.File(".asoundrc"), rc);
    // Without its capture file the device opens for playback only.
    WriteFileBytes(dir.File("rec-in.raw"), "");
}

TEST_F(AlsaFileDevice, DevicesListsTheNamedPcmAndRecordTakesFromTheChosenOne)
{
    AddFieldRecorder(dir);
    ASSERT_EQ(Run({"devices"}), 0) << Stderr();
    const std::string list = ReadFileBytes(dir.File("stdout"));
    ASSERT_EQ(list.rfind("index\thost-api\tinputs\toutputs\trate\tdefault\tname\n", 0), 0u) << list;
    const std::size_t at = list.find("\tfieldrec\n");
    ASSERT_NE(at, std::string::npos) << list;
    const std::size_t lineStart = list.rfind('\n', at) + 1;
    const std::string index = list.substr(lineStart, list.find('\t', lineStart) - lineStart);

    // The default device's input is silence; the chosen one's is a known ramp.
    std::vector<std::int16_t> ramp(20000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(i % 20000 + 1);
    WriteFileBytes(dir.File("rec-in.raw"), std::string(reinterpret_cast<const char*>(ramp.data()), ramp.size() * 2));
    WriteFileBytes(dir.File("in.raw"), std::string(40000, '\0'));
    for (const std::string& wanted : {index, std::string("FIELDREC")}) {
        ASSERT_EQ(Run({"record", dir.File("take.wav"), "--seconds", "0.05", "--rate", "44100", "--channels", "1",
                       "--fft", "256", "--device", wanted}),
                  0)
            << Stderr();
        const std::string wav = ReadFileBytes(dir.File("take.wav"));
        ASSERT_GT(wav.size(), 44u + 512u);
        EXPECT_EQ(wav.compare(44, 512, std::string(reinterpret_cast<const char*>(ramp.data()), 512)), 0) << wanted;
    }
}

TEST_F(AlsaFileDevice, UnknownOrAmbiguousDevicesAreUsageErrorsListingTheCandidates)
{
    AddFieldRecorder(dir);
    EXPECT_EQ(Run({"record", dir.File("take.wav"), "--seconds", "0.05", "--device", "no such recorder"}), 2);
    EXPECT_NE(Stderr().find("fieldrec"), std::string::npos) << Stderr();
    EXPECT_FALSE(std::filesystem::exists(dir.File("take.wav")));
    // "e" is part of "default" and "fieldrec" and more.
    EXPECT_EQ(Run({"collect", "--live", "--out", dir.Path().string(), "--level", "1000", "--device", "e"}), 2);
    EXPECT_NE(Stderr().find("more than one input device"), std::string::npos) << Stderr();
    EXPECT_EQ(Run({"collect", dir.File("x.wav"), "--out", dir.Path().string(), "--level", "1000", "--device", "0"}), 2);
}

TEST_F(AlsaFileDevice, PlayGoesToTheChosenOutput)
{
    AddFieldRecorder(dir);
    std::vector<std::int16_t> tone(8000);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = static_cast<std::int16_t>(std::lround(10000 * std::sin(2 * M_PI * 440 * i / 8000.0)));
    std::string wav = "RIFF";
    auto u32 = [&](std::uint32_t v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    u32(36 + 16000);
    wav += "WAVEfmt ";
    u32(16), u16(1), u16(1), u32(8000), u32(16000), u16(2), u16(16);
    wav += "data";
    u32(16000);
    wav.append(reinterpret_cast<const char*>(tone.data()), 16000);
    WriteFileBytes(dir.File("tone.wav"), wav);
    ASSERT_EQ(Run({"play", dir.File("tone.wav"), "--device", "fieldrec"}), 0) << Stderr();
    const std::string played = ReadFileBytes(dir.File("rec-out.raw"));
    EXPECT_NE(played.find(std::string(reinterpret_cast<const char*>(tone.data() + 1), 200)), std::string::npos);
    EXPECT_EQ(ReadFileBytes(dir.File("out.raw")).find_first_not_of('\0'), std::string::npos);
}

}  // namespace
}  // namespace tonmira::test
