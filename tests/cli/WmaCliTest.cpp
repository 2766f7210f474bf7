// WMA files through tonmira-cli: the decoded format is printed, a conversion writes a complete
// WAV file holding exactly the decoded take, and failures exit 1 with the reader's messages only.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "doc/WmaTestFiles.h"
#include "TestUtil.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "doc/WmaImport.h"

namespace tonmira {
namespace {

using test::RunCli;
using test::TempDir;

std::uint32_t U32(const std::string& b, std::size_t at)
{
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

std::uint16_t U16(const std::string& b, std::size_t at)
{
    std::uint16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}

TEST(WmaCli, InfoPrintsTheDecodedFormat)
{
    TempDir dir;
    std::string path = dir.File("Tone.WMA");  // the type goes by the last three letters, any case
    test::MakeToneWma(path, "wmav2", 2, 48000);
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    doc.m_strFileName = path;
    ASSERT_EQ(LoadWmaFile(doc), 1);

    auto r = RunCli({"info", path});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");  // FFmpeg keeps quiet
    EXPECT_NE(r.out.find("channels: 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("rate: 48000\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("bits: 16\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frames: " + std::to_string(doc.m_nSamples) + "\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("locked: 0\n"), std::string::npos) << r.out;
}

TEST(WmaCli, ConvertWritesACompleteWavOfTheDecodedTake)
{
    TempDir dir;
    std::string wma = dir.File("tone.wma");
    test::MakeToneWma(wma, "wmav1", 1, 22050);
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    doc.m_strFileName = wma;
    ASSERT_EQ(LoadWmaFile(doc), 1);

    std::string wav = dir.File("tone.wav");
    auto r = RunCli({"convert", wma, wav});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::string b = test::ReadFileBytes(wav);
    const std::uint32_t dataSize = doc.m_nSamples * 2;
    ASSERT_EQ(b.size(), 44u + dataSize);
    EXPECT_EQ(b.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(b, 4), dataSize + 36);
    EXPECT_EQ(b.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32(b, 16), 16u);
    EXPECT_EQ(U16(b, 20), 1);          // PCM
    EXPECT_EQ(U16(b, 22), 1);          // channels
    EXPECT_EQ(U32(b, 24), 22050u);     // rate
    EXPECT_EQ(U32(b, 28), 22050u * 2); // bytes per second
    EXPECT_EQ(U16(b, 32), 2);          // block align
    EXPECT_EQ(U16(b, 34), 16);
    EXPECT_EQ(b.substr(36, 4), "data");
    EXPECT_EQ(U32(b, 40), dataSize);
    EXPECT_EQ(b.compare(44, dataSize, reinterpret_cast<const char*>(doc.m_pData), dataSize), 0);
}

TEST(WmaCli, OtherLoadingCommandsTakeWmaInput)
{
    TempDir dir;
    std::string wma = dir.File("tone.wma");
    test::MakeToneWma(wma, "wmav2", 2, 44100, 0.5);

    std::string mono = dir.File("mono.wav");
    auto r = RunCli({"mono", wma, mono});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string b = test::ReadFileBytes(mono);
    ASSERT_GE(b.size(), 44u);
    EXPECT_EQ(U16(b, 22), 1);
    EXPECT_EQ(U32(b, 24), 44100u);
    EXPECT_EQ(U32(b, 40), b.size() - 44);
    EXPECT_GT(b.size(), 44u + 2 * 20000);

    std::string cut = dir.File("cut.wav");
    r = RunCli({"truncate", wma, cut, "--start", "100", "--end", "1099"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    b = test::ReadFileBytes(cut);
    EXPECT_EQ(b.size(), 44u + 1000 * 4);
    EXPECT_EQ(U16(b, 22), 2);
}

TEST(WmaCli, FailuresExitOneWithTheReaderMessages)
{
    TempDir dir;
    std::string garbage = dir.File("garbage.wma");
    test::WriteFileBytes(garbage, std::string(3000, '\x55'));
    auto r = RunCli({"info", garbage});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Could not open file (hr=0x80004005).\n"
                          "Cannot open reader: hr = 0x80004005\n"
                          "WMSyncReader failed (hr=0x80004005).\n",
                          0),
              0u)
        << r.err;

    std::string video = dir.File("video.wma");
    test::MakeWithFfmpeg("-f lavfi -i testsrc=d=0.3:s=32x32:r=10 -c:v wmv2 -f asf", video);
    r = RunCli({"convert", video, dir.File("out.wav")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("Could not find an audio stream in the specified file (hr=0X8000FFFF)\n", 0), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
}

}  // namespace
}  // namespace tonmira
