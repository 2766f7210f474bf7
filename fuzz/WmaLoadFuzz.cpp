// Fuzzes the WMA import with arbitrary file contents: every input must either load a take whose
// size matches its format or fail with messages and no take.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/MessageSink.h"
#include "doc/DecoderLog.h"
#include "doc/TonmiraDoc.h"
#include "doc/WmaImport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    tonmira::QuietDecoderLog();  // as the programs' main does
    tonmira::LimitDecoderAllocations();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An in-memory file keeps the fuzzer off the disk; its /proc path opens like any file.
    int fd = memfd_create("wma-fuzz", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (size && write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    tonmira::CapturingMessageSink sink;
    tonmira::CTonmiraDoc doc(sink);
    doc.m_strFileName = "/proc/self/fd/" + std::to_string(fd);
    if (tonmira::LoadWmaFile(doc)) {
        if (!doc.m_pData || doc.m_nSamples == 0 || sink.m_messages.size() != 0 ||
            (doc.m_header.nChannels != 1 && doc.m_header.nChannels != 2) || doc.m_header.wBitsPerSample != 16)
            std::abort();
        // Touch the last frame: the whole take must be there.
        volatile std::uint8_t last = doc.m_pData[doc.m_nSamples * doc.m_header.nBlockAlign - 1];
        (void)last;
    } else if (doc.m_pData || sink.m_messages.empty()) {
        std::abort();
    }
    close(fd);
    return 0;
}
