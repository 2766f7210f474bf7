// The recording settings command: what the dialog is filled with, the device format check and
// its reopen loop, and the analysis set-up after a rate change.
#include "TransportFixture.h"

namespace tonmira::test {
namespace {

struct RecordSetupTest : TransportFixture {
    RecordSetupTest()
    {
        SetFormat(44100, 16, 2, 4096);
        transport->SetInputFormats(0xFFFFF);
    }
    static RecordSetupValues Choice(int rateIndex, int bitsRadio, int channelRadio, int level)
    {
        RecordSetupValues v;
        v.m_nRateIndex = rateIndex;
        v.m_nBitsRadio = bitsRadio;
        v.m_nChannelRadio = channelRadio;
        v.m_nStartLevel = level;
        return v;
    }
};

TEST_F(RecordSetupTest, ChoiceIsStoredAndARateChangeResetsTheAnalysis)
{
    transport->SetAutoStartLevel(7);
    host.m_setupAnswers.push_back(Choice(3, 1, 1, 0));
    RecordSetup();
    ASSERT_EQ(host.m_setupShown.size(), 1u);
    EXPECT_EQ(host.m_setupShown[0].m_nRateIndex, 2);
    EXPECT_EQ(host.m_setupShown[0].m_nBitsRadio, 0);
    EXPECT_EQ(host.m_setupShown[0].m_nChannelRadio, 0);
    EXPECT_EQ(host.m_setupShown[0].m_nStartLevel, 7);
    EXPECT_EQ(host.m_setupShown[0].m_bHasData, 0);
    EXPECT_EQ(doc.m_header.nSamplesPerSec, 22050u);
    EXPECT_EQ(doc.m_header.wBitsPerSample, 8);
    EXPECT_EQ(doc.m_header.nChannels, 1);
    // The analysis holds the new N with its engine and spectrum set up; the host only shows it.
    EXPECT_EQ(analysis.m_nFftSize, 2048);
    EXPECT_EQ(analysis.m_fft.m_nSize, 2048);
    EXPECT_NE(analysis.m_pSpectrum, nullptr);
    EXPECT_EQ(host.m_nRateChangeIndex, 7);
    EXPECT_TRUE(host.m_bWholeBand);
    EXPECT_EQ(transport->AutoStartLevel(), 0);

    // Same rate: the FFT size stays, nothing is reset.
    host.m_nRateChangeIndex = -1;
    host.m_bWholeBand = false;
    ASSERT_TRUE(analysis.SetFftSize(512, host));
    host.m_setupAnswers.push_back(Choice(3, 0, 0, 0));
    RecordSetup();
    EXPECT_EQ(analysis.m_nFftSize, 512);
    EXPECT_EQ(host.m_nRateChangeIndex, -1);
    EXPECT_FALSE(host.m_bWholeBand);
    EXPECT_EQ(doc.m_header.nChannels, 2);

    host.m_setupAnswers.push_back(Choice(0, 0, 0, 0));
    RecordSetup();
    EXPECT_EQ(analysis.m_nFftSize, 8192);
    EXPECT_EQ(host.m_nRateChangeIndex, 9);

    // With a take the dialog shows the format controls disabled.
    std::vector<std::int16_t> take(200, 1);
    LoadTake16(take, 2);
    host.m_setupAnswers.push_back(Choice(0, 0, 0, 20));
    RecordSetup();
    EXPECT_EQ(host.m_setupShown.back().m_bHasData, 1);
    EXPECT_EQ(transport->AutoStartLevel(), 20);
}

TEST_F(RecordSetupTest, AutomaticStartLevelSwitchesCollectionOff)
{
    transport->SetCollectParameters(500, transport->ContinuousMs(), 0);
    host.m_setupAnswers.push_back(Choice(2, 0, 0, 0));
    RecordSetup();
    EXPECT_EQ(transport->CollectLevel(), 500);
    host.m_setupAnswers.push_back(Choice(2, 0, 0, 10));
    RecordSetup();
    EXPECT_EQ(transport->AutoStartLevel(), 10);
    EXPECT_EQ(transport->CollectLevel(), 0);
}

TEST_F(RecordSetupTest, UnsupportedFormatReopensTheDialogWithTheOldFormat)
{
    transport->SetInputFormats(0x0FFFF);  // nothing at 96000 Hz
    host.m_setupAnswers.push_back(Choice(0, 0, 0, 0));
    host.m_setupAnswers.push_back(Choice(1, 0, 1, 0));
    RecordSetup();
    ASSERT_EQ(host.m_messages.size(), 1u);
    EXPECT_EQ(host.m_messages[0], "選択した設定は使用できません！");
    ASSERT_EQ(host.m_setupShown.size(), 2u);
    EXPECT_EQ(host.m_setupShown[1].m_nRateIndex, 2) << "reopened with the document's format";
    EXPECT_EQ(doc.m_header.nSamplesPerSec, 48000u);
    EXPECT_EQ(doc.m_header.nChannels, 1);
}

TEST_F(RecordSetupTest, OtherRatesCannotBeChangedAndCancelChangesNothing)
{
    doc.m_header.nSamplesPerSec = 8000;
    RecordSetup();
    ASSERT_EQ(host.m_messages.size(), 1u);
    EXPECT_EQ(host.m_messages[0], "設定変更できません！");
    EXPECT_TRUE(host.m_setupShown.empty());

    doc.m_header.nSamplesPerSec = 44100;
    RecordSetup();  // no answer queued: Cancel
    EXPECT_EQ(doc.m_header.wBitsPerSample, 16);
    EXPECT_EQ(doc.m_header.nChannels, 2);
}

}  // namespace
}  // namespace tonmira::test
