// Reads of a WAV file's samples by offset, served from a read-ahead block.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "DocTestUtil.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "doc/WavDataReader.h"

namespace tonmira::test {

// Small reads forwards, backwards and across the read-ahead block, one read larger than the
// block, and the end of the data: every byte as the file holds it.
TEST(WavDataReader, ReadsByOffsetMatchTheFile)
{
    TempDir dir;
    WavBytes w;
    std::mt19937 random(3);
    w.data.resize(3 * (1 << 20) + 1000);  // three read-ahead blocks and a bit
    for (auto& c : w.data)
        c = static_cast<char>(random());
    w.between = "LIST";
    PutU32(w.between, 5);
    w.between += std::string(6, 'x');  // an odd chunk and its pad byte before the data
    const std::string path = dir.File("a.wav");
    WriteFileBytes(path, w.Build());

    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    WavDataReader reader;
    ASSERT_EQ(reader.Open(doc, path), WavDataReader::OpenResult::Opened);
    ASSERT_EQ(reader.DataBytes(), w.data.size());
    const std::uint64_t size = reader.DataBytes();
    const std::uint64_t block = 1 << 20;
    const std::pair<std::uint64_t, std::size_t> reads[] = {
        {0, 882}, {882, 882}, {block - 100, 400}, {100, 8}, {block + 5, 3 * 882},
        {4, (1 << 20) + 12}, {size - 10, 10}, {size - 2000, 1000}, {0, 1}};
    for (auto [offset, bytes] : reads) {
        std::vector<BYTE> got(bytes);
        ASSERT_TRUE(reader.Read(got.data(), bytes, offset)) << offset;
        ASSERT_EQ(std::string(got.begin(), got.end()), w.data.substr(offset, bytes)) << "offset " << offset;
    }
}

}  // namespace tonmira::test
