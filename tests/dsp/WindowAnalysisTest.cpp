#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

using namespace tonmira;

namespace {

// A mono take at 44100 Hz; 8-bit frames are stored as value + 128.
void MakeTake(CTonmiraDoc& doc, const std::vector<short>& frames, int bits = 16)
{
    doc.m_header.nChannels = 1;
    doc.m_header.nSamplesPerSec = 44100;
    doc.m_header.wBitsPerSample = static_cast<WORD>(bits);
    doc.m_pData = static_cast<BYTE*>(std::malloc(frames.size() * 2));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (bits == 16)
            std::memcpy(doc.m_pData + 2 * i, &frames[i], 2);
        else
            doc.m_pData[i] = static_cast<BYTE>(frames[i] + 128);
    }
    doc.m_pMono = doc.m_pData;
    doc.m_nSamples = static_cast<UINT>(frames.size());
}

}  // namespace

TEST(WindowAnalysis, SizesPositionAndShortTakes)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    MakeTake(doc, std::vector<short>(5000, 1000));
    WindowAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    EXPECT_EQ(analysis.m_nFftSize, 4096);

    doc.m_nPosition = 900;
    analysis.Recalculate(doc, 5);
    EXPECT_EQ(analysis.m_pSpectrum[0], 64000);  // DC 1000 x sqrt(4096)
    EXPECT_EQ(analysis.m_nSpectrumMax, 64000);
    // Only frames inside the take are fed, and a position near the top must not wrap.
    doc.m_nPosition = 4000;
    EXPECT_EQ(analysis.FeedFromTake(doc), 1000);
    doc.m_nPosition = 0xFFFFFFF0u;
    EXPECT_EQ(analysis.FeedFromTake(doc), 0);

    EXPECT_FALSE(analysis.SetFftSize(1000, sink));
    EXPECT_FALSE(analysis.SetFftSize(262144, sink));
    // A window longer than the take puts the position at 0.
    doc.m_nPosition = 3000;
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 8192, sink));
    EXPECT_EQ(doc.m_nPosition, 0u);
    doc.m_nPosition = 3000;
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 4096, sink));
    EXPECT_EQ(doc.m_nPosition, 904u);

    EXPECT_FALSE(WindowAnalysis::FftSizeFitsTake(doc, 8192, sink));
    EXPECT_TRUE(WindowAnalysis::FftSizeFitsTake(doc, 4096, sink));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"データ数が足りません! データ数 = 5000"});

    // Without a take nothing is transformed and the boxes are empty.
    CTonmiraDoc empty(sink);
    empty.m_header.nSamplesPerSec = 8000;
    WindowAnalysis idle;
    ASSERT_TRUE(idle.InitialUpdate(empty, sink));
    EXPECT_EQ(idle.m_nFftSize, 512);
    EXPECT_TRUE(idle.Recalculate(empty, 5)[0].empty());
}

TEST(WindowAnalysis, EightBitTakeAndCaptureBlocks)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    MakeTake(doc, std::vector<short>(1024, -100), 8);
    WindowAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    ASSERT_TRUE(analysis.ChangeFftSize(doc, 1024, sink));
    analysis.Recalculate(doc, 5);
    EXPECT_EQ(analysis.m_pSpectrum[0], 3200);  // 100 x 32: no rescaling to 16 bits

    EXPECT_EQ(WindowAnalysis::CaptureDivisor(16, false, 500), 32768);
    EXPECT_EQ(WindowAnalysis::CaptureDivisor(16, true, 500), 500);
    EXPECT_EQ(WindowAnalysis::CaptureDivisor(8, true, 5), 1);  // 5 x 128 / 1000 would be 0
    std::vector<BYTE> stereo(4 * 1024 + 3);
    for (int i = 0; i < 1024; ++i) {
        const short left = 1000, right = 3001;
        std::memcpy(&stereo[4 * i], &left, 2);
        std::memcpy(&stereo[4 * i + 2], &right, 2);
    }
    auto dc = [&](const std::vector<BYTE>& block, DWORD bytes, int channels, int bits, int divisor) {
        EXPECT_EQ(analysis.FeedFromCaptureBlock(block.data(), bytes, channels, bits, divisor), 1024);
        analysis.TransformAndPick(5, 44100, bits);
        return analysis.m_pSpectrum[0];
    };
    EXPECT_EQ(dc(stereo, static_cast<DWORD>(stereo.size()), 2, 16, 32768), 2000 * 32);  // frames averaged
    EXPECT_EQ(dc(stereo, 4 * 1024, 2, 16, 100), 32767 * 32);  // limited, not wrapped
    EXPECT_EQ(dc(std::vector<BYTE>(2048, 255), 2048, 2, 8, 128), 127 * 32);
    EXPECT_EQ(analysis.FeedFromCaptureBlock(stereo.data(), 3, 2, 16, 32768), 0);  // no whole frame
}

