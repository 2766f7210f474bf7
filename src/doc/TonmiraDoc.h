#pragma once
// The one document: a take of PCM audio in memory, its format, derived buffers, marks,
// position and the transport flags shared by the view, recorder, player and collection engine.
// Every member is public and used directly by those parts. Sample buffers are malloc/realloc/free
// blocks, owned by the document (m_pMono only when it differs from m_pData).
// A take is present exactly when m_pData is not null; then m_nSamples >= 1 and
// m_nStartMark <= m_nEndMark < m_nSamples, m_nPosition < m_nSamples.
#include <cstddef>
#include <string>

#include "doc/Document.h"
#include "doc/SourceFormat.h"
#include "base/Types.h"
#include "doc/WavHeader.h"
#include "doc/TransportState.h"

namespace tonmira {

class CArchive;
class FormatPrompt;
class MessageSink;

class CTonmiraDoc : public CDocument {
public:
    explicit CTonmiraDoc(MessageSink& sink);
    ~CTonmiraDoc() override;

    // Frees the take and its derived buffers; file name "", marks 0, lock off. The format
    // fields of m_header stay, so the recording format survives File > New.
    BOOL OnNewDocument() override;

    // Rebuilds m_pMono from m_pData at m_nBalance and raises m_nPeak; for a take that is not
    // two-channel m_pMono becomes m_pData. Returns 0 after the memory message (m_pMono null).
    BOOL BuildMonoBuffer();
    // Rebuilds m_pReverse as m_pMono in reverse frame order. Returns 0 after the memory
    // message, or without a message when there is no mono buffer to reverse (m_pReverse null).
    BOOL BuildReverseBuffer();
    // Frees the derived buffers before recording: m_pMono and m_pReverse null, reverse off,
    // the position on the last frame.
    void ReleaseDerivedBuffers();
    // Keeps only the frames m_nStartMark..m_nEndMark. Returns 0 and changes nothing when the
    // marks cover the whole take (or are not a valid range), or after the memory message.
    BOOL TruncateToMarks();

    // The document load and save for the archive's file (format by its last three characters;
    // the load also by the file's first bytes when the name has no known extension or the WAV
    // reader declines the file). Both return 0 after their own message.
    BOOL LoadFromArchive(CArchive& ar);
    BOOL SaveToArchive(CArchive& ar);
    // Writes the balance mix at m_nBalance to path (".wav" appended when path has no
    // extension), as a one-channel WAV or as text by its last three characters. The document
    // itself does not change. The file is replaced only when everything was written.
    BOOL OnSaveMonoData(const std::string& path);

    // True when saving the document under path would write over what must stay: a file of a
    // format the program only reads (WMA, FLAC, ...), or the file this take was loaded from
    // when the load converted it or decoded it (whatever its name). The window then saves as
    // ProposedSaveName(), the command line refuses.
    bool IsProtectedTarget(const std::string& path) const;
    // The name File > Save proposes instead of a protected source: its name with ".wav", or,
    // when that is the converted source itself, with "-16bit.wav".
    std::string ProposedSaveName() const;

    // The steps after every successful load: balance 50, mono buffer (unless monoBuilt: the
    // load has already mixed it at that balance), marks over the whole take, position 0, idle,
    // reverse and pause off.
    void FinishLoad(bool monoBuilt = false);
    // Makes `bytes` of interleaved PCM frames the take, as a file load would: one or two channels
    // of 8 (unsigned) or 16 (signed) bits at a rate the program reads, anything else refused
    // with 0 and nothing changed. The old take goes, the frames are copied (a trailing part of
    // a frame dropped, none at all leaves no take), the header describes them, FinishLoad runs
    // (the mono buffer, for two channels with its peak; marks over the whole take; position 0)
    // and the document is not modified. The file name stays; the source is cleared. Returns 0
    // after the memory message.
    BOOL LoadPcm(const void* frames, std::size_t bytes, WORD nChannels, DWORD nSamplesPerSec, WORD wBitsPerSample);
    // Exchanges everything a load sets with other: the take and its derived buffers, format,
    // source, file name, marks, position, transport flags, balance, lock, peak and modified flag.
    // The message sink, format prompt and load flags stay with each document. For a take read
    // into a document of its own (on a worker) that replaces this one's in one step.
    void SwapTake(CTonmiraDoc& other);
    // Frees m_pMono (when separate), m_pData and m_pReverse and nulls them; m_nSamples 0.
    void FreeTake();
    bool HasTake() const { return m_pData != nullptr; }
    // Bytes of one frame of m_pData: nChannels x wBitsPerSample / 8.
    UINT FrameBytes() const;

    int m_nPeak = 0;
    BOOL m_bReverse = 0;
    UINT m_nStartMark = 0;
    UINT m_nEndMark = 0;
    TransportState m_nState = TransportState::Idle;
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
    // What the loaded file held and what the load changed; cleared by a new document.
    SourceFormat m_source;

    // Answers the format question before a text file is read; null means every such load
    // is cancelled. Not owned.
    FormatPrompt* m_pFormatPrompt = nullptr;

protected:
    // Loading: frees the old take, zeroes the format part of the header, takes the archive's
    // file name and loads; a failed load leaves no take and m_strFileName "".
    // Storing: takes the archive's file name and saves.
    BOOL Serialize(CArchive& ar) override;
};

}  // namespace tonmira
