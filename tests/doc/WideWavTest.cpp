// WAV files as recorders write them: chunks before fmt, the extensible header, 24/32-bit
// integers, floats and more than two channels, all loaded as 16-bit takes of 1-2 channels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "DocTestUtil.h"
#include "TestUtil.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

using namespace tonmira;
using namespace tonmira::test;

namespace {

struct Loaded {
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    BOOL ok = 0;
    std::vector<int> Samples() const
    {
        std::vector<int> v(static_cast<std::size_t>(doc.m_nSamples) * doc.m_header.nChannels);
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::int16_t s;
            std::memcpy(&s, doc.m_pData + 2 * i, 2);
            v[i] = s;
        }
        return v;
    }
};

void LoadBytes(Loaded& l, TempDir& dir, const std::string& bytes, const char* name = "in.wav")
{
    WriteFileBytes(dir.File(name), bytes);
    l.ok = l.doc.OnOpenDocument(dir.File(name));
}

std::string Samples24(std::initializer_list<int> values, bool inFourBytes)
{
    std::string s;
    for (int v : values) {
        auto u = static_cast<std::uint32_t>(v) << (inFourBytes ? 8 : 0);
        for (int i = 0; i < (inFourBytes ? 4 : 3); ++i)
            s += static_cast<char>((u >> (8 * i)) & 0xff);
    }
    return s;
}

template <typename T>
std::string Raw(std::initializer_list<T> values)
{
    std::string s;
    for (T v : values)
        s.append(reinterpret_cast<const char*>(&v), sizeof v);
    return s;
}

}  // namespace

TEST(WideWav, ExtensibleSixteenBitAndChunksBeforeFmtGiveThePlainTakeUnconverted)
{
    TempDir dir;
    WavBytes plain;
    plain.data = Samples16({1, -1, 32767, -32768, 1000, -2000});
    Loaded reference;
    LoadBytes(reference, dir, plain.Build(), "plain.wav");
    ASSERT_TRUE(reference.ok);

    WavBytes extensible = plain;
    extensible.formatTag = 0xFFFE;
    extensible.fmtExtra = ExtensibleExtra(16, 1);
    WavBytes broadcast = plain;
    broadcast.before = "JUNK";
    PutU32(broadcast.before, 3);
    broadcast.before += std::string("xyz\0", 4);  // odd size: followed by its pad byte
    broadcast.before += "bext";
    PutU32(broadcast.before, 602);
    broadcast.before += std::string(602, 'b');
    WavBytes both = broadcast;
    both.formatTag = 0xFFFE;
    both.fmtExtra = ExtensibleExtra(16, 1);
    WavBytes tinyFirst = plain;  // a first chunk shorter than the bytes read before the walk
    tinyFirst.before = "abcd";
    PutU32(tinyFirst.before, 2);
    tinyFirst.before += "zz";
    for (const WavBytes* w : {&extensible, &broadcast, &both, &tinyFirst}) {
        Loaded l;
        LoadBytes(l, dir, w->Build());
        ASSERT_TRUE(l.ok) << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
        EXPECT_EQ(l.Samples(), reference.Samples());
        EXPECT_EQ(l.doc.m_header.nChannels, 2);
        EXPECT_EQ(l.doc.m_header.wBitsPerSample, 16);
        EXPECT_FALSE(l.doc.m_source.IsConverted()) << l.doc.m_source.m_strConversion;
        // Saved back, it is the plain file: 16-byte fmt, tag 1, nothing before it.
        ASSERT_TRUE(l.doc.OnSaveDocument(dir.File("out.wav")));
        EXPECT_EQ(ReadFileBytes(dir.File("out.wav")), plain.Build());
    }
    Loaded l;
    LoadBytes(l, dir, extensible.Build());
    EXPECT_EQ(l.doc.m_source.m_strDescription, "WAV extensible PCM, 16-bit, 2 channels");
}

TEST(WideWav, WiderIntegersAreRoundedToSixteenBitsWithoutClipping)
{
    TempDir dir;
    // Full scale both ways, 1 LSB, and fractions of an LSB either side of one half.
    const std::initializer_list<int> v24 = {0x7FFFFF, -0x800000, 0x100, 0xC0, -0xC0, 0x40, 0x17F};
    const std::vector<int> expected = {32767, -32768, 1, 1, -1, 0, 1};
    WavBytes packed;
    packed.channels = 1;
    packed.rate = 96000;
    packed.bits = 24;
    packed.data = Samples24(v24, false);
    WavBytes container = packed;  // 24 valid bits in 4-byte containers, as extensible says
    container.formatTag = 0xFFFE;
    container.bits = 32;
    container.fmtExtra = ExtensibleExtra(24, 1);
    container.data = Samples24(v24, true);
    WavBytes int32 = container;
    int32.formatTag = 1;
    int32.fmtExtra.clear();
    for (const WavBytes* w : {&packed, &container, &int32}) {
        Loaded l;
        LoadBytes(l, dir, w->Build());
        ASSERT_TRUE(l.ok) << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
        EXPECT_EQ(l.Samples(), expected);
        EXPECT_EQ(l.doc.m_header.nSamplesPerSec, 96000u);
        EXPECT_EQ(l.doc.m_header.wBitsPerSample, 16);
        EXPECT_EQ(l.doc.m_source.m_nClipped, 0u);
        EXPECT_NE(l.doc.m_source.m_strConversion.find("to 16-bit with rounding"), std::string::npos)
            << l.doc.m_source.m_strConversion;
    }
}

TEST(WideWav, FloatsBeyondFullScaleAreClippedAndCounted)
{
    TempDir dir;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    WavBytes f32;
    f32.formatTag = 3;
    f32.channels = 1;
    f32.bits = 32;
    f32.data = Raw<float>({1.0f, -1.0f, 0.5f, 1.5f, -2.0f, nan, 1.0f / 65536});
    WavBytes f64 = f32;
    f64.formatTag = 0xFFFE;
    f64.bits = 64;
    f64.fmtExtra = ExtensibleExtra(64, 3);
    f64.data = Raw<double>({1.0, -1.0, 0.5, 1.5, -2.0, std::nan(""), 1.0 / 65536});
    for (const WavBytes* w : {&f32, &f64}) {
        Loaded l;
        LoadBytes(l, dir, w->Build());
        ASSERT_TRUE(l.ok) << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
        // Full scale itself is not a clip; a NaN becomes silence; half an LSB rounds to even.
        EXPECT_EQ(l.Samples(), (std::vector<int>{32767, -32768, 16384, 32767, -32768, 0, 0}));
        EXPECT_EQ(l.doc.m_source.m_nClipped, 2u);
        EXPECT_NE(l.doc.m_source.m_strConversion.find("2 samples clipped"), std::string::npos)
            << l.doc.m_source.m_strConversion;
        EXPECT_TRUE(l.sink.m_messages.empty());
    }
}

TEST(WideWav, MoreChannelsAreMixedDownToStereoAndTheSourceIsProtected)
{
    TempDir dir;
    WavBytes six;
    six.channels = 6;
    std::string data;
    for (int i = 0; i < 1000; ++i)
        for (int c = 0; c < 6; ++c)
            PutU16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(i % 2 ? 8000 : -8000)));
    six.data = data;
    Loaded l;
    LoadBytes(l, dir, six.Build(), "six.wav");
    ASSERT_TRUE(l.ok) << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
    EXPECT_EQ(l.doc.m_header.nChannels, 2);
    EXPECT_EQ(l.doc.m_nSamples, 1000u);
    EXPECT_GT(l.doc.m_nPeak, 0);
    EXPECT_NE(l.doc.m_source.m_strConversion.find("6 channels mixed down to 2"), std::string::npos);

    // The converted source is never replaced by its conversion, under any of its names.
    const std::string original = ReadFileBytes(dir.File("six.wav"));
    for (const std::string& same : {dir.File("six.wav"), dir.Path().string() + "/./six.wav"}) {
        EXPECT_TRUE(l.doc.IsProtectedTarget(same));
        EXPECT_FALSE(l.doc.OnSaveDocument(same));
        EXPECT_FALSE(l.doc.OnSaveMonoData(same));
    }
    EXPECT_EQ(ReadFileBytes(dir.File("six.wav")), original);
    EXPECT_EQ(l.doc.ProposedSaveName(), dir.File("six-16bit.wav"));
    EXPECT_FALSE(l.doc.IsProtectedTarget(dir.File("six-16bit.wav")));
    EXPECT_TRUE(l.doc.OnSaveDocument(l.doc.ProposedSaveName()));
}

TEST(WideWav, EveryCountUpTo64ChannelsOpensAsStereo)
{
    // A count FFmpeg names a layout for keeps its downmix; any other goes odd-numbered channels
    // left, even-numbered right, each side the mean: channel c holds c * 100 (odd) or -c * 50.
    TempDir dir;
    for (int channels = 3; channels <= 64; ++channels) {
        WavBytes w;
        w.channels = channels;
        for (int c = 1; c <= channels; ++c)
            PutU16(w.data, static_cast<std::uint16_t>(static_cast<std::int16_t>(c % 2 ? c * 100 : -c * 50)));
        Loaded l;
        LoadBytes(l, dir, w.Build());
        ASSERT_TRUE(l.ok) << channels << " " << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
        EXPECT_EQ(l.doc.m_header.nChannels, 2) << channels;
        AVChannelLayout named{};
        av_channel_layout_default(&named, channels);
        if (named.order != AV_CHANNEL_ORDER_NATIVE)  // means of 1, 3, 5, ... and of 2, 4, 6, ...
            EXPECT_EQ(l.Samples(), (std::vector<int>{(channels + 1) / 2 * 100, -(channels / 2 + 1) * 50})) << channels;
        EXPECT_EQ(l.doc.m_source.m_nClipped, 0u);
    }
}
