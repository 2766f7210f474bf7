#pragma once
// A buffered file archive: the one way the document reads and writes its files.
// Loading archives read through a 64 KiB buffer; large reads bypass the buffer and go
// straight into the destination. Storing archives collect writes and flush in large blocks.
// Errors of the file layer are sticky: once IsError() is true the archive does nothing more.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Types.h"

namespace tonmira {

class CArchive {
public:
    enum Mode { load, store };

    // Takes ownership of the open descriptor fd. fileName is the path the document sees
    // (for a save through a temporary file, the target path, not the temporary one).
    CArchive(int fd, Mode mode, std::string fileName);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    const std::string& GetFileName() const { return m_strFileName; }
    bool IsError() const { return m_bError; }
    // The system's error number (errno) of the first failed read, write or close; 0 when none
    // failed or the failure had no number.
    int LastError() const { return m_nError; }

    // A loading archive stops reading once *cancel is true (set from any thread): reads then
    // fail with ECANCELED. Large reads are split so that the flag is looked at every few MiB.
    void SetCancelFlag(const std::atomic<bool>* cancel) { m_pCancel = cancel; }
    // A loading archive adds the bytes it takes from the file (read or skipped) to *progress,
    // for a progress bar on another thread.
    void SetProgress(std::atomic<std::uint64_t>* progress) { m_pProgress = progress; }

    // Reads up to n bytes; returns the bytes read. Fewer than n means the end of the file
    // or a read error (then IsError() is true).
    std::size_t Read(void* buffer, std::size_t n);
    // Copies up to n (at most 64 KiB) of the next bytes into buffer without consuming them: the
    // next Read or ReadString starts with the same bytes. Returns the bytes copied; fewer than n
    // at the end of the file or after a read error.
    std::size_t Peek(void* buffer, std::size_t n);
    // Reads one line of at most nMax characters into line (without its line end).
    // A line ends at LF, or at CR, which also consumes the character after it; a longer
    // line is returned in pieces of nMax. Returns false at the end of the file with nothing
    // read, or on a read error.
    bool ReadString(std::string& line, std::size_t nMax);
    // Moves n bytes forward without reading them into memory where the file can seek.
    // Moving past the end is allowed: the next Read returns 0.
    void Skip(std::uint64_t n);
    // Bytes between the read position and the end of a regular file; UINT64_MAX when the
    // descriptor is not a regular file (a pipe, a device).
    std::uint64_t BytesLeft() const;

    // Writes n bytes; false after a write error.
    bool Write(const void* buffer, std::size_t n);
    bool WriteString(const std::string& text) { return Write(text.data(), text.size()); }
    // Hands buffered bytes to the operating system; false after any write error.
    bool Flush();
    // Flushes (storing) and closes the descriptor; false if anything failed on the way.
    bool Close();

private:
    bool FillBuffer();
    std::size_t ReadDirect(BYTE* dest, std::size_t n);
    bool WriteDirect(const BYTE* src, std::size_t n);
    void Fail(int error);

    int m_fd;
    Mode m_mode;
    std::string m_strFileName;
    bool Cancelled();
    void Advanced(std::uint64_t bytes);

    const std::atomic<bool>* m_pCancel = nullptr;
    std::atomic<std::uint64_t>* m_pProgress = nullptr;
    bool m_bError = false;
    int m_nError = 0;
    bool m_bEof = false;
    std::vector<BYTE> m_buffer;
    std::size_t m_nBufPos = 0;  // loading: next unread byte in m_buffer
    std::size_t m_nBufLen = 0;  // loading: valid bytes in m_buffer; storing: bytes waiting
};

}  // namespace tonmira
