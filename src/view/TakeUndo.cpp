#include "view/TakeUndo.h"

#include <cstdlib>
#include <cstring>

#include "doc/TonmiraDoc.h"

namespace tonmira::view {

bool TakeUndo::Capture(CTonmiraDoc& doc)
{
    // The old copy goes first, so that two takes' copies never exist at once.
    m_saved.reset();
    if (!doc.HasTake())
        return false;
    const std::size_t bytes = static_cast<std::size_t>(doc.m_nSamples) * doc.FrameBytes();
    MallocBytes data(static_cast<BYTE*>(std::malloc(bytes)));
    if (!data)
        return false;
    std::memcpy(data.get(), doc.m_pData, bytes);
    m_saved = Saved{std::move(data), doc.m_nSamples, doc.m_header, doc.m_nStartMark, doc.m_nEndMark,
                    doc.m_nPosition, doc.m_nPeak, doc.IsModified()};
    return true;
}

bool TakeUndo::Restore(CTonmiraDoc& doc)
{
    if (!m_saved)
        return false;
    Saved saved = std::move(*m_saved);
    m_saved.reset();
    // For a one-channel take m_pMono is m_pData; it must not be freed twice.
    if (doc.m_pMono == doc.m_pData)
        doc.m_pMono = nullptr;
    std::free(doc.m_pData);
    doc.m_pData = saved.data.release();
    doc.m_nSamples = saved.samples;
    doc.m_header = saved.header;
    doc.m_nStartMark = saved.startMark;
    doc.m_nEndMark = saved.endMark;
    doc.m_nPosition = saved.position;
    doc.BuildMonoBuffer();
    if (doc.m_bReverse) {
        doc.BuildReverseBuffer();
    } else {
        std::free(doc.m_pReverse);
        doc.m_pReverse = nullptr;
    }
    doc.m_nPeak = saved.peak;
    // Saved since the edit: the file holds the edited take, so the restored one differs from it.
    doc.SetModifiedFlag(saved.modified || !doc.IsModified());
    return true;
}

}  // namespace tonmira::view
