// CReader and CROStream on their own: the byte source, the error mapping, ranges and the
// reader's life cycle.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "WmaTestFiles.h"
#include "base/MessageSink.h"
#include "doc/ROStream.h"
#include "doc/Reader.h"

namespace tonmira {
namespace {

using test::TempDir;

TEST(WmaROStream, ReadsSeeksAndSizesARegularFile)
{
    TempDir dir;
    std::string path = dir.File("bytes.bin");
    test::WriteFileBytes(path, "0123456789");
    CROStream stream;
    ASSERT_EQ(stream.Open(path.c_str()), S_OK);

    std::uint64_t size = 0;
    EXPECT_EQ(stream.Stat(&size), S_OK);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(stream.Stat(nullptr), E_INVALIDARG);

    char buf[8] = {};
    DWORD got = 0;
    std::uint64_t pos = 0;
    EXPECT_EQ(stream.Seek(-3, 2, &pos), S_OK);
    EXPECT_EQ(pos, 7u);
    EXPECT_EQ(stream.Read(buf, sizeof buf, &got), S_OK);
    EXPECT_EQ(std::string(buf, got), "789");
    EXPECT_EQ(stream.Read(buf, sizeof buf, &got), S_OK);  // the end is not an error
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(stream.Seek(2, 0, nullptr), S_OK);
    EXPECT_EQ(stream.Seek(0, 3, &pos), E_INVALIDARG);
    EXPECT_EQ(stream.Seek(-20, 0, &pos), HResultFromErrno(EINVAL));
    EXPECT_EQ(stream.Write(buf, 1, &got), E_NOTIMPL);
}

TEST(WmaROStream, PositionsBeyondFourGigabytesAreNotCut)
{
    TempDir dir;
    std::string path = dir.File("sparse.bin");
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    const std::uint64_t big = (std::uint64_t{5} << 30) + 7;  // sparse: takes no disk space
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(big)), 0);
    ::close(fd);

    CROStream stream;
    ASSERT_EQ(stream.Open(path.c_str()), S_OK);
    std::uint64_t size = 0, pos = 0;
    EXPECT_EQ(stream.Stat(&size), S_OK);
    EXPECT_EQ(size, big);
    EXPECT_EQ(stream.Seek(static_cast<std::int64_t>(big - 1), 0, &pos), S_OK);
    EXPECT_EQ(pos, big - 1);
    EXPECT_EQ(stream.Seek(0, 2, &pos), S_OK);
    EXPECT_EQ(pos, big);
}

TEST(WmaReader, FfmpegErrorsMapToTheDocumentedCodes)
{
    EXPECT_EQ(HResultFromAvError(0), S_OK);
    EXPECT_EQ(HResultFromAvError(AVERROR_EOF), NS_E_NO_MORE_SAMPLES);
    EXPECT_EQ(HResultFromAvError(AVERROR(ENOMEM)), E_OUTOFMEMORY);
    EXPECT_EQ(HResultFromAvError(AVERROR(EINVAL)), E_INVALIDARG);
    EXPECT_EQ(HResultFromAvError(AVERROR(EIO)), static_cast<HRESULT>(0x80070005u));
    EXPECT_EQ(HResultFromAvError(AVERROR_INVALIDDATA), E_FAIL);
    EXPECT_EQ(HResultFromAvError(AVERROR_DECODER_NOT_FOUND), E_FAIL);
    EXPECT_EQ(HResultFromErrno(ENOMEM), E_OUTOFMEMORY);
    EXPECT_EQ(HResultFromErrno(0), E_FAIL);  // never a success by accident
}

TEST(WmaReader, TimeRangeLimitsTheDecodedFrames)
{
    TempDir dir;
    std::string path = dir.File("tone.wma");
    test::MakeToneWma(path, "wmav2", 1, 22050);
    CapturingMessageSink sink;
    CReader reader(sink);
    ASSERT_EQ(reader.Configure(200, 500, 0, 1, 0, 0), S_OK);
    ASSERT_EQ(reader.Open(path.c_str()), S_OK);
    ASSERT_EQ(reader.ReadSamples(), S_OK);
    // 300 ms, widened by at most one codec frame (2048 samples) at each end.
    EXPECT_GE(reader.m_nFrames, 6615u - 2048u);
    EXPECT_LE(reader.m_nFrames, 6615u + 2 * 2048u);
    EXPECT_LT(reader.m_nFrames, 22050u / 2);
}

TEST(WmaReader, CompressedSamplesEmptyRangesAndUnopenedReadsAreRefused)
{
    TempDir dir;
    std::string path = dir.File("tone.wma");
    test::MakeToneWma(path, "wmav1", 1, 22050, 0.3);
    CapturingMessageSink sink;
    CReader reader(sink);
    EXPECT_EQ(reader.ReadSamples(), E_UNEXPECTED);
    EXPECT_EQ(reader.Configure(500, 500, 0, 1, 0, 0), E_INVALIDARG);
    ASSERT_EQ(reader.Configure(0, 0, 1, 1, 0, 0), S_OK);
    ASSERT_EQ(reader.Open(path.c_str()), S_OK);
    EXPECT_EQ(reader.ReadSamples(), E_NOTIMPL);
    EXPECT_EQ(sink.m_messages, (std::vector<std::string>{"SetReadStreamSamples (hr=0x80004001).\n"}));
    EXPECT_EQ(reader.m_pBuffer, nullptr);
}

TEST(WmaReader, OneReaderOpensFileAfterFile)
{
    TempDir dir;
    std::string mono = dir.File("mono.wma"), stereo = dir.File("stereo.wma");
    test::MakeToneWma(mono, "wmav2", 1, 22050, 0.3);
    test::MakeToneWma(stereo, "wmav2", 2, 48000, 0.3);
    CapturingMessageSink sink;
    CReader reader(sink);
    ASSERT_EQ(reader.Open(mono.c_str()), S_OK);
    ASSERT_EQ(reader.ReadSamples(), S_OK);
    UINT monoFrames = reader.m_nFrames;
    // A second Open without Close lets go of the first file and its decoded block.
    ASSERT_EQ(reader.Open(stereo.c_str()), S_OK);
    EXPECT_EQ(reader.m_nFrames, 0u);
    EXPECT_EQ(reader.m_pBuffer, nullptr);
    ASSERT_EQ(reader.ReadSamples(), S_OK);
    EXPECT_EQ(reader.m_pFormat->nChannels, 2);
    EXPECT_EQ(reader.m_pFormat->nSamplesPerSec, 48000u);
    EXPECT_GT(reader.m_nFrames, monoFrames);
    EXPECT_EQ(reader.Close(), S_OK);
    EXPECT_EQ(reader.m_pReader, nullptr);
    EXPECT_EQ(reader.m_pStream, nullptr);
    EXPECT_NE(reader.m_pBuffer, nullptr);  // the decoded block outlives Close
    EXPECT_TRUE(sink.m_messages.empty());
}

// Each way Open can fail holds a different set of FFmpeg objects: a demuxer created but never
// opened, one the failed open freed itself, one opened but without a usable decoder. The same
// reader must let go of each (the ASan build's leak checker fails the test otherwise) and open
// the next file as if new.
TEST(WmaReader, EveryFailedOpenLetsGoOfItsObjectsAndTheNextOpenWorks)
{
    TempDir dir;
    std::string good = dir.File("good.flac");
    test::MakeWithFfmpeg("-f lavfi -i sine=f=1000:d=0.3:r=22050 -c:a flac", good);
    const std::string bytes = test::ReadFileBytes(good);
    ASSERT_GT(bytes.size(), 3000u);
    std::string cut = dir.File("cut.flac");
    test::WriteFileBytes(cut, bytes.substr(0, 3000));  // ends inside the metadata's padding

    struct Case {
        const char* demuxer;
        const char* decoder;
        std::string path;
        HRESULT hr;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"flac", nullptr, cut, E_FAIL, {"Could not open file (hr=0x80004005).\n"}},
        {"flac", nullptr, dir.File("missing.flac"), static_cast<HRESULT>(0x80070002u),
         {"Could not open file (hr=0x80070002).\n"}},
        {"no-such-container", nullptr, good, E_FAIL, {"Could not open file (hr=0x80004005).\n"}},
        {"flac", "no-such-decoder", good, E_FAIL,
         {"Could not get output props (hr=0X80004005)", "Could not get audio output (hr=0x80004005).\n"}},
        // A decoder that is created and then refuses to open on this stream.
        {"flac", "wmav2", good, E_INVALIDARG,
         {"Could not get output props (hr=0X80070057)", "Could not get audio output (hr=0x80070057).\n"}},
    };
    CapturingMessageSink sink;
    CReader reader(sink);
    for (const Case& c : cases) {
        sink.m_messages.clear();
        reader.m_pszDemuxer = c.demuxer;
        reader.m_pszDecoder = c.decoder;
        EXPECT_EQ(reader.Open(c.path.c_str()), c.hr) << c.path << " " << c.demuxer;
        EXPECT_EQ(sink.m_messages, c.messages) << c.path << " " << c.demuxer;

        sink.m_messages.clear();
        reader.m_pszDemuxer = "flac";
        reader.m_pszDecoder = nullptr;
        ASSERT_EQ(reader.Open(good.c_str()), S_OK) << "after " << c.path;
        ASSERT_EQ(reader.ReadSamples(), S_OK);
        EXPECT_EQ(reader.m_nFrames, 6615u);
        EXPECT_TRUE(sink.m_messages.empty());
    }
}

}  // namespace
}  // namespace tonmira
