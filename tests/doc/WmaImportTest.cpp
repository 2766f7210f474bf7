// Importing WMA files into the document: formats, lengths and samples of the take, and the
// messages and empty document after every kind of failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "TestUtil.h"
#include "WmaTestFiles.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "doc/WmaImport.h"

namespace tonmira {
namespace {

using test::Channel;
using test::MakeToneWma;
using test::MakeWithFfmpeg;
using test::TempDir;
using test::ToneShare;

struct Loaded {
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    BOOL ok = 0;
};

void Load(Loaded& l, const std::string& path, BOOL lock = 0)
{
    l.doc.m_strFileName = path;
    l.doc.m_bLock = lock;
    l.ok = LoadWmaFile(l.doc);
}

void ExpectNoTake(const Loaded& l)
{
    EXPECT_EQ(l.ok, 0);
    EXPECT_EQ(l.doc.m_pData, nullptr);
    EXPECT_EQ(l.doc.m_nSamples, 0u);
    EXPECT_EQ(l.doc.m_header.nChannels, 0);
}

// The three messages of a file the reader cannot open, all with the same code.
std::vector<std::string> OpenFailure(unsigned hr)
{
    char a[96], b[96], c[96];
    std::snprintf(a, sizeof a, "Could not open file (hr=0x%08x).\n", hr);
    std::snprintf(b, sizeof b, "Cannot open reader: hr = 0x%08x\n", hr);
    std::snprintf(c, sizeof c, "WMSyncReader failed (hr=0x%08x).\n", hr);
    return {a, b, c};
}

using Format = std::tuple<std::string, int, int>;  // codec, channels, rate

class WmaFormatTest : public ::testing::TestWithParam<Format> {};

TEST_P(WmaFormatTest, TakeHasTheStreamFormatLengthAndTone)
{
    auto [codec, channels, rate] = GetParam();
    TempDir dir;
    std::string path = dir.File("tone.wma");
    MakeToneWma(path, codec, channels, rate);

    Loaded l;
    BOOL lock = channels == 2;  // the lock flag must survive either way
    Load(l, path, lock);
    ASSERT_EQ(l.ok, 1) << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
    EXPECT_TRUE(l.sink.m_messages.empty());
    EXPECT_EQ(l.doc.m_bLock, lock);
    EXPECT_EQ(l.doc.m_header.nChannels, channels);
    EXPECT_EQ(l.doc.m_header.nSamplesPerSec, static_cast<DWORD>(rate));
    EXPECT_EQ(l.doc.m_header.wBitsPerSample, 16);
    EXPECT_EQ(l.doc.m_header.nBlockAlign, channels * 2);
    EXPECT_EQ(l.doc.m_header.nAvgBytesPerSec, static_cast<DWORD>(rate * channels * 2));
    ASSERT_NE(l.doc.m_pData, nullptr);
    // One second, give or take the codec's frame padding.
    EXPECT_NEAR(static_cast<double>(l.doc.m_nSamples), rate, 4096.0);

    if (channels == 1) {
        EXPECT_GT(ToneShare(Channel(l.doc.m_pData, l.doc.m_nSamples, 1, 0), 1000, rate), 0.9);
    } else {
        auto left = Channel(l.doc.m_pData, l.doc.m_nSamples, 2, 0);
        auto right = Channel(l.doc.m_pData, l.doc.m_nSamples, 2, 1);
        EXPECT_GT(ToneShare(left, 440, rate), 0.9);
        EXPECT_GT(ToneShare(right, 1000, rate), 0.9);
        EXPECT_LT(ToneShare(left, 1000, rate), 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(CodecsChannelsRates, WmaFormatTest,
                         ::testing::Combine(::testing::Values("wmav1", "wmav2"), ::testing::Values(1, 2),
                                            ::testing::Values(22050, 44100, 48000)));

TEST(WmaImport, VideoStreamIsLeftOutOfTheTake)
{
    TempDir dir;
    std::string path = dir.File("clip.wma");
    MakeWithFfmpeg("-f lavfi -i testsrc=d=1:s=64x48:r=25 -f lavfi -i sine=f=1000:d=1:r=44100 "
                   "-c:v wmv2 -c:a wmav2 -f asf",
                   path);
    Loaded l;
    Load(l, path);
    ASSERT_EQ(l.ok, 1);
    EXPECT_EQ(l.doc.m_header.nChannels, 1);
    EXPECT_NEAR(static_cast<double>(l.doc.m_nSamples), 44100, 4096.0);
    // Video bytes in the take would wreck the tone.
    EXPECT_GT(ToneShare(Channel(l.doc.m_pData, l.doc.m_nSamples, 1, 0), 1000, 44100), 0.9);
}

TEST(WmaImport, MoreThanTwoChannelsOfWiderSamplesAreMixedToSixteenBitStereo)
{
    TempDir dir;
    std::string path = dir.File("quad.wma");
    // Tone on front left only, silence elsewhere, as 24-bit PCM.
    MakeWithFfmpeg("-f lavfi -i sine=f=440:d=0.5:r=44100 -f lavfi -i anullsrc=cl=mono:r=44100 -filter_complex " +
                       test::ShellQuote("[0][1][1][1]join=inputs=4:channel_layout=quad") +
                       " -t 0.5 -c:a pcm_s24le -f asf",
                   path);
    Loaded l;
    Load(l, path);
    ASSERT_EQ(l.ok, 1);
    EXPECT_EQ(l.doc.m_header.nChannels, 2);
    EXPECT_EQ(l.doc.m_header.wBitsPerSample, 16);
    EXPECT_NEAR(static_cast<double>(l.doc.m_nSamples), 22050, 64.0);
    auto left = Channel(l.doc.m_pData, l.doc.m_nSamples, 2, 0);
    auto right = Channel(l.doc.m_pData, l.doc.m_nSamples, 2, 1);
    EXPECT_GT(ToneShare(left, 440, 44100, 256), 0.9);
    EXPECT_GT(test::Rms(left), 500.0);
    EXPECT_LT(test::Rms(right), 5.0);
}

TEST(WmaImport, FormatAndSamplesComeFromTheSameAudioStream)
{
    TempDir dir;
    std::string path = dir.File("two.wma");
    // First audio stream mono 22050 Hz, second stereo 48000 Hz.
    MakeWithFfmpeg("-f lavfi -i sine=f=1000:d=1:r=22050 -f lavfi -i sine=f=1000:d=1:r=48000 "
                   "-map 0 -map 1 -c:a wmav2 -ac:1 2 -f asf",
                   path);
    Loaded l;
    Load(l, path);
    ASSERT_EQ(l.ok, 1);
    int channels = l.doc.m_header.nChannels;
    double rate = l.doc.m_header.nSamplesPerSec;
    EXPECT_NEAR(static_cast<double>(l.doc.m_nSamples), rate, 4096.0);
    EXPECT_GT(ToneShare(Channel(l.doc.m_pData, l.doc.m_nSamples, channels, 0), 1000, rate), 0.9);
}

TEST(WmaImport, FileWithoutAudioIsRefused)
{
    TempDir dir;
    std::string path = dir.File("video.wma");
    MakeWithFfmpeg("-f lavfi -i testsrc=d=0.5:s=64x48:r=10 -c:v wmv2 -f asf", path);
    Loaded l;
    Load(l, path, 1);
    ExpectNoTake(l);
    EXPECT_EQ(l.doc.m_bLock, 1);
    EXPECT_EQ(l.sink.m_messages,
              (std::vector<std::string>{"Could not find an audio stream in the specified file (hr=0X8000FFFF)",
                                        "Could not get audio output (hr=0x8000ffff).\n",
                                        "Cannot open reader: hr = 0x8000ffff\n", "WMSyncReader failed (hr=0x8000ffff).\n"}));
}

TEST(WmaImport, StreamAddressesAreRefusedBeforeAnythingIsOpened)
{
    for (const char* url : {"http://example.invalid/a.wma", "HTTP://EXAMPLE.INVALID/A.WMA", "hTtPs://x/y.wma"}) {
        Loaded l;
        Load(l, url);
        ExpectNoTake(l);
        EXPECT_EQ(l.sink.m_messages, (std::vector<std::string>{
                                         "Wrong input file - streams are not supported : (hr=0x00000000).\n",
                                         "Cannot open reader: hr = 0x80070057\n", "WMSyncReader failed (hr=0x80070057).\n"}))
            << url;
    }
}

TEST(WmaImport, UnreadableFilesGiveTheOpenMessagesAndNoTake)
{
    TempDir dir;
    std::string garbage = dir.File("garbage.wma");
    std::string text(5000, 'x');
    test::WriteFileBytes(garbage, "not a media file " + text);
    std::string empty = dir.File("empty.wma");
    test::WriteFileBytes(empty, "");
    std::string wav = dir.File("riff.wma");
    test::WriteFileBytes(wav, std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(28, '\0'));
    std::string fifo = dir.File("pipe.wma");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    struct Case {
        std::string path;
        unsigned hr;
    };
    for (const Case& c : {Case{garbage, 0x80004005u}, Case{empty, 0x80004005u}, Case{wav, 0x80004005u},
                          Case{dir.File("missing.wma"), 0x80070002u},  // ENOENT
                          Case{dir.Path().string(), 0x80004005u},      // a folder is not a file
                          Case{fifo, 0x80004005u}}) {                  // and a FIFO must not block
        Loaded l;
        Load(l, c.path);
        ExpectNoTake(l);
        EXPECT_EQ(l.sink.m_messages, OpenFailure(c.hr)) << c.path;
    }
}

TEST(WmaImport, TruncatedFilesNeverCrashAndNeverGiveMoreThanTheWhole)
{
    TempDir dir;
    std::string whole = dir.File("whole.wma");
    MakeToneWma(whole, "wmav2", 2, 44100);
    std::string bytes = test::ReadFileBytes(whole);
    ASSERT_GT(bytes.size(), 8000u);
    Loaded full;
    Load(full, whole);
    ASSERT_EQ(full.ok, 1);

    for (std::size_t cut : {std::size_t{16}, std::size_t{600}, bytes.size() / 2, bytes.size() - 1}) {
        std::string path = dir.File("cut.wma");
        test::WriteFileBytes(path, bytes.substr(0, cut));
        Loaded l;
        Load(l, path);
        if (l.ok) {
            EXPECT_TRUE(l.sink.m_messages.empty());
            EXPECT_GT(l.doc.m_nSamples, 0u);
            EXPECT_LE(l.doc.m_nSamples, full.doc.m_nSamples) << cut;
        } else {
            ExpectNoTake(l);
            ASSERT_FALSE(l.sink.m_messages.empty());
            EXPECT_EQ(l.sink.m_messages.back().rfind("WMSyncReader failed (hr=0x", 0), 0u) << cut;
        }
    }
}

// Packets damaged from some point on: damaged packets are skipped, but some damage makes the
// decoder give up half-way, with decoder and converter both live. Either a take or the refusal,
// never anything between; the ASan build's leak checker fails this test if a handle is dropped.
TEST(WmaImport, DamagedPacketsGiveATakeOrTheRefusalAndHoldNothing)
{
    TempDir dir;
    std::string whole = dir.File("whole.wma");
    MakeToneWma(whole, "wmav2", 2, 44100);
    const std::string bytes = test::ReadFileBytes(whole);

    int refusedHalfWay = 0;
    for (auto [start, step] : {std::pair{2000, 17}, {3000, 31}, {3000, 61}, {3000, 97}, {2000, 127}}) {
        std::string damaged = bytes;
        for (std::size_t i = start; i < damaged.size(); i += step)
            damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
        std::string path = dir.File("damaged.wma");
        test::WriteFileBytes(path, damaged);
        Loaded l;
        Load(l, path);
        if (l.ok) {
            EXPECT_TRUE(l.sink.m_messages.empty());
            EXPECT_GT(l.doc.m_nSamples, 0u);
            continue;
        }
        ExpectNoTake(l);
        ASSERT_EQ(l.sink.m_messages.size(), 3u) << start << "/" << step;
        refusedHalfWay += l.sink.m_messages[0].rfind("GetNextSample() failed : (hr=0x", 0) == 0;
        EXPECT_EQ(l.sink.m_messages[1].rfind("ReadSamples failed: hr = 0x", 0), 0u);
        EXPECT_EQ(l.sink.m_messages[2].rfind("WMSyncReader failed (hr=0x", 0), 0u);
    }
    EXPECT_GT(refusedHalfWay, 0);  // the half-way path was taken at least once
}

}  // namespace
}  // namespace tonmira
