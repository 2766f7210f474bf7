#include "doc/ROStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tonmira {

HRESULT HResultFromErrno(int error)
{
    if (error == ENOMEM)
        return E_OUTOFMEMORY;
    if (error == 0)
        return E_FAIL;  // a failure without an OS error must still read as a failure
    return static_cast<HRESULT>(0x80070000u | (static_cast<unsigned>(error) & 0xFFFFu));
}

CROStream::~CROStream()
{
    if (m_hFile >= 0)
        ::close(m_hFile);
}

HRESULT CROStream::Open(const char* path)
{
    if (m_hFile >= 0) {
        ::close(m_hFile);
        m_hFile = -1;
    }
    // O_NONBLOCK only for the open itself: opening a FIFO without a writer would block forever.
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return HResultFromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        HRESULT hr = HResultFromErrno(errno);
        ::close(fd);
        return hr;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return E_FAIL;
    }
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        HRESULT hr = HResultFromErrno(errno);
        ::close(fd);
        return hr;
    }
    m_hFile = fd;
    return S_OK;
}

HRESULT CROStream::Read(void* pv, DWORD cb, DWORD* pcbRead)
{
    if (pcbRead)
        *pcbRead = 0;
    if (m_hFile < 0)
        return HResultFromErrno(EBADF);
    ssize_t n;
    do {
        n = ::read(m_hFile, pv, cb);
    } while (n < 0 && errno == EINTR);
    if (n < 0)
        return HResultFromErrno(errno);
    if (pcbRead)
        *pcbRead = static_cast<DWORD>(n);
    return S_OK;
}

HRESULT CROStream::Write(const void*, DWORD, DWORD* pcbWritten)
{
    if (pcbWritten)
        *pcbWritten = 0;
    return E_NOTIMPL;
}

HRESULT CROStream::Seek(std::int64_t dlibMove, DWORD dwOrigin, std::uint64_t* plibNewPosition)
{
    int whence;
    switch (dwOrigin) {
    case 0: whence = SEEK_SET; break;
    case 1: whence = SEEK_CUR; break;
    case 2: whence = SEEK_END; break;
    default: return E_INVALIDARG;
    }
    if (m_hFile < 0)
        return HResultFromErrno(EBADF);
    off_t pos = ::lseek(m_hFile, static_cast<off_t>(dlibMove), whence);
    if (pos < 0)
        return HResultFromErrno(errno);
    if (plibNewPosition)
        *plibNewPosition = static_cast<std::uint64_t>(pos);
    return S_OK;
}

HRESULT CROStream::Stat(std::uint64_t* pcbSize)
{
    if (!pcbSize)
        return E_INVALIDARG;
    *pcbSize = 0;
    if (m_hFile < 0)
        return HResultFromErrno(EBADF);
    struct stat st {};
    if (::fstat(m_hFile, &st) != 0)
        return HResultFromErrno(errno);
    *pcbSize = static_cast<std::uint64_t>(st.st_size);
    return S_OK;
}

}  // namespace tonmira
