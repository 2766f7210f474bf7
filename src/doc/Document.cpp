#include "doc/Document.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "doc/Archive.h"
#include "base/Messages.h"
#include "base/MessageSink.h"
#include "doc/SafeFileWriter.h"

namespace tonmira {

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_bModified = 0;
    return 1;
}

void CDocument::ReportAccessError(const std::string& path, int error)
{
    m_sink.Message(WithSystemReason(FormatArgs(msg::kAccessError, {path}), error));
}

BOOL CDocument::OnOpenDocument(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ReportAccessError(path, errno);
        return 0;
    }
    m_nLoadedBytes.store(0, std::memory_order_relaxed);
    struct stat st {};
    m_nLoadSize.store(::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0,
                      std::memory_order_relaxed);
    DeleteContents();
    // Even a file of zero length goes through the load, so the document never keeps an
    // earlier take under the new file's name.
    BOOL ok;
    int error = 0;
    m_bLoading.store(true, std::memory_order_relaxed);
    {
        CArchive ar(fd, CArchive::load, path);
        ar.SetCancelFlag(&m_bCancelLoad);
        ar.SetProgress(&m_nLoadedBytes);
        ok = Serialize(ar);
        error = ar.LastError();  // a read that failed; a file the load refused has no reason
    }
    if (!ok)
        ReportAccessError(path, error);
    m_bLoading.store(false, std::memory_order_relaxed);
    if (!ok)
        return 0;
    m_bModified = 0;
    return 1;
}

BOOL CDocument::OnSaveDocument(const std::string& path)
{
    bool ok = WriteFileSafely(path, [this](CArchive& ar) { return Serialize(ar) != 0; });
    if (!ok) {
        ReportAccessError(path, errno);
        return 0;
    }
    m_bModified = 0;
    return 1;
}

std::string CDocument::SaveChangesPrompt(const std::string& title)
{
    return FormatArgs(msg::kSaveChanges, {title});
}

}  // namespace tonmira
