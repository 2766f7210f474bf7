#pragma once
// WAV files of uncompressed PCM (1 or 2 channels, 8 or 16 bit): the take's reader and the
// writer shared by the document save, the mono save and the event files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Types.h"
#include "doc/WavHeader.h"

namespace tonmira {

class CArchive;
class CTonmiraDoc;
class MessageSink;

// Sees the data of a WAV file while ReadWavFile reads it, a block at a time, so that it can work
// on each block while the block is still in the cache.
class WavDataSink {
public:
    virtual ~WavDataSink() = default;
    // Before the first block: the format (channels and bits checked: 1 or 2 of 8 or 16) and the
    // most bytes of data that will be read. False: no blocks are wanted.
    virtual bool Begin(const WavHeader& format, std::size_t bytes) = 0;
    // The first `read` bytes at data are read now (whole frames or not); read grows call by call.
    virtual void Read(const BYTE* data, std::size_t read) = 0;
};

// Reads a WAV file into an empty document: m_header, m_pData, m_nSamples, m_bLock = 0.
// Returns 0 after its message, with no take: also for labels other than RIFF/WAVE/"fmt " (the
// header message) and rates outside 1..kMaxSamplingRate (the format message). Chunks of odd size
// are skipped with their pad byte. A data chunk that claims more bytes than the file holds gives
// the whole frames that are there; a data chunk without a whole frame gives a document without a
// take (and returns 1). More frames than a take can count are refused with the memory message.
// With needsDecoder, chunks before the fmt chunk are skipped, RF64 and BW64 files (sizes in their
// ds64 chunk) are read, and a file of samples the take cannot hold as they are (24/32-bit
// integer, 32/64-bit float, extensible with either sub-format, more than two channels) sets
// *needsDecoder to the FFmpeg decoder of its samples ("pcm_s24le", "pcm_f32le", ...) and returns
// 1 without reading its data (once its data chunk is found): the caller decodes it. Otherwise
// *needsDecoder is null. Without needsDecoder only plain 8/16-bit PCM RIFF with fmt first is read.
// sink, when given, sees the data as it is read from a file of known length (not from a pipe).
// The messages go to messages when given, else to the document's sink.
BOOL ReadWavFile(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder = nullptr,
                 WavDataSink* sink = nullptr, MessageSink* messages = nullptr);

// The first part of ReadWavFile: the header's checks and the search for the data chunk, with the
// same messages and the same use of needsDecoder. Fills doc.m_header (dataSize as the file claims
// it, 0xFFFFFFFF for an RF64 file) and *dataBytes (when given) with the data chunk's size as the
// file claims it, and leaves ar at the first byte of the data; the document's take is not touched.
BOOL ReadWavHeader(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder = nullptr,
                   std::uint64_t* dataBytes = nullptr, MessageSink* messages = nullptr);

// True when messages, those of a failed ReadWavFile or ReadWavHeader, say that the reader
// declined the file's kind (not PCM, a shape it does not read, labels of another format) rather
// than that the file is damaged or could not be read: another reader may still take it.
bool DeclinesTheFormat(const std::vector<std::string>& messages);

// Fills every field of a canonical header for frames frames of the given format. When the data
// and the header do not fit the 32-bit sizes (past 4 GiB), riffId becomes "RF64" and both sizes
// 0xFFFFFFFF, as WriteWavData then writes them.
void FillWavHeader(WavHeader& header, WORD nChannels, DWORD nSamplesPerSec, WORD wBitsPerSample,
                   UINT frames);

// Writes frames frames of data in header's format: the 44 header bytes and the data, or, when
// they do not fit the 32-bit sizes, an RF64 file (WriteRf64Data). False after a write error.
bool WriteWavData(CArchive& ar, const WavHeader& header, const BYTE* data, UINT frames);

// Writes an RF64 file of frames frames, of any length: "RF64", a ds64 chunk with the 64-bit RIFF
// size, data size and frame count (no table), the 16-byte fmt chunk of header, and the data chunk
// with its 32-bit size 0xFFFFFFFF. No pad byte after odd-sized data. False after a write error.
bool WriteRf64Data(CArchive& ar, const WavHeader& header, const BYTE* data, UINT frames);

}  // namespace tonmira
