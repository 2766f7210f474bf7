#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <tuple>
#include <utility>

#include "DocTestUtil.h"
#include "TestUtil.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

const std::string kGeneric = " へのアクセス中に不明なエラーが発生しました。";

struct Loaded {
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    BOOL ok = 0;
};

void Load(Loaded& l, const std::string& path) { l.ok = l.doc.OnOpenDocument(path); }

}  // namespace

TEST(WavFile, RoundTripsAreByteExact)
{
    TempDir dir;
    WavBytes stereo;
    stereo.data = Samples16({1, -1, 32767, -32768, 1000, -2000, 0, 5});
    WavBytes mono8;
    mono8.channels = 1;
    mono8.bits = 8;
    mono8.rate = 8000;
    mono8.data = std::string("\x80\x00\xff\x01\x7f", 5);  // odd frame count: no pad byte
    for (const WavBytes* w : {&stereo, &mono8}) {
        std::string bytes = w->Build();
        WriteFileBytes(dir.File("in.wav"), bytes);
        Loaded l;
        Load(l, dir.File("in.wav"));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.doc.m_bLock, 0);
        EXPECT_EQ(l.doc.m_strFileName, dir.File("in.wav"));
        ASSERT_TRUE(l.doc.OnSaveDocument(dir.File("out.WAV")));
        EXPECT_EQ(ReadFileBytes(dir.File("out.WAV")), bytes);
        EXPECT_TRUE(l.sink.m_messages.empty());
    }
    std::string odd = ReadFileBytes(dir.File("out.WAV"));
    EXPECT_EQ(odd.size(), 44u + 5u);
    std::uint32_t riffSize;
    std::memcpy(&riffSize, odd.data() + 4, 4);
    EXPECT_EQ(riffSize, 5u + 36u);
}

TEST(WavFile, ExtraFmtBytesAndForeignChunksAreSkippedAndNotWrittenBack)
{
    TempDir dir;
    WavBytes w;
    w.fmtExtra = std::string(2, '\0');  // the 18-byte fmt chunk with its size word
    w.between = "LIST";
    PutU32(w.between, 5);
    w.between += std::string("abcde\0", 6);  // odd size: its pad byte follows
    w.between += "fact";
    PutU32(w.between, 4);
    PutU32(w.between, 2);
    w.data = Samples16({10, 20, 30, 40});
    WavBytes canonical;
    canonical.data = w.data;
    // An odd fmt chunk is padded too.
    WavBytes oddFmt;
    oddFmt.fmtExtra = std::string("\x01\0", 2);
    oddFmt.fmtSizeField = 17;
    oddFmt.data = w.data;
    for (const WavBytes* in : {&w, &oddFmt}) {
        WriteFileBytes(dir.File("in.wav"), in->Build());
        Loaded l;
        Load(l, dir.File("in.wav"));
        ASSERT_TRUE(l.ok) << l.sink.m_messages.front();
        EXPECT_EQ(l.doc.m_nSamples, 2u);
        ASSERT_TRUE(l.doc.OnSaveDocument(dir.File("out.wav")));
        EXPECT_EQ(ReadFileBytes(dir.File("out.wav")), canonical.Build());
    }
}

// The format prompt's range: every rate a text import or a decoded file may give.
TEST(WavFile, RatesFromOneToOneMillionLoad)
{
    TempDir dir;
    for (std::uint32_t rate : {1u, 768000u, 1000000u}) {
        WavBytes w;
        w.rate = rate;
        w.data = Samples16({1, 2});
        WriteFileBytes(dir.File("in.wav"), w.Build());
        Loaded l;
        Load(l, dir.File("in.wav"));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.doc.m_header.nSamplesPerSec, rate);
    }
}

TEST(WavFile, DataChunkLongerThanTheFileKeepsTheWholeFramesThatAreThere)
{
    TempDir dir;
    for (std::uint32_t claimed : {100u, 0xFFFFFFF0u}) {
        WavBytes w;
        w.data = Samples16({1, 2, 3, 4, 5, 6}) + "\x07";  // 1.75 frames beyond the first
        w.dataSizeField = claimed;
        WriteFileBytes(dir.File("in.wav"), w.Build());
        Loaded l;
        Load(l, dir.File("in.wav"));
        ASSERT_TRUE(l.ok);
        EXPECT_EQ(l.doc.m_nSamples, 3u);
        EXPECT_EQ(l.doc.m_header.dataSize, 12u);
        EXPECT_EQ(std::memcmp(l.doc.m_pData, w.data.data(), 12), 0);
        EXPECT_EQ(l.doc.m_nEndMark, 2u);
    }
}

TEST(WavFile, DataChunkWithoutAWholeFrameLeavesNoTake)
{
    TempDir dir;
    WavBytes w;
    w.data = "\x01\x02\x03";
    WriteFileBytes(dir.File("in.wav"), w.Build());
    Loaded l;
    Load(l, dir.File("in.wav"));
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.doc.m_pData, nullptr);
    EXPECT_EQ(l.doc.m_nSamples, 0u);
    EXPECT_EQ(l.doc.m_nEndMark, 0u);
}

struct BadWav {
    const char* name;
    std::string bytes;
    std::string message;
};

class WavBadInput : public ::testing::TestWithParam<BadWav> {};

TEST_P(WavBadInput, FailsCleanlyWithItsMessages)
{
    TempDir dir;
    std::string path = dir.File("bad.wav");
    WriteFileBytes(path, GetParam().bytes);
    // Start from a document with a take: a failed load must not keep it.
    WavBytes good;
    good.data = Samples16({1, 2, 3, 4});
    WriteFileBytes(dir.File("good.wav"), good.Build());
    Loaded l;
    Load(l, dir.File("good.wav"));
    ASSERT_TRUE(l.ok);
    Load(l, path);
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.sink.m_messages, (std::vector<std::string>{GetParam().message, path + kGeneric}));
    EXPECT_EQ(l.doc.m_pData, nullptr);
    EXPECT_EQ(l.doc.m_pMono, nullptr);
    EXPECT_EQ(l.doc.m_nSamples, 0u);
    EXPECT_EQ(l.doc.m_strFileName, "");
}

namespace {

std::vector<BadWav> BadWavs()
{
    std::vector<BadWav> cases;
    auto add = [&](const char* name, const std::string& bytes, const char* message) {
        cases.push_back({name, bytes, message});
    };
    WavBytes base;
    base.data = Samples16({1, 2, 3, 4});
    const std::string good = base.Build();

    add("Empty", "", msg::kHeaderTooShort);
    add("HeaderCutShort", good.substr(0, 30), msg::kHeaderTooShort);
    WavBytes w = base;
    w.formatTag = 3;  // float samples
    add("FloatTag", w.Build(), msg::kNotPcm);
    w.formatTag = 0xFFFE;  // extensible, even with 16-bit samples
    add("ExtensibleTag", w.Build(), msg::kNotPcm);
    w = base;
    w.fmtSizeField = 14;
    add("FmtTooShort", w.Build(), msg::kHeaderTooShort);
    add("EndsBeforeData", good.substr(0, 36), msg::kNoDataChunk);
    add("EndsInsideChunkHeader", good.substr(0, 40), msg::kNoDataChunk);
    w = base;
    w.between = "LIST";
    PutU32(w.between, 0xFFFFFFF8u);  // position + size would wrap a 32-bit sum
    add("ChunkSizeOverflow", w.Build(), msg::kNoDataChunk);
    w = base;
    w.fmtSizeField = 0xFFFFFFF0u;
    add("HugeFmtSize", w.Build(), msg::kNoDataChunk);
    w = base;
    w.channels = 0;
    w.blockAlign = 2;
    add("NoChannels", w.Build(), msg::kUnsupportedWav);
    w = base;
    w.channels = 65;
    add("SixtyFiveChannels", w.Build(), msg::kUnsupportedWav);
    w = base;
    w.formatTag = 0xFFFE;
    w.fmtExtra = ExtensibleExtra(16, 2);  // ADPCM inside the extensible header
    add("ExtensibleAdpcm", w.Build(), msg::kNotPcm);
    w = base;
    w.formatTag = 3;
    w.bits = 24;
    w.blockAlign = 6;
    add("FloatOfTwentyFourBits", w.Build(), msg::kNotPcm);
    w = base;
    w.before = "JUNK";
    PutU32(w.before, 4);
    w.before += "abcd";
    std::string noFmt = w.Build();
    noFmt.replace(noFmt.find("fmt "), 4, "fmX ");
    add("ChunksButNoFmt", noFmt, msg::kHeaderTooShort);
    w = base;
    w.channels = 0xFFFF;  // the product of both overflows an int
    w.bits = 0xFFFF;
    w.blockAlign = 0xFFFF;
    add("HugeChannelsAndBits", w.Build(), msg::kUnsupportedWav);
    w = base;
    w.bits = 0;
    w.blockAlign = 4;
    add("ZeroBits", w.Build(), msg::kUnsupportedWav);
    add("Nonsense", std::string(100, '\xAB'), msg::kNotPcm);
    for (auto [name, offset, label] : {std::tuple{"NotRiff", 0, "XXXX"}, std::tuple{"BigEndianRiff", 0, "RIFX"},
                                       std::tuple{"NotWave", 8, "AVI "}, std::tuple{"NotFmt", 12, "fmt_"}}) {
        std::string relabelled = good;
        relabelled.replace(offset, 4, label);
        add(name, relabelled, msg::kHeaderTooShort);
    }
    for (auto [name, rate] : {std::pair{"RateZero", 0u}, std::pair{"RateAboveOneMillion", 1000001u},
                              std::pair{"RateHuge", 0xFFFFFFFFu}}) {
        w = base;
        w.rate = rate;
        add(name, w.Build(), msg::kUnsupportedWav);
    }
    return cases;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Table, WavBadInput, ::testing::ValuesIn(BadWavs()),
                         [](const auto& info) { return std::string(info.param.name); });

// Shapes the WAV reader declines but the decoder reads by their bits and channels (as other
// tools read them) become 16-bit takes that are told as decoded and never written over.
TEST(WavFile, ShapesTheReaderDeclinesAreReadByTheDecoder)
{
    TempDir dir;
    WavBytes base;
    base.data = Samples16({1, 2, 3, 4, 5, 6, 7, 8});
    WavBytes wrongAlign = base;
    wrongAlign.blockAlign = 0xFFFF;
    WavBytes zeroAlign = base;
    zeroAlign.blockAlign = 0;
    zeroAlign.formatTag = 1;
    WavBytes twelve = base;  // 12 valid bits in 2-byte containers
    twelve.bits = 12;
    twelve.blockAlign = 4;
    WavBytes wide = base;  // 24-bit samples in frames that claim 4 bytes
    wide.bits = 24;
    wide.blockAlign = 4;
    wide.data = std::string(12, '\x10');
    for (const WavBytes* w : {&wrongAlign, &zeroAlign, &twelve, &wide}) {
        std::string bytes = w->Build();
        if (w == &zeroAlign)
            bytes[32] = bytes[33] = 0;
        WriteFileBytes(dir.File("odd.wav"), bytes);
        Loaded l;
        Load(l, dir.File("odd.wav"));
        ASSERT_TRUE(l.ok) << (l.sink.m_messages.empty() ? "" : l.sink.m_messages[0]);
        EXPECT_EQ(l.doc.m_header.nChannels, 2);
        EXPECT_EQ(l.doc.m_header.wBitsPerSample, 16);
        EXPECT_EQ(l.doc.m_header.nBlockAlign, 4);
        EXPECT_GE(l.doc.m_nSamples, 1u);
        EXPECT_TRUE(l.doc.m_source.m_bForeign);
        EXPECT_TRUE(l.doc.IsProtectedTarget(dir.File("odd.wav")));
    }
}

TEST(WavFile, UnreadableOrMissingFileGivesTheGenericMessage)
{
    TempDir dir;
    Loaded l;
    Load(l, dir.File("missing.wav"));
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.sink.m_messages,
              (std::vector<std::string>{dir.File("missing.wav") + kGeneric + "\n" + std::strerror(ENOENT)}));
    Loaded d;
    std::filesystem::create_directory(dir.File("folder.wav"));
    Load(d, dir.File("folder.wav"));  // a folder opens, but reading it fails
    EXPECT_FALSE(d.ok);
    ASSERT_EQ(d.sink.m_messages.size(), 2u);
    EXPECT_EQ(d.sink.m_messages[0], msg::kReadFailed);
}
