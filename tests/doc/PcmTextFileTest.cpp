#include <gtest/gtest.h>

#include <cstring>

#include "DocTestUtil.h"
#include "TestUtil.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

const std::string kGeneric = " へのアクセス中に不明なエラーが発生しました。";

std::string Repeat(const std::string& line, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += line;
    return s;
}

struct TextLoad {
    TextLoad(const std::string& bytes, UINT rate = 44100, int radio = 0, bool ok = true)
        : prompt(rate, radio, ok)
    {
        path = dir.File("in.txt");
        WriteFileBytes(path, bytes);
        doc.m_pFormatPrompt = &prompt;
        result = doc.OnOpenDocument(path);
    }
    std::vector<int> Samples16() const
    {
        std::vector<int> v(doc.m_nSamples * doc.m_header.nChannels);
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::int16_t s;
            std::memcpy(&s, doc.m_pData + 2 * i, 2);
            v[i] = s;
        }
        return v;
    }
    TempDir dir;
    std::string path;
    ScriptedPrompt prompt;
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    BOOL result = 0;
};

}  // namespace

TEST(PcmTextFile, ValuesAreClampedBlankLinesAreZeroAndThePeakIsKept)
{
    TextLoad t("40000\r\n-40000\r\n\r\n  +12abc\n-7\n" + Repeat("1\r\n", 11) + "3");
    ASSERT_TRUE(t.result);
    EXPECT_EQ(t.prompt.m_proposal.m_nSamplingRate, 44100u);
    EXPECT_EQ(t.prompt.m_proposal.m_nBitsRadio, 0);
    EXPECT_EQ(t.doc.m_header.nChannels, 1);
    EXPECT_EQ(t.doc.m_header.wBitsPerSample, 16);
    EXPECT_EQ(t.doc.m_header.nBlockAlign, 2);
    std::vector<int> expected{32767, -32768, 0, 12, -7, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3};
    EXPECT_EQ(t.Samples16(), expected);
    EXPECT_EQ(t.doc.m_nPeak, 32768);
    EXPECT_EQ(t.doc.m_bLock, 1);
    EXPECT_EQ(t.doc.m_pMono, t.doc.m_pData);
    EXPECT_EQ(t.doc.m_nEndMark, 16u);
    EXPECT_TRUE(t.sink.m_messages.empty());
}

TEST(PcmTextFile, EightBitStereoClampsAndStoresOffsetBytes)
{
    TextLoad t(Repeat("200, -200\r\n", 8) + Repeat("-1, 0\r\n", 8), 8000, 1);
    ASSERT_TRUE(t.result);
    EXPECT_EQ(t.doc.m_header.nChannels, 2);
    EXPECT_EQ(t.doc.m_header.wBitsPerSample, 8);
    EXPECT_EQ(t.doc.m_header.nSamplesPerSec, 8000u);
    EXPECT_EQ(t.doc.m_pData[0], 255);
    EXPECT_EQ(t.doc.m_pData[1], 0);
    EXPECT_EQ(t.doc.m_pData[30], 127);
    EXPECT_EQ(t.doc.m_pData[31], 128);
    EXPECT_EQ(t.doc.m_nPeak, 128);
}

TEST(PcmTextFile, FewerThanSixteenFramesLeaveALockedEmptyDocument)
{
    TextLoad fifteen(Repeat("5\r\n", 15));
    EXPECT_TRUE(fifteen.result);
    EXPECT_EQ(fifteen.sink.m_messages, std::vector<std::string>{msg::kTooFewPoints});
    EXPECT_EQ(fifteen.doc.m_pData, nullptr);
    EXPECT_EQ(fifteen.doc.m_nSamples, 0u);
    EXPECT_EQ(fifteen.doc.m_nEndMark, 0u);
    EXPECT_EQ(fifteen.doc.m_bLock, 1);
    EXPECT_EQ(fifteen.doc.m_strFileName, fifteen.path);

    TextLoad sixteen(Repeat("5\r\n", 16));
    EXPECT_TRUE(sixteen.result);
    EXPECT_EQ(sixteen.doc.m_nSamples, 16u);

    TextLoad empty("");
    EXPECT_TRUE(empty.result);
    EXPECT_EQ(empty.sink.m_messages, std::vector<std::string>{msg::kTooFewPoints});
}

TEST(PcmTextFile, CancelledPromptFailsWithOnlyTheGenericMessage)
{
    TextLoad t(Repeat("5\r\n", 20), 44100, 0, false);
    EXPECT_FALSE(t.result);
    EXPECT_EQ(t.sink.m_messages, std::vector<std::string>{t.path + kGeneric});
    EXPECT_EQ(t.doc.m_pData, nullptr);
    EXPECT_EQ(t.doc.m_strFileName, "");
}

class TextBadInput : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(TextBadInput, IsAFormatError)
{
    TextLoad t(GetParam().second);
    EXPECT_FALSE(t.result);
    EXPECT_EQ(t.sink.m_messages, (std::vector<std::string>{msg::kWrongFormat, t.path + kGeneric}));
    EXPECT_EQ(t.doc.m_pData, nullptr);
    EXPECT_EQ(t.doc.m_nSamples, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextBadInput,
    ::testing::Values(std::make_pair("OneThenTwoValues", "1\r\n2, 3\r\n" + Repeat("1\r\n", 20)),
                      std::make_pair("TwoThenOneValue", "2, 3\r\n1\r\n"),
                      std::make_pair("BlankLineInStereo", Repeat("2, 3\r\n", 5) + "\r\n" + Repeat("2, 3\r\n", 15)),
                      std::make_pair("ThirdField", "1, 2, 3\r\n"),
                      std::make_pair("FieldOfTwelve", "123456789012\r\n"),
                      std::make_pair("SecondFieldOfTwelve", "1,123456789012\r\n"),
                      std::make_pair("LineOfTwentyFive", Repeat("1\r\n", 20) + std::string(25, ' ') + "\r\n"),
                      std::make_pair("OverLongLine", std::string(100000, '7')),
                      std::make_pair("NulInLine", Repeat("1\r\n", 20) + std::string("1\0", 2) + "2\r\n"),
                      std::make_pair("BinaryNonsense", std::string("\x00\x01\x02,\xff,\xfe\r\n", 9))),
    [](const auto& info) { return std::string(info.param.first); });

TEST(PcmTextFile, LongFileLoadsInLinearTime)
{
    // 400k lines would take minutes if the take grew by one frame per copy.
    std::string text;
    text.reserve(400000 * 8);
    for (int i = 0; i < 400000; ++i)
        text += std::to_string(i % 65536 - 32768) + "\r\n";
    TextLoad t(text);
    ASSERT_TRUE(t.result);
    EXPECT_EQ(t.doc.m_nSamples, 400000u);
    EXPECT_EQ(t.Samples16()[399999], 399999 % 65536 - 32768);
}

TEST(PcmTextFile, SaveAsTextAndLoadBackGivesTheSameSamples)
{
    TextLoad t(Repeat("-32768, 32767\r\n", 10) + Repeat("0, -1\r\n", 10));
    ASSERT_TRUE(t.result);
    // Text under every name that does not end in WAV or a format that is only read.
    for (const char* name : {"out.pcm", "out.wave", "out.txt"}) {
        std::string out = t.dir.File(name);
        ASSERT_TRUE(t.doc.OnSaveDocument(out));
        EXPECT_EQ(ReadFileBytes(out), ReadFileBytes(t.path));
    }
    // Text written into a .wma (or .flac ...) file would destroy a recording: refused.
    for (const char* name : {"out.wma", "out.FLAC", "out.opus"}) {
        std::string out = t.dir.File(name);
        t.sink.m_messages.clear();
        EXPECT_FALSE(t.doc.OnSaveDocument(out));
        EXPECT_FALSE(std::filesystem::exists(out)) << name;
        ASSERT_EQ(t.sink.m_messages.size(), 2u);
        EXPECT_EQ(t.sink.m_messages[0], FormatArgs(msg::kProtectedSource, {out}));
    }
}
