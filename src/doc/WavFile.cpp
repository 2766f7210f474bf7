#include "doc/WavFile.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "doc/Archive.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

static_assert(std::endian::native == std::endian::little,
              "WavHeader is read and written as it lies in memory");

namespace {

// The part of the header before the data chunk: riffId .. wBitsPerSample.
constexpr std::size_t kFormatBytes = 36;
constexpr std::size_t kChunkHeaderBytes = 8;
// Step for a stream whose length is unknown (a pipe): grow as data arrives.
constexpr std::size_t kStreamStep = 1 << 20;
// The highest rate a file may claim: what current audio interfaces offer at most.
constexpr DWORD kMaxSamplesPerSec = 768000;

// A chunk of odd size is followed by one pad byte that its size does not count.
std::uint64_t PaddedChunkSize(DWORD size) { return static_cast<std::uint64_t>(size) + (size & 1u); }

BOOL Fail(CTonmiraDoc& doc, const char* message)
{
    doc.m_sink.Message(message);
    return 0;
}

// Reads up to wanted bytes into a fresh block. The block never exceeds what the file holds,
// so a size field of gigabytes in a small file costs nothing. got receives the bytes read.
BYTE* ReadDataChunk(CArchive& ar, std::uint64_t wanted, std::size_t& got, bool& noMemory)
{
    got = 0;
    noMemory = false;
    std::uint64_t left = ar.BytesLeft();
    if (left != UINT64_MAX) {
        std::size_t size = static_cast<std::size_t>(std::min(wanted, left));
        BYTE* block = static_cast<BYTE*>(std::malloc(size ? size : 1));
        if (!block) {
            noMemory = true;
            return nullptr;
        }
        got = ar.Read(block, size);
        return block;
    }
    BYTE* block = nullptr;
    std::size_t capacity = 0;
    while (got < wanted) {
        std::size_t next = static_cast<std::size_t>(std::min<std::uint64_t>(wanted, capacity + kStreamStep));
        BYTE* grown = static_cast<BYTE*>(std::realloc(block, next));
        if (!grown) {
            std::free(block);
            noMemory = true;
            return nullptr;
        }
        block = grown;
        capacity = next;
        std::size_t part = ar.Read(block + got, capacity - got);
        got += part;
        if (got < capacity)
            break;
    }
    if (!block)
        block = static_cast<BYTE*>(std::malloc(1));
    if (!block)
        noMemory = true;
    return block;
}

}  // namespace

BOOL ReadWavFile(CTonmiraDoc& doc, CArchive& ar)
{
    WavHeader& h = doc.m_header;
    if (ar.Read(&h, kFormatBytes) != kFormatBytes)
        return Fail(doc, ar.IsError() ? msg::kReadFailed : msg::kHeaderTooShort);
    if (h.wFormatTag != 1)
        return Fail(doc, msg::kNotPcm);
    if (h.fmtSize < 16)
        return Fail(doc, msg::kHeaderTooShort);
    // Checked after the tag and the fmt size so that those keep their own messages; a file of
    // another kind that happens to carry a 1 there is still not taken for a WAV file.
    if (std::memcmp(h.riffId, "RIFF", 4) != 0 || std::memcmp(h.waveId, "WAVE", 4) != 0 ||
        std::memcmp(h.fmtId, "fmt ", 4) != 0)
        return Fail(doc, msg::kHeaderTooShort);
    if (h.fmtSize > 16) {
        ar.Skip(PaddedChunkSize(h.fmtSize) - 16);
        h.fmtSize = 16;
    }
    // Only shapes the take can hold: every later step (mono mix, playback, exports) relies
    // on 1 or 2 channels of 8 or 16 bits in frames of nBlockAlign bytes, and timing, the
    // device and the analysis on a rate that is a real one.
    if ((h.nChannels != 1 && h.nChannels != 2) || (h.wBitsPerSample != 8 && h.wBitsPerSample != 16) ||
        h.nBlockAlign != h.nChannels * h.wBitsPerSample / 8 || h.nSamplesPerSec == 0 ||
        h.nSamplesPerSec > kMaxSamplesPerSec)
        return Fail(doc, msg::kUnsupportedWav);

    for (;;) {
        if (ar.Read(h.dataId, kChunkHeaderBytes) != kChunkHeaderBytes)
            return Fail(doc, ar.IsError() ? msg::kReadFailed : msg::kNoDataChunk);
        if (std::memcmp(h.dataId, "data", 4) == 0)
            break;
        // Skip counts in 64 bits and stops at the end of the file, so no size can wrap.
        ar.Skip(PaddedChunkSize(h.dataSize));
    }

    std::size_t got = 0;
    bool noMemory = false;
    BYTE* data = ReadDataChunk(ar, h.dataSize, got, noMemory);
    if (noMemory)
        return Fail(doc, msg::kMallocFailed);
    if (ar.IsError()) {
        std::free(data);
        return Fail(doc, msg::kReadFailed);
    }
    UINT frameBytes = h.nBlockAlign;
    UINT frames = static_cast<UINT>(got / frameBytes);
    doc.m_bLock = 0;
    if (frames == 0) {
        // Nothing to hold: a document without a take rather than a take of zero frames.
        std::free(data);
        h.dataSize = 0;
        return 1;
    }
    doc.m_pData = data;
    doc.m_nSamples = frames;
    // A data chunk cut short by the end of the file keeps only what was really there.
    h.dataSize = frames * frameBytes;
    return 1;
}

void FillWavHeader(WavHeader& header, WORD nChannels, DWORD nSamplesPerSec, WORD wBitsPerSample,
                   UINT frames)
{
    std::memcpy(header.riffId, "RIFF", 4);
    std::memcpy(header.waveId, "WAVE", 4);
    std::memcpy(header.fmtId, "fmt ", 4);
    std::memcpy(header.dataId, "data", 4);
    header.fmtSize = 16;
    header.wFormatTag = 1;
    header.nChannels = nChannels;
    header.nSamplesPerSec = nSamplesPerSec;
    header.wBitsPerSample = wBitsPerSample;
    header.nBlockAlign = static_cast<WORD>(nChannels * wBitsPerSample / 8);
    header.nAvgBytesPerSec = header.nBlockAlign * nSamplesPerSec;
    header.dataSize = header.nBlockAlign * frames;
    header.riffSize = header.dataSize + 36;
}

bool WriteWavData(CArchive& ar, const WavHeader& header, const BYTE* data)
{
    if (!ar.Write(&header, sizeof header))
        return false;
    if (header.dataSize > 0 && !ar.Write(data, header.dataSize))
        return false;
    return ar.Flush();
}

}  // namespace tonmira
