#pragma once
// Import of a file FFmpeg decodes into the document: WMA (paths ending in "WMA"), the other
// formats the program only reads, and the WAV files the plain WAV reader hands over.
#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;
class MessageSink;

// Decodes doc.m_strFileName and makes it the take: fills m_pData, m_nSamples and the format
// fields of m_header (nChannels, nSamplesPerSec, wBitsPerSample, nBlockAlign, nAvgBytesPerSec).
// Returns 1 on success; 0 after its messages went to the document's sink, with no take left.
// The caller runs the common steps after a load; m_bLock is not touched.
BOOL LoadWmaFile(CTonmiraDoc& doc);

// The same for a file of the FFmpeg container demuxer ("flac", "ogg", "wav", ...). The take is
// always 16-bit PCM of one or two channels at the file's own rate; doc.m_source tells what the
// file held and what the load changed (wider or floating-point samples rounded, clips counted,
// more channels mixed down to stereo).
// decoder, when given, names the FFmpeg decoder of the stream instead of the demuxer's choice.
// The messages go to messages when given, else to the document's sink. doc.m_source marks the
// take as read from a file of a format the program never writes (m_bForeign).
BOOL LoadDecodedFile(CTonmiraDoc& doc, const char* demuxer, const char* decoder = nullptr,
                     MessageSink* messages = nullptr);

}  // namespace tonmira
