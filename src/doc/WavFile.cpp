#include "doc/WavFile.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "doc/Archive.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/SampleBlock.h"
#include "doc/SamplingRateValidation.h"
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
// Bytes read at a time when a sink works on the data as it is read: well inside the cache.
constexpr std::size_t kSinkBlock = 256 * 1024;

// A chunk of odd size is followed by one pad byte that its size does not count.
std::uint64_t PaddedChunkSize(DWORD size) { return static_cast<std::uint64_t>(size) + (size & 1u); }

constexpr WORD kTagPcm = 1;
constexpr WORD kTagFloat = 3;
constexpr WORD kTagExtensible = 0xFFFE;
// cbSize, wValidBitsPerSample, dwChannelMask and the sub-format GUID after the 16 common bytes.
constexpr std::size_t kExtensibleBytes = 24;
// More channels than this are not mixed down: no recorder makes them, and a wild count in a
// damaged header must not reach the decoder.
constexpr WORD kMaxDecodedChannels = 64;

// The header is read as 36 bytes before it is known whether the fmt chunk comes first. When
// other chunks come first (JUNK, bext), the walk to the fmt chunk reads what is left of those
// bytes before it reads on in the archive.
class HeaderSource {
public:
    HeaderSource(CArchive& ar, const BYTE* kept, std::size_t n) : m_ar(ar), m_kept(kept), m_left(n) {}
    std::size_t Read(void* dest, std::size_t n)
    {
        std::size_t k = std::min(n, m_left);
        std::memcpy(dest, m_kept, k);
        m_kept += k;
        m_left -= k;
        return k < n ? k + m_ar.Read(static_cast<BYTE*>(dest) + k, n - k) : k;
    }
    void Skip(std::uint64_t n)
    {
        std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>(n, m_left));
        m_kept += k;
        m_left -= k;
        if (n > k)
            m_ar.Skip(n - k);
    }

private:
    CArchive& m_ar;
    const BYTE* m_kept;
    std::size_t m_left;
};

std::string Channels(int n) { return std::to_string(n) + (n == 1 ? " channel" : " channels"); }

BOOL Fail(MessageSink& messages, const char* message)
{
    messages.Message(message);
    return 0;
}

bool Is(const char* id, const char* label) { return std::memcmp(id, label, 4) == 0; }

// The ds64 chunk of an RF64 (BW64) file: after its 8-byte chunk header the 64-bit RIFF size,
// data size and sample count that stand for the 32-bit fields set to 0xFFFFFFFF, then the length
// of a table of further chunk sizes (none when we write it).
constexpr DWORD kDs64Bytes = 28;
constexpr std::size_t kDs64DataSizeAt = 8;
constexpr DWORD kSizeInDs64 = 0xFFFFFFFFu;

// Reads up to wanted bytes of format's data into a fresh block. The block never exceeds what
// the file holds, so a size field of gigabytes in a small file costs nothing. got receives the
// bytes read.
BYTE* ReadDataChunk(CArchive& ar, const WavHeader& format, std::uint64_t wanted, std::size_t& got, bool& noMemory,
                    WavDataSink* sink)
{
    got = 0;
    noMemory = false;
    std::uint64_t left = ar.BytesLeft();
    if (left != UINT64_MAX) {
        std::size_t size = static_cast<std::size_t>(std::min(wanted, left));
        BYTE* block = AllocateSampleBlock(size);
        if (!block) {
            noMemory = true;
            return nullptr;
        }
        if (!sink || !sink->Begin(format, size)) {
            got = ar.Read(block, size);
            return block;
        }
        while (got < size) {
            const std::size_t part = std::min(kSinkBlock, size - got);
            const std::size_t read = ar.Read(block + got, part);
            got += read;
            sink->Read(block, got);
            if (read < part)
                break;  // the end of the file or an error, as one read of the whole would stop
        }
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

BOOL ReadWavHeader(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder, std::uint64_t* dataBytes,
                   MessageSink* messages)
{
    MessageSink& out = messages ? *messages : doc.m_sink;
    WavHeader& h = doc.m_header;
    if (ar.Read(&h, kFormatBytes) != kFormatBytes)
        return Fail(out, ar.IsError() ? msg::kReadFailed : msg::kHeaderTooShort);
    // RF64 and BW64 files (takes past 4 GiB) give their sizes in a ds64 chunk before fmt.
    const bool rf64 = needsDecoder && (Is(h.riffId, "RF64") || Is(h.riffId, "BW64"));
    std::uint64_t rf64DataSize = 0;
    bool haveDs64 = false;
    if (needsDecoder) {
        *needsDecoder = nullptr;
        if ((Is(h.riffId, "RIFF") || rf64) && Is(h.waveId, "WAVE") && !Is(h.fmtId, "fmt ")) {
            // Broadcast Wave and recorder files put chunks (bext, JUNK, iXML) before fmt.
            BYTE kept[kFormatBytes - 12];
            std::memcpy(kept, reinterpret_cast<const BYTE*>(&h) + 12, sizeof kept);
            HeaderSource source(ar, kept, sizeof kept);
            for (;;) {
                if (source.Read(h.fmtId, kChunkHeaderBytes) != kChunkHeaderBytes)
                    return Fail(out, ar.IsError() ? msg::kReadFailed : msg::kHeaderTooShort);
                if (Is(h.fmtId, "fmt "))
                    break;
                std::uint64_t skip = PaddedChunkSize(h.fmtSize);
                if (rf64 && Is(h.fmtId, "ds64") && h.fmtSize >= kDs64Bytes) {
                    BYTE ds64[kDs64Bytes];
                    if (source.Read(ds64, sizeof ds64) != sizeof ds64)
                        return Fail(out, ar.IsError() ? msg::kReadFailed : msg::kHeaderTooShort);
                    std::memcpy(&rf64DataSize, ds64 + kDs64DataSizeAt, sizeof rf64DataSize);
                    haveDs64 = true;
                    skip -= sizeof ds64;
                }
                source.Skip(skip);
            }
            if (source.Read(&h.wFormatTag, 16) != 16)
                return Fail(out, ar.IsError() ? msg::kReadFailed : msg::kHeaderTooShort);
        }
    }
    // Without a decoder behind it, only plain PCM is read.
    const bool wider = needsDecoder && (h.wFormatTag == kTagFloat || h.wFormatTag == kTagExtensible);
    if (h.wFormatTag != kTagPcm && !wider)
        return Fail(out, msg::kNotPcm);
    if (h.fmtSize < 16)
        return Fail(out, msg::kHeaderTooShort);
    // Checked after the tag and the fmt size so that those keep their own messages; a file of
    // another kind that happens to carry a 1 there is still not taken for a WAV file.
    if (!(Is(h.riffId, "RIFF") || rf64) || !Is(h.waveId, "WAVE") || !Is(h.fmtId, "fmt "))
        return Fail(out, msg::kHeaderTooShort);
    WORD tag = h.wFormatTag;
    const bool extensible = tag == kTagExtensible;
    if (h.fmtSize > 16) {
        std::uint64_t extra = PaddedChunkSize(h.fmtSize) - 16;
        if (extensible && h.fmtSize >= 16 + kExtensibleBytes) {
            BYTE ext[kExtensibleBytes];
            if (ar.Read(ext, sizeof ext) != sizeof ext)
                return Fail(out, ar.IsError() ? msg::kReadFailed : msg::kNoDataChunk);
            extra -= kExtensibleBytes;
            // The sub-format GUID begins with the format tag it stands for.
            std::memcpy(&tag, ext + 8, sizeof tag);
        }
        ar.Skip(extra);
        h.fmtSize = 16;
    }
    if (extensible && tag == kTagExtensible)
        return Fail(out, msg::kNotPcm);  // no sub-format to say what the samples are
    if (tag != kTagPcm && tag != kTagFloat)
        return Fail(out, msg::kNotPcm);

    // In 32 bits: 65535 channels of 65535 bits overflow an int.
    const bool frameMatches = h.nChannels >= 1 && h.nBlockAlign == std::uint32_t(h.nChannels) * h.wBitsPerSample / 8 &&
                              h.wBitsPerSample % 8 == 0;
    const bool rateIsReal = h.nSamplesPerSec >= kMinSamplingRate && h.nSamplesPerSec <= kMaxSamplingRate;
    // Only shapes the take can hold: every later step (mono mix, playback, exports) relies
    // on 1 or 2 channels of 8 or 16 bits in frames of nBlockAlign bytes, and timing, the
    // device and the analysis on a rate that is a real one.
    const bool plain = tag == kTagPcm && (h.nChannels == 1 || h.nChannels == 2) &&
                       (h.wBitsPerSample == 8 || h.wBitsPerSample == 16) && frameMatches && rateIsReal;
    const char* decoder = nullptr;
    if (!plain) {
        // Wider integers, floats and more channels are converted by the decoder.
        const bool decodable =
            needsDecoder && frameMatches && h.nChannels <= kMaxDecodedChannels && rateIsReal &&
            ((tag == kTagPcm && (h.wBitsPerSample == 24 || h.wBitsPerSample == 32)) ||
             (tag == kTagPcm && h.nChannels > 2 && (h.wBitsPerSample == 8 || h.wBitsPerSample == 16)) ||
             (tag == kTagFloat && (h.wBitsPerSample == 32 || h.wBitsPerSample == 64)));
        if (!decodable)
            return Fail(out, tag == kTagFloat && rateIsReal ? msg::kNotPcm : msg::kUnsupportedWav);
        // Named here from the header, not left to the demuxer's guess: it takes 24 valid bits
        // in 4-byte containers for a float format.
        static constexpr const char* kInteger[] = {"pcm_u8", "pcm_s16le", "pcm_s24le", "pcm_s32le"};
        decoder = tag == kTagFloat ? (h.wBitsPerSample == 32 ? "pcm_f32le" : "pcm_f64le")
                                   : kInteger[h.wBitsPerSample / 8 - 1];
    } else {
        h.wFormatTag = kTagPcm;
        const char* kind = rf64 ? "WAV RF64 PCM, " : extensible ? "WAV extensible PCM, " : "WAV PCM, ";
        doc.m_source.m_strDescription =
            std::string(kind) + std::to_string(h.wBitsPerSample) + "-bit, " + Channels(h.nChannels);
    }

    // Also for a file the decoder reads: one that ends before its data is refused here, with the
    // message of a WAV file.
    for (;;) {
        if (ar.Read(h.dataId, kChunkHeaderBytes) != kChunkHeaderBytes)
            return Fail(out, ar.IsError() ? msg::kReadFailed : msg::kNoDataChunk);
        if (Is(h.dataId, "data"))
            break;
        // Skip counts in 64 bits and stops at the end of the file, so no size can wrap.
        ar.Skip(PaddedChunkSize(h.dataSize));
    }
    if (needsDecoder)
        *needsDecoder = decoder;
    if (dataBytes)
        *dataBytes = haveDs64 && h.dataSize == kSizeInDs64 ? rf64DataSize : h.dataSize;
    return 1;
}

BOOL ReadWavFile(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder, WavDataSink* sink,
                 MessageSink* messages)
{
    MessageSink& out = messages ? *messages : doc.m_sink;
    std::uint64_t dataBytes = 0;
    if (!ReadWavHeader(doc, ar, needsDecoder, &dataBytes, messages))
        return 0;
    WavHeader& h = doc.m_header;
    const UINT frameBytes = h.nBlockAlign;
    // A take counts its frames in 32 bits: a longer file cannot become one. What the file really
    // holds counts, not what a damaged size field claims.
    const std::uint64_t frameLimit = static_cast<std::uint64_t>(std::numeric_limits<UINT>::max()) * frameBytes;
    if (std::min(dataBytes, ar.BytesLeft()) > frameLimit)
        return Fail(out, msg::kMallocFailed);
    if (needsDecoder && *needsDecoder) {
        // Nothing for the decoder to decode: a document without a take, as below.
        if (std::min(dataBytes, ar.BytesLeft()) < frameBytes) {
            *needsDecoder = nullptr;
            doc.m_bLock = 0;
            h.dataSize = 0;
        }
        return 1;
    }
    std::size_t got = 0;
    bool noMemory = false;
    BYTE* data = ReadDataChunk(ar, h, std::min(dataBytes, frameLimit), got, noMemory, sink);
    if (noMemory)
        return Fail(out, msg::kMallocFailed);
    if (ar.IsError()) {
        std::free(data);
        return Fail(out, msg::kReadFailed);
    }
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
    // A data chunk cut short by the end of the file keeps only what was really there; a size past
    // the 32-bit field reads as an RF64 file writes it.
    const std::uint64_t bytes = static_cast<std::uint64_t>(frames) * frameBytes;
    h.dataSize = bytes <= kSizeInDs64 ? static_cast<DWORD>(bytes) : kSizeInDs64;
    return 1;
}

bool DeclinesTheFormat(const std::vector<std::string>& messages)
{
    if (messages.size() != 1)
        return false;
    const std::string& m = messages.front();
    return m == msg::kNotPcm || m == msg::kHeaderTooShort || m == msg::kUnsupportedWav;
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
    const std::uint64_t bytes = static_cast<std::uint64_t>(header.nBlockAlign) * frames;
    if (bytes + 36 > kSizeInDs64) {
        // The sizes of a take past 4 GiB live in the ds64 chunk; these fields say so.
        std::memcpy(header.riffId, "RF64", 4);
        header.dataSize = kSizeInDs64;
        header.riffSize = kSizeInDs64;
        return;
    }
    header.dataSize = static_cast<DWORD>(bytes);
    header.riffSize = header.dataSize + 36;
}

bool WriteWavData(CArchive& ar, const WavHeader& header, const BYTE* data, UINT frames)
{
    const std::uint64_t bytes = static_cast<std::uint64_t>(header.nBlockAlign) * frames;
    if (bytes + 36 > kSizeInDs64)
        return WriteRf64Data(ar, header, data, frames);
    if (!ar.Write(&header, sizeof header))
        return false;
    if (bytes > 0 && !ar.Write(data, static_cast<std::size_t>(bytes)))
        return false;
    return ar.Flush();
}

bool WriteRf64Data(CArchive& ar, const WavHeader& header, const BYTE* data, UINT frames)
{
    const std::uint64_t bytes = static_cast<std::uint64_t>(header.nBlockAlign) * frames;
    std::string head;
    auto put32 = [&head](std::uint32_t v) { head.append(reinterpret_cast<const char*>(&v), sizeof v); };
    auto put64 = [&head](std::uint64_t v) { head.append(reinterpret_cast<const char*>(&v), sizeof v); };
    head += "RF64";
    put32(kSizeInDs64);
    head += "WAVE";
    head += "ds64";
    put32(kDs64Bytes);
    // Everything after the RIFF size field: "WAVE", the ds64, fmt and data chunk headers, the data.
    put64(4 + (8 + kDs64Bytes) + (8 + 16) + 8 + bytes);
    put64(bytes);
    put64(frames);
    put32(0);  // no table: no other chunk needs a 64-bit size
    head += "fmt ";
    put32(16);
    head.append(reinterpret_cast<const char*>(&header.wFormatTag), 16);
    head += "data";
    put32(kSizeInDs64);
    if (!ar.Write(head.data(), head.size()))
        return false;
    if (bytes > 0 && !ar.Write(data, static_cast<std::size_t>(bytes)))
        return false;
    return ar.Flush();
}

}  // namespace tonmira
