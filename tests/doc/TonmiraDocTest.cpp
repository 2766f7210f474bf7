#include <sys/resource.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

#include "DocTestUtil.h"
#include "TestUtil.h"
#include "doc/CommandState.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

// Makes doc hold a 16-bit take of the given interleaved samples.
void SetTake16(CTonmiraDoc& doc, int channels, const std::vector<int>& samples)
{
    doc.FreeTake();
    doc.m_header.nChannels = static_cast<WORD>(channels);
    doc.m_header.wBitsPerSample = 16;
    doc.m_header.nSamplesPerSec = 44100;
    doc.m_pData = static_cast<BYTE*>(std::malloc(samples.size() * 2));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::int16_t s = static_cast<std::int16_t>(samples[i]);
        std::memcpy(doc.m_pData + 2 * i, &s, 2);
    }
    doc.m_nSamples = static_cast<UINT>(samples.size() / channels);
    doc.FinishLoad();
}

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

TEST(TonmiraDoc, BalanceMixTruncatesTowardZeroAndRaisesThePeak)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    SetTake16(doc, 2, {3, -4, 1000, -30000, -32768, 32767});
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
    doc.m_header.nChannels = 2;
    doc.m_header.wBitsPerSample = 8;
    doc.m_pData = static_cast<BYTE*>(std::malloc(4));
    const BYTE bytes[4] = {255, 0, 129, 130};
    std::memcpy(doc.m_pData, bytes, 4);
    doc.m_nSamples = 2;
    doc.FinishLoad();
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
    SetTake16(doc, 1, {5, -6, 7});
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
    SetTake16(doc, 2, {0, 0, 1, 10, 2, 20, 3, 30, 4, 40});
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

    SetTake16(doc, 1, {9, 8, 7, 6});
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
    SetTake16(doc, 2, {1, 2, 3, 4});
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

TEST(TonmiraDoc, CommandAvailability)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    auto enabled = [&](int id) { return GetCommandState(doc, id).m_bEnable; };
    // Empty document.
    EXPECT_TRUE(enabled(kCmdFileOpen));
    EXPECT_TRUE(enabled(kCmdRecord));
    EXPECT_FALSE(enabled(kCmdPlay));
    EXPECT_FALSE(enabled(kCmdFileSave));
    EXPECT_FALSE(enabled(kCmdLock));
    EXPECT_FALSE(GetCommandState(doc, 12345).m_bHandled);

    SetTake16(doc, 1, {1, 2, 3, 4});
    EXPECT_TRUE(enabled(kCmdPlay));
    EXPECT_TRUE(enabled(kCmdFileSave));
    EXPECT_FALSE(enabled(kCmdBalance));  // mono take
    EXPECT_FALSE(enabled(kCmdSaveMonoData));
    EXPECT_FALSE(GetCommandState(doc, kCmdEndMark).m_bCheck);
    EXPECT_FALSE(GetCommandState(doc, kCmdStartMark).m_bCheck);
    doc.m_nEndMark = 2;
    doc.m_nStartMark = 1;
    EXPECT_TRUE(GetCommandState(doc, kCmdEndMark).m_bCheck);
    EXPECT_TRUE(GetCommandState(doc, kCmdStartMark).m_bCheck);

    SetTake16(doc, 2, {1, 2, 3, 4});
    EXPECT_TRUE(enabled(kCmdBalance));
    EXPECT_TRUE(enabled(kCmdSaveMonoData));
    doc.m_nState = TransportState::Playing;  // playing
    EXPECT_FALSE(enabled(kCmdFileOpen));
    EXPECT_FALSE(enabled(kCmdTruncate));
    EXPECT_FALSE(enabled(kCmdBalance));
    EXPECT_TRUE(GetCommandState(doc, kCmdPlay).m_bCheck);
    EXPECT_FALSE(GetCommandState(doc, kCmdStop).m_bCheck);
    // Reverse keeps its check mark untouched while disabled.
    doc.m_bReverse = 1;
    EXPECT_FALSE(GetCommandState(doc, kCmdReverse).m_bSetCheck);
    doc.m_nState = TransportState::Idle;
    EXPECT_TRUE(GetCommandState(doc, kCmdReverse).m_bCheck);
    doc.m_bLock = 1;
    EXPECT_FALSE(enabled(kCmdRecord));
    EXPECT_FALSE(enabled(kCmdStop));
    EXPECT_FALSE(enabled(kCmdRecordSetup));
    EXPECT_TRUE(enabled(kCmdLock));
    EXPECT_TRUE(GetCommandState(doc, kCmdLock).m_bCheck);
    EXPECT_TRUE(enabled(kCmdFileSave));
}

TEST(TonmiraDoc, MonoSaveWritesTheMixAndLeavesTheDocumentAlone)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    SetTake16(doc, 2, {3, -4, 100, 200, -50, 50});
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
    SetTake16(doc, 2, std::vector<int>(200000, 7));
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
              (std::vector<std::string>{msg::kWavSaveFailed, target + " へのアクセス中に不明なエラーが発生しました。",
                                        msg::kWriteFailed, dir.File("keep.pcm") + " へのアクセス中に不明なエラーが発生しました。",
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
    SetTake16(doc, 2, samples);
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
    SetTake16(doc, 1, {1, 2, 3});
    const std::string target = dir.File("t.wav");
    WriteFileBytes(target, "old");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    ASSERT_TRUE(doc.OnSaveDocument(target));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadFileBytes(target).size(), 44u + 6u);
}
