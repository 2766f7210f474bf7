#pragma once
// WAV files of uncompressed PCM (1 or 2 channels, 8 or 16 bit): the take's reader and the
// writer shared by the document save, the mono save and the event files.
#include "base/Types.h"
#include "doc/WavHeader.h"

namespace tonmira {

class CArchive;
class CTonmiraDoc;

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
BOOL ReadWavFile(CTonmiraDoc& doc, CArchive& ar, const char** needsDecoder = nullptr);

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
