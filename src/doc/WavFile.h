#pragma once
// WAV files of uncompressed PCM (1 or 2 channels, 8 or 16 bit): the take's reader and the
// writer shared by the document save, the mono save and the event files.
#include <cstddef>

#include "base/Types.h"
#include "doc/WavHeader.h"

namespace tonmira {

class CArchive;
class CTonmiraDoc;

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
// header message) and rates of 0 or above 768000 (the format message). Chunks of odd size are
// skipped with their pad byte. A data chunk that claims more bytes than the
// file holds gives the whole frames that are there; a data chunk without a whole frame
// gives a document without a take (and returns 1).
// With needsDecoder, chunks before the fmt chunk are skipped, and a file of samples the take
// cannot hold as they are (24/32-bit integer, 32/64-bit float, extensible with either sub-format,
// more than two channels) sets *needsDecoder to the FFmpeg decoder of its samples ("pcm_s24le",
// "pcm_f32le", ...) and returns 1 without reading its data: the caller decodes it. Otherwise
// *needsDecoder is null. Without needsDecoder only plain 8/16-bit PCM with fmt first is read.
// sink, when given, sees the data as it is read from a file of known length (not from a pipe).
BOOL ReadWavFile(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder = nullptr,
                 WavDataSink* sink = nullptr);

// The first part of ReadWavFile: the header's checks and the search for the data chunk, with the
// same messages and the same use of needsDecoder. Fills doc.m_header (dataSize as the file claims
// it) and leaves ar at the first byte of the data (not when *needsDecoder was set); the
// document's take is not touched.
BOOL ReadWavHeader(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder = nullptr);

// Fills every field of a canonical header for frames frames of the given format.
void FillWavHeader(WavHeader& header, WORD nChannels, DWORD nSamplesPerSec, WORD wBitsPerSample,
                   UINT frames);

// Writes the 44 header bytes and header.dataSize bytes of data. False after a write error.
bool WriteWavData(CArchive& ar, const WavHeader& header, const BYTE* data);

}  // namespace tonmira
