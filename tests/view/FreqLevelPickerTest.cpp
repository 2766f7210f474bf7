#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "view/FreqLevelPicker.h"

using namespace tonmira;

TEST(FreqLevelPicker, SliderSetsTheLevelAndRepicksTheLastPickWithItsOwnTables)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    const int frames = 4096;
    doc.m_header.nChannels = 1;
    doc.m_header.nSamplesPerSec = 44100;
    doc.m_header.wBitsPerSample = 16;
    doc.m_pData = static_cast<BYTE*>(std::malloc(frames * 2));
    for (int i = 0; i < frames; ++i) {  // bin 64 of 4096 and its odd harmonics
        const short v = (i / 32) % 2 ? 8000 : -8000;
        std::memcpy(doc.m_pData + 2 * i, &v, 2);
    }
    doc.m_pMono = doc.m_pData;
    doc.m_nSamples = frames;
    doc.m_nEndMark = frames - 1;

    WindowAnalysis analysis;
    view::FreqLevelPicker picker;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    EXPECT_FALSE(picker.OnLevelChanged(4, analysis).has_value()) << "nothing picked yet";
    EXPECT_EQ(analysis.m_nDetectLevel, 4) << "the level still changes";

    const FundamentalBoxes viewBoxes = analysis.Recalculate(doc, 5);
    ASSERT_FALSE(viewBoxes[0].empty());
    EXPECT_EQ(FormatFundamental(viewBoxes[0][0]), "689.1");
    const int viewScore = analysis.m_peakGroupScore[0];

    auto none = picker.OnLevelChanged(0, analysis);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE((*none)[0].empty());
    EXPECT_EQ(analysis.m_peakGroupScore[0], viewScore) << "the analysis' tables are untouched";
    auto again = picker.OnLevelChanged(5, analysis);
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ((*again)[0], viewBoxes[0]);
    EXPECT_EQ(picker.m_nMax, analysis.m_nSpectrumMax);

    // A new size frees the buffer the pick was in: nothing to re-pick until the next pick.
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 1024, sink));
    EXPECT_FALSE(picker.OnLevelChanged(5, analysis).has_value());
}
