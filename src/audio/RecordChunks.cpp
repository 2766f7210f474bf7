#include "audio/RecordChunks.h"

#include <cstring>
#include <new>

namespace tonmira {

namespace {

// A new chunk at the end of the table; false (table unchanged) when memory runs out.
bool AddChunk(std::vector<MallocBytes>& chunks, std::size_t chunkBytes)
{
    MallocBytes chunk(static_cast<BYTE*>(std::malloc(chunkBytes)));
    if (!chunk)
        return false;
    try {
        chunks.push_back(std::move(chunk));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

bool RecordChunks::Store(const BYTE* buffer, std::size_t bufferBytes)
{
    if (m_chunks.empty() && !AddChunk(m_chunks, kChunkBuffers * bufferBytes))
        return false;
    BYTE* chunk = m_chunks.back().get();
    std::memcpy(chunk + (m_nStored % kChunkBuffers) * bufferBytes, buffer, bufferBytes);
    ++m_nStored;
    return true;
}

bool RecordChunks::ReserveNext(std::size_t bufferBytes)
{
    if (m_nStored % kChunkBuffers != 0)
        return true;
    return AddChunk(m_chunks, kChunkBuffers * bufferBytes);
}

void RecordChunks::MoveOut(BYTE* out, std::size_t lead, std::size_t bytes, std::size_t bufferBytes)
{
    const std::size_t chunkBytes = kChunkBuffers * bufferBytes;
    for (MallocBytes& chunk : m_chunks) {
        const std::size_t from = lead < chunkBytes ? lead : chunkBytes;
        lead -= from;
        const std::size_t n = bytes < chunkBytes - from ? bytes : chunkBytes - from;
        if (n)
            std::memcpy(out, chunk.get() + from, n);
        chunk.reset();
        out += n;
        bytes -= n;
    }
    Clear();
}

void RecordChunks::Clear()
{
    m_chunks.clear();
    m_nStored = 0;
}

}  // namespace tonmira
