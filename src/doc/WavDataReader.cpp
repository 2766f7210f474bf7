#include "doc/WavDataReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/Archive.h"
#include "doc/FileSignature.h"
#include "doc/TonmiraDoc.h"
#include "doc/WavFile.h"

namespace tonmira {

WavDataReader::~WavDataReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

WavDataReader::OpenResult WavDataReader::Open(CTonmiraDoc& doc, const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = fd < 0 ? errno : 0;
        if (fd >= 0)
            ::close(fd);
        doc.m_sink.Message(WithSystemReason(FormatArgs(msg::kAccessError, {path}), error));
        return OpenResult::Failed;
    }
    // The archive reads through a descriptor of its own, so this one keeps its offset at 0.
    int archiveFd = ::dup(fd);
    CArchive ar(archiveFd, CArchive::load, path);
    BYTE head[kSignatureBytes];
    const FileSignature signature = SignatureOf(head, ar.Peek(head, sizeof head));
    const char* decoder = nullptr;
    std::uint64_t claimed = 0;
    CapturingMessageSink declined;
    if (archiveFd < 0 || !ReadWavHeader(doc, ar, &decoder, &claimed, &declined)) {
        ::close(fd);
        // A file the WAV reader declines may still be one the document load decodes.
        if (signature.m_pszDemuxer && !ar.IsError() && DeclinesTheFormat(declined.m_messages))
            return OpenResult::NeedsConversion;
        for (const std::string& message : declined.m_messages)
            doc.m_sink.Message(message);
        doc.m_sink.Message(WithSystemReason(FormatArgs(msg::kAccessError, {path}), ar.LastError()));
        return OpenResult::Failed;
    }
    if (decoder) {
        ::close(fd);
        return OpenResult::NeedsConversion;
    }
    const std::uint64_t left = ar.BytesLeft();
    m_nDataOffset = static_cast<std::uint64_t>(st.st_size) - std::min<std::uint64_t>(left, st.st_size);
    // As the load: a data chunk that claims more than the file holds gives the whole frames there.
    const std::uint64_t frameBytes = doc.m_header.nBlockAlign;
    m_nDataBytes = std::min<std::uint64_t>(claimed, left) / frameBytes * frameBytes;
    doc.m_header.dataSize = m_nDataBytes < 0xFFFFFFFFu ? static_cast<DWORD>(m_nDataBytes) : 0xFFFFFFFFu;
    m_fd = fd;
    m_nSilence = doc.m_header.wBitsPerSample == 8 ? 0x80 : 0;
    // Read front to back: the kernel reads ahead and may drop what was read.
    ::posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return OpenResult::Opened;
}

namespace {
constexpr std::size_t kReadAhead = 1 << 20;
}  // namespace

std::size_t WavDataReader::ReadFile(BYTE* dst, std::size_t bytes, std::uint64_t offset) const
{
    std::size_t done = 0;
    while (done < bytes) {
        ssize_t got = ::pread(m_fd, dst + done, bytes - done, static_cast<off_t>(m_nDataOffset + offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool WavDataReader::Read(BYTE* dst, std::size_t bytes, std::uint64_t offset) const
{
    std::size_t done = 0;
    if (bytes >= kReadAhead) {
        done = ReadFile(dst, bytes, offset);
    } else {
        const bool inBlock = offset >= m_nBlockOffset && offset + bytes <= m_nBlockOffset + m_nBlockBytes;
        if (!inBlock) {
            m_block.resize(kReadAhead);
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(kReadAhead, m_nDataBytes - std::min(offset, m_nDataBytes)));
            m_nBlockOffset = offset;
            m_nBlockBytes = ReadFile(m_block.data(), std::max(want, bytes), offset);
        }
        const std::uint64_t start = offset - m_nBlockOffset;
        done = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, m_nBlockBytes - std::min<std::uint64_t>(start, m_nBlockBytes)));
        std::memcpy(dst, m_block.data() + start, done);
        // A short block (the file shrank) is read again next time rather than served stale.
        if (done < bytes)
            m_nBlockBytes = 0;
    }
    std::memset(dst + done, m_nSilence, bytes - done);
    return done == bytes;
}

}  // namespace tonmira
