#include "doc/Archive.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tonmira {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
// read() and write() move at most this much per call on Linux; larger requests loop.
constexpr std::size_t kMaxIo = 0x7ffff000;
// A cancellable load reads at most this much between two looks at its flag.
constexpr std::size_t kCancellableIo = 16 * 1024 * 1024;
}  // namespace

CArchive::CArchive(int fd, Mode mode, std::string fileName)
    : m_fd(fd), m_mode(mode), m_strFileName(std::move(fileName)), m_buffer(kBufferSize)
{
    if (m_fd < 0)
        m_bError = true;
}

CArchive::~CArchive()
{
    Close();
}

std::size_t CArchive::ReadDirect(BYTE* dest, std::size_t n)
{
    std::size_t done = 0;
    const std::size_t most = m_pCancel ? kCancellableIo : kMaxIo;
    while (done < n && !m_bEof && !m_bError && !Cancelled()) {
        ssize_t got = ::read(m_fd, dest + done, std::min(n - done, most));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        } else if (got == 0) {
            m_bEof = true;
        } else {
            done += static_cast<std::size_t>(got);
            Advanced(static_cast<std::uint64_t>(got));
        }
    }
    return done;
}

bool CArchive::FillBuffer()
{
    m_nBufPos = 0;
    m_nBufLen = 0;
    while (m_nBufLen == 0 && !m_bEof && !m_bError && !Cancelled()) {
        ssize_t got = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (got < 0) {
            if (errno != EINTR)
                Fail(errno);
        } else if (got == 0) {
            m_bEof = true;
        } else {
            m_nBufLen = static_cast<std::size_t>(got);
            Advanced(static_cast<std::uint64_t>(got));
        }
    }
    return m_nBufLen > 0;
}

std::size_t CArchive::Read(void* buffer, std::size_t n)
{
    // Checked here too: a peek may already hold a small file whole, so no read would see the flag.
    if (m_mode != load || m_fd < 0 || Cancelled())
        return 0;
    BYTE* dest = static_cast<BYTE*>(buffer);
    std::size_t buffered = std::min(n, m_nBufLen - m_nBufPos);
    std::memcpy(dest, m_buffer.data() + m_nBufPos, buffered);
    m_nBufPos += buffered;
    std::size_t done = buffered;
    if (done == n)
        return done;
    // Large requests go straight into the caller's memory: one copy, few system calls.
    if (n - done >= m_buffer.size())
        return done + ReadDirect(dest + done, n - done);
    while (done < n && FillBuffer()) {
        std::size_t part = std::min(n - done, m_nBufLen);
        std::memcpy(dest + done, m_buffer.data(), part);
        m_nBufPos = part;
        done += part;
    }
    return done;
}

std::size_t CArchive::Peek(void* buffer, std::size_t n)
{
    if (m_mode != load || m_fd < 0)
        return 0;
    n = std::min(n, m_buffer.size());
    if (m_nBufLen - m_nBufPos < n) {
        // Move what is left to the front and read behind it; a pipe may give a little at a time.
        std::memmove(m_buffer.data(), m_buffer.data() + m_nBufPos, m_nBufLen - m_nBufPos);
        m_nBufLen -= m_nBufPos;
        m_nBufPos = 0;
        while (m_nBufLen < n && !m_bEof && !m_bError) {
            ssize_t got = ::read(m_fd, m_buffer.data() + m_nBufLen, m_buffer.size() - m_nBufLen);
            if (got < 0) {
                if (errno != EINTR)
                    m_bError = true;
            } else if (got == 0) {
                m_bEof = true;
            } else {
                m_nBufLen += static_cast<std::size_t>(got);
                Advanced(static_cast<std::uint64_t>(got));
            }
        }
    }
    const std::size_t k = std::min(n, m_nBufLen - m_nBufPos);
    std::memcpy(buffer, m_buffer.data() + m_nBufPos, k);
    return k;
}

bool CArchive::ReadString(std::string& line, std::size_t nMax)
{
    line.clear();
    if (m_mode != load || m_fd < 0 || Cancelled())
        return false;
    bool readAny = false;
    while (line.size() < nMax) {
        if (m_nBufPos == m_nBufLen && !FillBuffer())
            break;
        char ch = static_cast<char>(m_buffer[m_nBufPos++]);
        readAny = true;
        if (ch == '\n')
            break;
        if (ch == '\r') {
            // CR takes the next character with it, whatever it is.
            if (m_nBufPos < m_nBufLen || FillBuffer())
                ++m_nBufPos;
            break;
        }
        line += ch;
    }
    return readAny && !m_bError;
}

void CArchive::Skip(std::uint64_t n)
{
    if (m_mode != load || m_fd < 0 || m_bError)
        return;
    std::uint64_t buffered = std::min<std::uint64_t>(n, m_nBufLen - m_nBufPos);
    m_nBufPos += static_cast<std::size_t>(buffered);
    n -= buffered;
    if (n == 0)
        return;
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode)) {
        off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
        // Clamp at the end of the file: the next read then finds the end, and no offset
        // arithmetic can overflow however large the chunk size claims to be.
        std::uint64_t left = pos >= 0 && st.st_size > pos ? static_cast<std::uint64_t>(st.st_size - pos) : 0;
        std::uint64_t move = std::min(n, left);
        if (::lseek(m_fd, static_cast<off_t>(move), SEEK_CUR) < 0)
            Fail(errno);
        else
            Advanced(move);
        if (move < n)
            m_bEof = true;
        return;
    }
    while (n > 0 && FillBuffer()) {
        std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(n, m_nBufLen));
        m_nBufPos = part;
        n -= part;
    }
}

std::uint64_t CArchive::BytesLeft() const
{
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
        return UINT64_MAX;
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    std::uint64_t buffered = m_nBufLen - m_nBufPos;
    if (pos < 0 || st.st_size < pos)
        return buffered;
    return static_cast<std::uint64_t>(st.st_size - pos) + buffered;
}

bool CArchive::WriteDirect(const BYTE* src, std::size_t n)
{
    std::size_t done = 0;
    while (done < n && !m_bError) {
        ssize_t put = ::write(m_fd, src + done, std::min(n - done, kMaxIo));
        if (put < 0) {
            if (errno != EINTR)
                Fail(errno);
        } else if (put == 0) {
            m_bError = true;
        } else {
            done += static_cast<std::size_t>(put);
        }
    }
    return !m_bError;
}

bool CArchive::Write(const void* buffer, std::size_t n)
{
    if (m_mode != store || m_fd < 0 || m_bError)
        return false;
    const BYTE* src = static_cast<const BYTE*>(buffer);
    if (m_nBufLen + n <= m_buffer.size()) {
        std::memcpy(m_buffer.data() + m_nBufLen, src, n);
        m_nBufLen += n;
        return true;
    }
    if (!Flush())
        return false;
    if (n >= m_buffer.size())
        return WriteDirect(src, n);
    std::memcpy(m_buffer.data(), src, n);
    m_nBufLen = n;
    return true;
}

bool CArchive::Flush()
{
    if (m_mode != store || m_fd < 0)
        return !m_bError;
    if (m_nBufLen > 0 && !m_bError)
        WriteDirect(m_buffer.data(), m_nBufLen);
    m_nBufLen = 0;
    return !m_bError;
}

void CArchive::Advanced(std::uint64_t bytes)
{
    // Relaxed: a figure for display, pairs with nothing.
    if (m_pProgress)
        m_pProgress->fetch_add(bytes, std::memory_order_relaxed);
}

bool CArchive::Cancelled()
{
    // Relaxed: the flag publishes nothing but itself.
    if (m_pCancel && m_pCancel->load(std::memory_order_relaxed))
        Fail(ECANCELED);
    return m_bError;
}

void CArchive::Fail(int error)
{
    if (!m_bError)
        m_nError = error;
    m_bError = true;
}

bool CArchive::Close()
{
    if (m_fd < 0)
        return !m_bError;
    bool ok = Flush();
    if (::close(m_fd) != 0 && m_mode == store && ok) {
        Fail(errno);
        ok = false;
    }
    m_fd = -1;
    if (!ok)
        m_bError = true;
    return ok;
}

}  // namespace tonmira
