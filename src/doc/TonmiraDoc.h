#pragma once
// The one document: a take of PCM audio in memory, its format, derived buffers, marks,
// position and the transport flags shared by the view, recorder, player and collection engine.
// Every member is public and used directly by those parts. Sample buffers are malloc/realloc/free
// blocks, owned by the document (m_pMono only when it differs from m_pData).
#include <string>

#include "doc/Types.h"
#include "doc/WavHeader.h"

namespace tonmira {

class MessageSink;

class CTonmiraDoc {
public:
    explicit CTonmiraDoc(MessageSink& sink);
    ~CTonmiraDoc();
    CTonmiraDoc(const CTonmiraDoc&) = delete;
    CTonmiraDoc& operator=(const CTonmiraDoc&) = delete;

    int m_nPeak = 0;
    BOOL m_bReverse = 0;
    UINT m_nStartMark = 0;
    UINT m_nEndMark = 0;
    int m_nState = 0;  // 0 idle, 1 playing, 2 recording
    BOOL m_bPause = 0;
    int m_nBalance = 50;
    BOOL m_bLock = 0;
    UINT m_nPosition = 0;
    UINT m_nSamples = 0;
    std::string m_strFileName;
    BYTE* m_pData = nullptr;
    BYTE* m_pMono = nullptr;
    BYTE* m_pReverse = nullptr;
    WavHeader m_header{};

    MessageSink& m_sink;
};

}  // namespace tonmira
