// RF64 and BW64: the layout a take past 4 GiB is written in, read back by the program and by
// FFmpeg, and the RF64 files FFmpeg writes read by the program. Small takes in the same layout
// stand for the large ones (the test of a real take past 4 GiB is in the CLI tests).
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "DocTestUtil.h"
#include "TestUtil.h"
#include "base/MessageSink.h"
#include "doc/Archive.h"
#include "doc/TonmiraDoc.h"
#include "doc/WavDataReader.h"
#include "doc/WavFile.h"
#include "doc/WmaTestFiles.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

// Decodes path with the ffmpeg command to raw 16-bit samples; "" when ffmpeg fails.
std::string FfmpegSamples(const TempDir& dir, const std::string& path)
{
    const std::string raw = dir.File("ffmpeg.raw");
    std::string command = "ffmpeg -nostdin -hide_banner -v error -y -i " + ShellQuote(path) +
                          " -f s16le -c:a pcm_s16le " + ShellQuote(raw) + " </dev/null";
    int status = std::system(command.c_str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "";
    return ReadFileBytes(raw);
}

std::string TakeBytes(const CTonmiraDoc& doc)
{
    return std::string(reinterpret_cast<const char*>(doc.m_pData), std::size_t(doc.m_nSamples) * doc.FrameBytes());
}

}  // namespace

TEST(Rf64, WrittenTakesReadBackWholeHereAndInFfmpegUnderEitherLabel)
{
    TempDir dir;
    std::string samples;
    for (int i = 0; i < 2 * 1001; ++i)
        PutU16(samples, static_cast<std::uint16_t>(i * 37 - 20000));
    WavHeader header{};
    FillWavHeader(header, 2, 48000, 16, 1001);
    const std::string rf64 = dir.File("take.wav");
    {
        CArchive ar(::open(rf64.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), CArchive::store, rf64);
        ASSERT_TRUE(WriteRf64Data(ar, header, reinterpret_cast<const BYTE*>(samples.data()), 1001));
        ASSERT_TRUE(ar.Close());
    }
    // A chunk after the data, as recorders append them: only the ds64 size tells where the data ends.
    std::string written = ReadFileBytes(rf64);
    ASSERT_EQ(written.substr(0, 4), "RF64");
    written += "junk";
    PutU32(written, 4);
    written += "abcd";
    WriteFileBytes(rf64, written);
    std::string bw64 = written;
    bw64.replace(0, 4, "BW64");
    WriteFileBytes(dir.File("take-bw64.wav"), bw64);
    EXPECT_EQ(FfmpegSamples(dir, rf64), samples);

    for (const char* name : {"take.wav", "take-bw64.wav"}) {
        CapturingMessageSink sink;
        CTonmiraDoc doc(sink);
        ASSERT_TRUE(doc.OnOpenDocument(dir.File(name))) << name << (sink.m_messages.empty() ? "" : sink.m_messages[0]);
        EXPECT_EQ(doc.m_nSamples, 1001u);
        EXPECT_EQ(doc.m_header.nSamplesPerSec, 48000u);
        EXPECT_EQ(TakeBytes(doc), samples);
        EXPECT_FALSE(doc.m_source.IsConverted());
        // The collection reads the same samples from the disk.
        CTonmiraDoc format(sink);
        WavDataReader reader;
        ASSERT_EQ(reader.Open(format, dir.File(name)), WavDataReader::OpenResult::Opened);
        ASSERT_EQ(reader.DataBytes(), samples.size());
        std::string read(samples.size(), '\0');
        ASSERT_TRUE(reader.Read(reinterpret_cast<BYTE*>(read.data()), read.size(), 0));
        EXPECT_EQ(read, samples);
        // Saved again it is the plain file it fits into.
        ASSERT_TRUE(doc.OnSaveDocument(dir.File("again.wav")));
        EXPECT_EQ(ReadFileBytes(dir.File("again.wav")).substr(0, 4), "RIFF");
    }
}

TEST(Rf64, FilesFfmpegWritesLoadWithTheirSamples)
{
    TempDir dir;
    const std::string plain = dir.File("plain.wav"), rf64 = dir.File("rf64.wav");
    MakeWithFfmpeg("-f lavfi -i sine=f=440:d=0.5:r=44100 -c:a pcm_s16le -ac 2 -fflags +bitexact", plain);
    MakeWithFfmpeg("-i " + ShellQuote(plain) + " -c:a pcm_s16le -rf64 always", rf64);
    ASSERT_EQ(ReadFileBytes(rf64).substr(0, 4), "RF64");
    CapturingMessageSink sink;
    CTonmiraDoc reference(sink), doc(sink);
    ASSERT_TRUE(reference.OnOpenDocument(plain));
    ASSERT_TRUE(doc.OnOpenDocument(rf64)) << (sink.m_messages.empty() ? "" : sink.m_messages[0]);
    EXPECT_EQ(doc.m_nSamples, reference.m_nSamples);
    EXPECT_EQ(TakeBytes(doc), TakeBytes(reference));
}
