#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "audio/RecordChunks.h"

namespace tonmira {
namespace {

// Buffers of 4 bytes numbered by their bytes 0, 1, 2, ...: whatever leaves the chunks must be
// the same run of numbers, from any lead, across chunk boundaries, up to a partial last chunk.
TEST(RecordChunksTest, MovesOutTheStoredBytesFromAnyLeadAcrossChunks)
{
    constexpr std::size_t kBufferBytes = 4;
    const std::size_t buffers = 2 * RecordChunks::kChunkBuffers + 5;
    std::vector<BYTE> source(buffers * kBufferBytes);
    std::iota(source.begin(), source.end(), BYTE{0});

    for (const std::size_t lead : {std::size_t{0}, std::size_t{3}, RecordChunks::kChunkBuffers * kBufferBytes + 1}) {
        RecordChunks chunks;
        for (std::size_t b = 0; b < buffers; ++b) {
            ASSERT_TRUE(chunks.Store(source.data() + b * kBufferBytes, kBufferBytes));
            ASSERT_TRUE(chunks.ReserveNext(kBufferBytes));
        }
        EXPECT_EQ(chunks.Count(), 3);
        const std::size_t bytes = source.size() - lead;
        std::vector<BYTE> out(bytes + 1, 0xEE);
        chunks.MoveOut(out.data(), lead, bytes, kBufferBytes);
        EXPECT_TRUE(std::equal(out.begin(), out.end() - 1, source.begin() + static_cast<std::ptrdiff_t>(lead)))
            << "lead " << lead;
        EXPECT_EQ(out.back(), 0xEE) << "nothing written past the bytes asked for";
        EXPECT_EQ(chunks.Count(), 0);
    }
}

// The next chunk is had as soon as one is full; a table emptied by Clear starts again at the
// first place of a new chunk.
TEST(RecordChunksTest, ReservesTheNextChunkWhenOneIsFullAndStartsOverAfterClear)
{
    RecordChunks chunks;
    const BYTE buffer[2] = {7, 9};
    for (std::size_t b = 0; b < RecordChunks::kChunkBuffers; ++b) {
        ASSERT_TRUE(chunks.Store(buffer, 2));
        ASSERT_TRUE(chunks.ReserveNext(2));
    }
    EXPECT_EQ(chunks.Count(), 2);
    chunks.Clear();
    const BYTE other[2] = {1, 2};
    ASSERT_TRUE(chunks.Store(other, 2));
    EXPECT_EQ(chunks.Count(), 1);
    BYTE out[2] = {};
    chunks.MoveOut(out, 0, 2, 2);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], 2);
}

}  // namespace
}  // namespace tonmira
