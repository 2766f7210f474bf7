#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "DocTestUtil.h"
#include "TestUtil.h"
#include "base/MessageSink.h"
#include "doc/LoadMix.h"
#include "doc/MonoMix.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

struct Case {
    const char* name;
    std::uint16_t channels;
    std::uint16_t bits;
    std::size_t dataBytes;       // bytes of data in the file (a partial frame at the end allowed)
    std::uint32_t claimedExtra;  // the data chunk claims this many bytes more than the file holds
};

// The whole-take mix of the first frames of data by the mix functions, with the 8-bit spare byte.
std::vector<BYTE> WholeMix(const std::string& data, const Case& c, UINT frames, int balance, int& peak)
{
    float left, right;
    BalanceWeights(balance, left, right);
    std::vector<BYTE> mono(OneChannelBytes(frames, c.bits));
    const BYTE* in = reinterpret_cast<const BYTE*>(data.data());
    if (c.bits == 16) {
        peak = MixStereo16(in, frames, left, right, mono.data(), 0);
    } else {
        peak = MixStereo8(in, frames, left, right, mono.data(), 0);
        mono[frames] = 128;
    }
    return mono;
}

}  // namespace

// The load mixes a two-channel take block by block as it reads it: whatever the block boundaries,
// a partial last block, a partial frame, a data chunk longer than the file, 8 or 16 bits, the
// take, the mono buffer, its peak and the buffers made from them afterwards (another balance,
// the reverse) are those of the mix of the whole take once read; one-channel takes are their own.
TEST(LoadMix, BlockwiseLoadEqualsTheMixOfTheWholeTake)
{
    const Case cases[] = {
        {"16-bit stereo, last block partial", 2, 16, 3 * 256 * 1024 + 5 * 4, 0},
        {"8-bit stereo, odd frames", 2, 8, 2 * 200001, 0},
        {"16-bit stereo, partial frame, chunk longer than the file", 2, 16, 70001 * 4 + 3, 1000},
        {"8-bit stereo, one frame", 2, 8, 2, 0},
        {"16-bit mono", 1, 16, 2 * 300007, 0},
        {"8-bit mono, chunk longer than the file", 1, 8, 99999, 7},
        {"16-bit stereo, buffers large enough for huge pages", 2, 16, (std::size_t{33} << 20) + 4 * 3, 0},
    };
    TempDir dir;
    std::mt19937 random(12);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WavBytes w;
        w.channels = c.channels;
        w.bits = c.bits;
        w.data.resize(c.dataBytes);
        for (auto& b : w.data)
            b = static_cast<char>(random());
        if (c.bits == 16 && c.dataBytes >= 16) {
            // The extremes of the range and an odd negative sum, which must round toward zero.
            const std::int16_t edges[] = {-32768, -32768, 32767, -32768, -1, -2};
            std::memcpy(&w.data[c.dataBytes / 2 & ~std::size_t{3}], edges, sizeof edges);
        }
        w.dataSizeField = static_cast<std::uint32_t>(c.dataBytes + c.claimedExtra);
        WriteFileBytes(dir.File("in.wav"), w.Build());

        CapturingMessageSink sink;
        CTonmiraDoc doc(sink);
        ASSERT_TRUE(doc.OnOpenDocument(dir.File("in.wav")));
        EXPECT_TRUE(sink.m_messages.empty());
        const std::size_t frameBytes = c.channels * c.bits / 8;
        const UINT frames = static_cast<UINT>(c.dataBytes / frameBytes);
        ASSERT_EQ(doc.m_nSamples, frames);
        EXPECT_EQ(doc.m_header.dataSize, frames * frameBytes);
        ASSERT_EQ(std::memcmp(doc.m_pData, w.data.data(), frames * frameBytes), 0);
        EXPECT_EQ(doc.m_nBalance, 50);
        if (c.channels == 1) {
            EXPECT_EQ(doc.m_pMono, doc.m_pData);
            EXPECT_EQ(doc.m_nPeak, 0);
            continue;
        }
        int peak = 0;
        std::vector<BYTE> expected = WholeMix(w.data, c, frames, 50, peak);
        ASSERT_NE(doc.m_pMono, nullptr);
        EXPECT_EQ(doc.m_nPeak, peak);
        EXPECT_EQ(std::memcmp(doc.m_pMono, expected.data(), expected.size()), 0);

        ASSERT_TRUE(doc.BuildReverseBuffer());
        std::vector<BYTE> reverse(doc.m_pReverse, doc.m_pReverse + expected.size());
        const std::size_t width = c.bits / 8;
        for (UINT i = 0; i < frames; ++i)
            ASSERT_EQ(std::memcmp(&reverse[i * width], &expected[(frames - 1 - std::size_t{i}) * width], width), 0);

        doc.m_nBalance = 30;
        ASSERT_TRUE(doc.BuildMonoBuffer());
        expected = WholeMix(w.data, c, frames, 30, peak);
        EXPECT_EQ(std::memcmp(doc.m_pMono, expected.data(), expected.size()), 0);
        EXPECT_EQ(doc.m_nPeak, peak);
        EXPECT_TRUE(sink.m_messages.empty());
    }
}

// The reader may hand over any amount at a time, frames cut in two included: the mix is still
// that of the whole take, and it is handed over only for exactly the frames that were mixed.
TEST(LoadMix, AnySplitOfTheReadGivesTheWholeMix)
{
    std::mt19937 random(3);
    for (std::uint16_t bits : {8, 16}) {
        const Case c{"", 2, bits, 0, 0};
        std::string data(4 * 10007 + 3, '\0');
        for (auto& b : data)
            b = static_cast<char>(random());
        WavHeader format{};
        FillWavHeader(format, 2, 44100, bits, 0);
        const UINT frames = static_cast<UINT>(data.size() / format.nBlockAlign);
        int peak = 0;
        const std::vector<BYTE> expected = WholeMix(data, c, frames, 50, peak);
        for (bool complete : {true, false}) {
            LoadMix mix(50);
            ASSERT_TRUE(mix.Begin(format, data.size()));
            std::size_t read = 0;
            while (read < data.size()) {
                read = std::min(data.size(), read + 1 + random() % 997);
                mix.Read(reinterpret_cast<const BYTE*>(data.data()), complete ? read : std::min(read, data.size() - 5));
            }
            int got = 7;
            BYTE* mono = mix.Take(frames, got);
            if (!complete) {
                EXPECT_EQ(mono, nullptr);
                EXPECT_EQ(got, 7);
                continue;
            }
            ASSERT_NE(mono, nullptr);
            EXPECT_EQ(got, std::max(7, peak));
            EXPECT_EQ(std::memcmp(mono, expected.data(), expected.size()), 0);
            std::free(mono);
        }
    }
}
