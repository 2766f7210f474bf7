#pragma once
// What the first bytes of a file say it is, for files whose name does not say it (a name without
// one of the known extensions) or says it wrongly (a ".wav" the WAV reader declines). Only
// signatures no text file starts with are recognised.
#include <cstddef>

#include "base/Types.h"

namespace tonmira {

// The bytes a signature needs at most (a big-endian WAV's format is read from its fmt chunk).
inline constexpr std::size_t kSignatureBytes = 36;

struct FileSignature {
    // True for RIFF, RF64 and BW64 WAVE files: the program's own WAV reader reads them first.
    bool m_bWav = false;
    // The FFmpeg demuxer that reads the file ("wav", "aiff", "au", "flac", "ogg", "mp3", "mp4",
    // "asf"); null when the bytes are of no known audio file.
    const char* m_pszDemuxer = nullptr;
    // The FFmpeg decoder of the samples when the demuxer would take the wrong one: FFmpeg reads
    // the samples of a big-endian WAV (RIFX) as little-endian. Null: the demuxer's choice.
    const char* m_pszDecoder = nullptr;
};

// head holds the first n bytes of the file (fewer than kSignatureBytes when the file is shorter).
FileSignature SignatureOf(const BYTE* head, std::size_t n);

}  // namespace tonmira
