#include <gtest/gtest.h>

#include <vector>

#include "TakeFactory.h"
#include "collect/RangeExpansion.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;

namespace {

struct Take {
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};

    void Set16(const std::vector<std::int16_t>& samples, WORD channels) { test::LoadTake16(doc, samples, channels, 8000); }
    std::vector<int> Samples16(const BYTE* p, std::size_t count) const
    {
        std::vector<int> out;
        for (std::size_t i = 0; i < count; ++i)
            out.push_back(static_cast<std::int16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
        return out;
    }
};

}  // namespace

TEST(RangeExpansion, SixteenBitToFullScaleMeasuresThePeakFirst)
{
    Take t;
    t.Set16({8000, -8000, 4001, -3, 0, 1}, 1);
    t.doc.m_nPeak = 0;  // planted: not measured yet
    int peak = RangeExpansionPeak(t.doc);
    EXPECT_EQ(peak, 8000);
    EXPECT_EQ(t.doc.m_nPeak, 8000);
    ASSERT_TRUE(ExpandRange(t.doc, peak, 32767));
    // x 32767 / 8000, truncated toward zero.
    EXPECT_EQ(t.Samples16(t.doc.m_pData, 6), (std::vector<int>{32767, -32767, 16387, -12, 0, 4}));
    EXPECT_EQ(t.doc.m_nPeak, 32767);
    EXPECT_TRUE(t.doc.IsModified());
    EXPECT_EQ(t.doc.m_pMono, t.doc.m_pData);
}

TEST(RangeExpansion, StereoRebuildsMonoAndReverse)
{
    Take t;
    t.Set16({100, 300, -200, -400}, 2);
    t.doc.m_bReverse = 1;
    ASSERT_TRUE(t.doc.BuildReverseBuffer());
    ASSERT_TRUE(ExpandRange(t.doc, RangeExpansionPeak(t.doc), 800));
    EXPECT_EQ(t.Samples16(t.doc.m_pData, 4), (std::vector<int>{200, 600, -400, -800}));
    EXPECT_EQ(t.Samples16(t.doc.m_pMono, 2), (std::vector<int>{400, -600}));
    EXPECT_EQ(t.Samples16(t.doc.m_pReverse, 2), (std::vector<int>{-600, 400}));
}

TEST(RangeExpansion, StalePeakClampsAndSameLevelChangesNothing)
{
    Take t;
    // The stored peak is below the true one (frames appended later): results are limited.
    t.Set16({1000, 4000, -4000}, 1);
    t.doc.m_nPeak = 1000;  // planted
    EXPECT_FALSE(ExpandRange(t.doc, RangeExpansionPeak(t.doc), 1000));
    EXPECT_FALSE(t.doc.IsModified());
    ASSERT_TRUE(ExpandRange(t.doc, RangeExpansionPeak(t.doc), 20000));
    EXPECT_EQ(t.Samples16(t.doc.m_pData, 3), (std::vector<int>{20000, 32767, -32768}));
}

TEST(RangeExpansion, EightBitAndSilence)
{
    Take t;
    test::LoadTake8(t.doc, {64, 192, 128, 100}, 1, 8000);
    ASSERT_TRUE(ExpandRange(t.doc, RangeExpansionPeak(t.doc), 127));
    EXPECT_EQ(std::vector<BYTE>(t.doc.m_pData, t.doc.m_pData + 4), (std::vector<BYTE>{1, 255, 128, 73}));

    // Level 0 silences the take and leaves m_nPeak 0, so the next run measures again.
    ASSERT_TRUE(ExpandRange(t.doc, t.doc.m_nPeak, 0));
    EXPECT_EQ(std::vector<BYTE>(t.doc.m_pData, t.doc.m_pData + 4), (std::vector<BYTE>(4, 128)));
    EXPECT_EQ(t.doc.m_nPeak, 0);

    // A silent take (P = 0) keeps its samples whatever the level.
    EXPECT_EQ(RangeExpansionPeak(t.doc), 0);
    ASSERT_TRUE(ExpandRange(t.doc, 0, 127));
    EXPECT_EQ(std::vector<BYTE>(t.doc.m_pData, t.doc.m_pData + 4), (std::vector<BYTE>(4, 128)));
    Take s;
    s.Set16({0, 0}, 1);
    ASSERT_TRUE(ExpandRange(s.doc, RangeExpansionPeak(s.doc), 32767));
    EXPECT_EQ(s.Samples16(s.doc.m_pData, 2), (std::vector<int>{0, 0}));
}
