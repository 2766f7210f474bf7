#pragma once
// CROStream: a read-only byte stream over one regular file, the byte source the WMA reader
// pulls the file through. Also the result codes of the WMA reading layer, which speaks
// COM-style HRESULTs (negative = failure) so that its messages show the familiar codes.
#include <cstdint>

#include "base/Types.h"

namespace tonmira {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
// The reader's end code: every sample has been delivered. Not an error for ReadSamples.
constexpr HRESULT NS_E_NO_MORE_SAMPLES = static_cast<HRESULT>(0xC00D0BCFu);

constexpr bool FAILED(HRESULT hr) { return hr < 0; }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }

// An OS error (errno) as an HRESULT of the Win32 facility: 0x8007xxxx with the error number in
// the low 16 bits. ENOMEM becomes E_OUTOFMEMORY so that memory shortage reads the same everywhere.
HRESULT HResultFromErrno(int error);

class CROStream {
public:
    CROStream() = default;
    ~CROStream();  // closes the file when it is open
    CROStream(const CROStream&) = delete;
    CROStream& operator=(const CROStream&) = delete;

    // Opens an existing file for reading. The OS error as an HRESULT when that fails; E_FAIL
    // (file closed again) when the path is not a regular file, so that a FIFO or a device can
    // never block or feed the decoder endlessly.
    HRESULT Open(const char* path);

    // Reads up to cb bytes from the current position; *pcbRead (may be null) gets the count,
    // 0 at the end of the file. S_OK, or the OS error as an HRESULT.
    HRESULT Read(void* pv, DWORD cb, DWORD* pcbRead);

    // Not a writable stream.
    HRESULT Write(const void* pv, DWORD cb, DWORD* pcbWritten);

    // Moves the position: origin 0 from the start, 1 from the current position, 2 from the end;
    // any other origin is E_INVALIDARG. *plibNewPosition (may be null) gets the new position.
    // Positions are 64-bit throughout, so files beyond 4 GiB seek correctly.
    HRESULT Seek(std::int64_t dlibMove, DWORD dwOrigin, std::uint64_t* plibNewPosition);

    // The file size in bytes. E_INVALIDARG without a result pointer, else S_OK or the OS error.
    HRESULT Stat(std::uint64_t* pcbSize);

    int m_hFile = -1;  // file descriptor, -1 while closed
};

}  // namespace tonmira
