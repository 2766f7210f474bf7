#pragma once
// The chunk table a recording is captured into, owned so that every path frees it once.
#include <cstddef>
#include <vector>

#include "base/MallocBlock.h"
#include "base/Types.h"

namespace tonmira {

// Chunks of kChunkBuffers buffers filled in order. Chunks are never moved or copied while
// recording: only the table of chunk pointers grows, so a long recording costs one copy per
// buffer while it runs and one when it is moved into the take.
class RecordChunks {
public:
    static constexpr std::size_t kChunkBuffers = 128;

    // Copies one buffer of bufferBytes (the same for the whole recording) to the next place,
    // allocating the first chunk when there is none. False, nothing stored, when it cannot.
    bool Store(const BYTE* buffer, std::size_t bufferBytes);
    // Allocates the next chunk as soon as the last one is full, so that the next Store has a
    // place. False when it cannot; what is stored stays.
    bool ReserveNext(std::size_t bufferBytes);
    int Count() const { return static_cast<int>(m_chunks.size()); }
    // Copies bytes bytes, after skipping lead bytes, to out, freeing each chunk as soon as it is
    // copied (the take's new pages fill while the chunks' pages go back, so a long take is not
    // held twice); then empty.
    void MoveOut(BYTE* out, std::size_t lead, std::size_t bytes, std::size_t bufferBytes);
    void Clear();

private:
    std::vector<MallocBytes> m_chunks;
    std::size_t m_nStored = 0;  // buffers stored since the table was last empty
};

}  // namespace tonmira
