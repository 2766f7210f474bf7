#pragma once
// The samples of a WAV file read from the disk piece by piece, for recordings too long to hold in
// memory (the offline collection of an archive of many hours): memory stays that of the pieces.
#include <cstdint>
#include <string>
#include <vector>

#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;

class WavDataReader {
public:
    WavDataReader() = default;
    ~WavDataReader();
    WavDataReader(const WavDataReader&) = delete;
    WavDataReader& operator=(const WavDataReader&) = delete;

    enum class OpenResult {
        Opened,
        Failed,
        // Samples the take cannot hold as they are (24-bit, float, more channels), or a file the
        // WAV reader declines that the decoder may read (mu-law, big-endian): the document load
        // converts them, so such a file is loaded, not read piece by piece.
        NeedsConversion,
    };
    // Opens path as the document load would read it as a WAV file: the same checks and the same
    // messages (the reading's own, then the generic file error), on doc's sink. Once opened doc's
    // m_header holds the format and its dataSize the bytes of whole frames there are (0xFFFFFFFF
    // past 4 GiB: DataBytes() has them all); the take is not loaded. path must be a regular file
    // (the data is read by offset).
    OpenResult Open(CTonmiraDoc& doc, const std::string& path);

    // Bytes of sample data: whole frames, at most what the file holds.
    std::uint64_t DataBytes() const { return m_nDataBytes; }

    // Copies bytes of sample data from byte offset `offset` into dst (offset + bytes <= DataBytes()).
    // Returns false after a read error or when the file has shrunk; the part not read is silence.
    // One thread at a time.
    bool Read(BYTE* dst, std::size_t bytes, std::uint64_t offset) const;

private:
    // Reads at most bytes from the data at offset into dst; the bytes read.
    std::size_t ReadFile(BYTE* dst, std::size_t bytes, std::uint64_t offset) const;

    int m_fd = -1;
    std::uint64_t m_nDataOffset = 0;
    std::uint64_t m_nDataBytes = 0;
    BYTE m_nSilence = 0;  // the sample value of silence, for what could not be read
    // Read ahead in blocks: the offline collection asks for a few hundred bytes at a time, and a
    // system call for each cost more than all the rest of the collection.
    mutable std::vector<BYTE> m_block;
    mutable std::uint64_t m_nBlockOffset = 0;
    mutable std::size_t m_nBlockBytes = 0;
};

}  // namespace tonmira
