#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "DocTestUtil.h"
#include "TakeFactory.h"
#include "TestUtil.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

int Mono16(const CTonmiraDoc& doc, UINT i, const BYTE* buffer = nullptr)
{
    std::int16_t s;
    std::memcpy(&s, (buffer ? buffer : doc.m_pMono) + 2 * i, 2);
    return s;
}

}  // namespace

TEST(TonmiraDoc, ConstructionValues)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    EXPECT_EQ(doc.m_pData, nullptr);
    EXPECT_EQ(doc.m_nBalance, 50);
    EXPECT_EQ(doc.m_nState, TransportState::Idle);
    EXPECT_EQ(doc.m_bLock, 0);
    EXPECT_EQ(doc.m_bModified, 0);
    EXPECT_EQ(doc.m_strFileName, "");
    WavHeader zero{};
    EXPECT_EQ(std::memcmp(&doc.m_header, &zero, sizeof zero), 0);
}

// A take made from frames in memory is the take a WAV file of the same frames loads as.
TEST(TonmiraDoc, LoadPcmLeavesWhatAFileLoadLeaves)
{
    TempDir dir;
    WavBytes wav;
    wav.rate = 8000;
    wav.data = Samples16({3, -4, 1000, -30000, -32768, 32767});
    WriteFileBytes(dir.File("take.wav"), wav.Build());
    CapturingMessageSink sink;
    CTonmiraDoc loaded(sink);
    ASSERT_TRUE(loaded.OnOpenDocument(dir.File("take.wav")));

    CTonmiraDoc doc(sink);
    LoadTake8(doc, {1, 2, 3, 4, 5}, 1);  // an earlier take in another state, all of it replaced
    doc.m_nStartMark = 1;
    doc.m_nPosition = 3;
    doc.m_bLock = 1;
    doc.m_bReverse = 1;
    doc.BuildReverseBuffer();
    doc.SetModifiedFlag();
    doc.m_strFileName = "name.wav";
    const std::string bytes = wav.data + "x";  // a part of a frame at the end is dropped
    ASSERT_TRUE(doc.LoadPcm(bytes.data(), bytes.size(), 2, 8000, 16));

    EXPECT_EQ(std::memcmp(&doc.m_header, &loaded.m_header, sizeof doc.m_header), 0);
    ASSERT_EQ(doc.m_nSamples, 3u);
    EXPECT_EQ(std::memcmp(doc.m_pData, loaded.m_pData, 12), 0);
    ASSERT_NE(doc.m_pMono, nullptr);
    EXPECT_EQ(std::memcmp(doc.m_pMono, loaded.m_pMono, 6), 0);
    EXPECT_EQ(doc.m_nPeak, loaded.m_nPeak);
    EXPECT_EQ(doc.m_nPeak, 32768);
    EXPECT_EQ(doc.m_nStartMark, 0u);
    EXPECT_EQ(doc.m_nEndMark, 2u);
    EXPECT_EQ(doc.m_nPosition, 0u);
    EXPECT_EQ(doc.m_nBalance, 50);
    EXPECT_EQ(doc.m_bReverse, 0);
    EXPECT_EQ(doc.m_pReverse, nullptr);
    EXPECT_EQ(doc.m_bLock, 0);
    EXPECT_EQ(doc.m_bModified, 0);
    EXPECT_EQ(doc.m_strFileName, "name.wav");

    // Shapes no later step handles are refused and change nothing; no frames leave no take.
    const BYTE* kept = doc.m_pData;
    EXPECT_FALSE(doc.LoadPcm(bytes.data(), 12, 3, 8000, 16));
    EXPECT_FALSE(doc.LoadPcm(bytes.data(), 12, 2, 8000, 24));
    EXPECT_FALSE(doc.LoadPcm(bytes.data(), 12, 2, 0, 16));
    EXPECT_EQ(doc.m_pData, kept);
    EXPECT_EQ(doc.m_nSamples, 3u);
    ASSERT_TRUE(doc.LoadPcm(bytes.data(), 1, 1, 8000, 16));
    EXPECT_FALSE(doc.HasTake());
    EXPECT_EQ(doc.m_nSamples, 0u);
    EXPECT_EQ(doc.m_nEndMark, 0u);
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST(TonmiraDoc, BalanceMixTruncatesTowardZeroAndRaisesThePeak)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, {3, -4, 1000, -30000, -32768, 32767}, 2);
    EXPECT_EQ(Mono16(doc, 0), 0);  // 1.5 - 2 = -0.5 -> 0
    EXPECT_EQ(Mono16(doc, 1), -14500);
    EXPECT_EQ(Mono16(doc, 2), 0);  // -16384 + 16383.5 = -0.5 -> 0
    EXPECT_EQ(doc.m_nPeak, 32768);
    for (int balance : {0, 100}) {
        doc.m_nBalance = balance;
        ASSERT_TRUE(doc.BuildMonoBuffer());
        for (UINT i = 0; i < 3; ++i) {
            int left = i == 0 ? 3 : i == 1 ? 1000 : -32768;
            int right = i == 0 ? -4 : i == 1 ? -30000 : 32767;
            EXPECT_EQ(Mono16(doc, i), balance == 0 ? left : right);
        }
    }
    // The peak is never lowered by a rebuild.
    doc.m_nPeak = 40000;
    doc.BuildMonoBuffer();
    EXPECT_EQ(doc.m_nPeak, 40000);
}

TEST(TonmiraDoc, EightBitMixWorksOnRawBytes)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake8(doc, {255, 0, 129, 130}, 2);
    EXPECT_EQ(doc.m_pMono[0], 127);  // 127.5 truncated
    EXPECT_EQ(doc.m_pMono[1], 129);
    EXPECT_EQ(doc.m_nPeak, 128);
    ASSERT_TRUE(doc.BuildReverseBuffer());
    EXPECT_EQ(doc.m_pReverse[0], 129);
    EXPECT_EQ(doc.m_pReverse[1], 127);
}

TEST(TonmiraDoc, OneChannelMonoIsTheTakeItself)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, {5, -6, 7}, 1);
    EXPECT_EQ(doc.m_pMono, doc.m_pData);
    EXPECT_EQ(doc.m_nPeak, 0);
    ASSERT_TRUE(doc.BuildReverseBuffer());
    EXPECT_EQ(Mono16(doc, 0, doc.m_pReverse), 7);
    EXPECT_EQ(Mono16(doc, 2, doc.m_pReverse), 5);
    doc.ReleaseDerivedBuffers();
    EXPECT_EQ(doc.m_pMono, nullptr);
    EXPECT_EQ(doc.m_pReverse, nullptr);
    EXPECT_NE(doc.m_pData, nullptr);
    EXPECT_EQ(doc.m_nPosition, 2u);
}

TEST(TonmiraDoc, TruncateToMarks)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, {0, 0, 1, 10, 2, 20, 3, 30, 4, 40}, 2);
    // Marks over the whole take: nothing to do.
    EXPECT_FALSE(doc.TruncateToMarks());
    EXPECT_EQ(doc.m_nSamples, 5u);
    // Marks outside the take are refused rather than read past the block.
    doc.m_nStartMark = 2;
    doc.m_nEndMark = 7;
    EXPECT_FALSE(doc.TruncateToMarks());
    doc.m_nStartMark = 3;
    doc.m_nEndMark = 1;
    EXPECT_FALSE(doc.TruncateToMarks());

    doc.m_nStartMark = 1;
    doc.m_nEndMark = 3;
    doc.m_nPosition = 4;
    doc.m_bReverse = 1;
    ASSERT_TRUE(doc.TruncateToMarks());
    EXPECT_EQ(doc.m_nSamples, 3u);
    EXPECT_EQ(doc.m_nStartMark, 0u);
    EXPECT_EQ(doc.m_nEndMark, 2u);
    EXPECT_EQ(doc.m_nPosition, 2u);  // reverse on: the last frame
    EXPECT_EQ(Mono16(doc, 0), 5);    // (1 + 10) / 2 truncated
    EXPECT_EQ(Mono16(doc, 0, doc.m_pReverse), 16);
    EXPECT_EQ(doc.m_nPeak, 40);      // not lowered for the shorter take

    LoadTake16(doc, {9, 8, 7, 6}, 1);
    doc.m_nStartMark = 2;
    doc.m_nEndMark = 2;
    ASSERT_TRUE(doc.TruncateToMarks());
    EXPECT_EQ(doc.m_pMono, doc.m_pData);
    EXPECT_EQ(doc.m_pReverse, nullptr);
    EXPECT_EQ(doc.m_nPosition, 0u);
    EXPECT_EQ(Mono16(doc, 0), 7);
}

TEST(TonmiraDoc, NewDocumentFreesTheTakeAndKeepsTheFormat)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, {1, 2, 3, 4}, 2);
    doc.m_bLock = 1;
    doc.m_nStartMark = 1;
    doc.m_strFileName = "x.wav";
    doc.SetModifiedFlag();
    doc.BuildReverseBuffer();
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.m_pData, nullptr);
    EXPECT_EQ(doc.m_pMono, nullptr);
    EXPECT_EQ(doc.m_pReverse, nullptr);
    EXPECT_EQ(doc.m_nSamples, 0u);
    EXPECT_EQ(doc.m_nPeak, 0);
    EXPECT_EQ(doc.m_nStartMark, 0u);
    EXPECT_EQ(doc.m_bLock, 0);
    EXPECT_EQ(doc.m_bModified, 0);
    EXPECT_EQ(doc.m_strFileName, "");
    EXPECT_EQ(doc.m_header.nChannels, 2);
    EXPECT_EQ(doc.m_header.nSamplesPerSec, 44100u);
}

TEST(TonmiraDoc, MonoSaveWritesTheMixAndLeavesTheDocumentAlone)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, {3, -4, 100, 200, -50, 50}, 2);
    doc.m_strFileName = "take.wav";
    std::filesystem::create_directory(dir.File("a.b"));
    ASSERT_TRUE(doc.OnSaveMonoData(dir.File("a.b/mono")));  // no extension in the name: ".wav" added
    WavBytes expected;
    expected.channels = 1;
    expected.data = Samples16({0, 150, 0});
    EXPECT_EQ(ReadFileBytes(dir.File("a.b/mono.wav")), expected.Build());
    ASSERT_TRUE(doc.OnSaveMonoData(dir.File("mono.pcm")));
    EXPECT_EQ(ReadFileBytes(dir.File("mono.pcm")), "0\r\n150\r\n0\r\n");
    EXPECT_EQ(doc.m_strFileName, "take.wav");
    EXPECT_EQ(doc.m_bModified, 0);
    // A document save afterwards still writes the full stereo take.
    ASSERT_TRUE(doc.OnSaveDocument(dir.File("full.wav")));
    WavBytes full;
    full.data = Samples16({3, -4, 100, 200, -50, 50});
    EXPECT_EQ(ReadFileBytes(dir.File("full.wav")), full.Build());
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST(TonmiraDoc, FailedSaveLeavesTheTargetUnchanged)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, std::vector<std::int16_t>(200000, 7), 2);
    const std::string target = dir.File("keep.wav");
    WriteFileBytes(target, "precious");
    WriteFileBytes(dir.File("keep.pcm"), "precious");

    // A file size limit makes every large write fail, also for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    BOOL wav = doc.OnSaveDocument(target);
    BOOL text = doc.OnSaveDocument(dir.File("keep.pcm"));
    BOOL mono = doc.OnSaveMonoData(dir.File("mono.wav"));
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(wav);
    EXPECT_FALSE(text);
    EXPECT_FALSE(mono);
    EXPECT_EQ(sink.m_messages,
              (std::vector<std::string>{msg::kWavSaveFailed,
                                        target + " へのアクセス中に不明なエラーが発生しました。\n" + std::strerror(EFBIG),
                                        msg::kWriteFailed,
                                        dir.File("keep.pcm") + " へのアクセス中に不明なエラーが発生しました。\n" +
                                            std::strerror(EFBIG),
                                        msg::kWavSaveFailed}));
    EXPECT_EQ(ReadFileBytes(target), "precious");
    EXPECT_EQ(ReadFileBytes(dir.File("keep.pcm")), "precious");
    // Nothing half-written is left behind.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 2u);
}

TEST(TonmiraDoc, MixEqualsTheExtendedPrecisionSumForEveryBalance)
{
    // The mix must round exactly as float weights summed in extended precision would.
    std::vector<int> samples;
    const int values[] = {-32768, -32767, -12345, -3, -1, 0, 1, 2, 3, 7, 999, 32766, 32767};
    for (int l : values)
        for (int r : values) {
            samples.push_back(l);
            samples.push_back(r);
        }
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, std::vector<std::int16_t>(samples.begin(), samples.end()), 2);
    for (int balance = 0; balance <= 100; ++balance) {
        doc.m_nBalance = balance;
        ASSERT_TRUE(doc.BuildMonoBuffer());
        const float left = static_cast<float>(100 - balance) / 100.0f;
        const float right = static_cast<float>(balance) / 100.0f;
        for (UINT i = 0; i < doc.m_nSamples; ++i) {
            long double sum = static_cast<long double>(left) * samples[2 * i] +
                              static_cast<long double>(right) * samples[2 * i + 1];
            ASSERT_EQ(Mono16(doc, i), static_cast<int>(sum)) << "balance " << balance << " frame " << i;
        }
    }
}

TEST(TonmiraDoc, SaveOverAnExistingFileKeepsItsPermissions)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTake16(doc, {1, 2, 3}, 1);
    const std::string target = dir.File("t.wav");
    WriteFileBytes(target, "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    ASSERT_TRUE(doc.OnSaveDocument(target));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadFileBytes(target).size(), 44u + 6u);
}
