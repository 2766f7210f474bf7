#pragma once
// The thin document framework under CTonmiraDoc: open and save of a path with the framework's
// generic failure message, the modified flag, and new-document. A save goes through a
// temporary file, so a failed save leaves an existing file unchanged.
#include <atomic>
#include <cstdint>
#include <string>

#include "base/MessageSink.h"
#include "base/Types.h"

namespace tonmira {

class CArchive;

class CDocument {
public:
    explicit CDocument(MessageSink& sink) : m_loadSink(sink, m_bLoading, m_bCancelLoad), m_sink(m_loadSink) {}
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // Empties the document's contents and clears the modified flag. Returns 1.
    virtual BOOL OnNewDocument();
    // Opens path and lets Serialize load it. On failure shows "%1 へのアクセス中に不明な
    // エラーが発生しました。" for path (after any message of the load), followed by the system's
    // reason on a line of its own when the system refused (see WithSystemReason), and returns 0.
    // On success clears the modified flag.
    BOOL OnOpenDocument(const std::string& path);
    // Lets Serialize store into a temporary file next to path and renames it over path on
    // success (then clears the modified flag). On failure shows the same generic message
    // and returns 0; an existing file at path is left as it was.
    BOOL OnSaveDocument(const std::string& path);

    void SetModifiedFlag(BOOL bModified = 1) { m_bModified = bModified ? 1 : 0; }
    BOOL IsModified() const { return m_bModified; }
    // The question asked before a modified document is replaced or the program ends.
    static std::string SaveChangesPrompt(const std::string& title);

private:
    // Passes every message on, except those of a load that is being cancelled: that load was
    // abandoned (the window is closing), its failure is no news to anyone.
    class LoadMessageSink : public MessageSink {
    public:
        LoadMessageSink(MessageSink& sink, const std::atomic<bool>& loading, const std::atomic<bool>& cancel)
            : m_sink(sink), m_loading(loading), m_cancel(cancel) {}
        void Message(const std::string& text) override
        {
            if (!m_loading.load(std::memory_order_relaxed) || !m_cancel.load(std::memory_order_relaxed))
                m_sink.Message(text);
        }

    private:
        MessageSink& m_sink;
        const std::atomic<bool>& m_loading;
        const std::atomic<bool>& m_cancel;
    };
    // Inside OnOpenDocument; atomic because a collection worker may report through the sink.
    std::atomic<bool> m_bLoading{false};
    LoadMessageSink m_loadSink;

public:
    MessageSink& m_sink;
    BOOL m_bModified = 0;
    // Set from any thread to end a load in progress (or keep the next from reading): the load's
    // reads fail at once and OnOpenDocument returns 0 without a message, the document empty.
    // Whoever sets it clears it again before the next load should run. Relaxed: publishes
    // nothing else.
    std::atomic<bool> m_bCancelLoad{false};
    // How far the load in progress has come, for a progress bar on another thread: bytes of the
    // file read (or, for a decoded file, the position reached in it) and the file's size, 0 while
    // unknown. Relaxed: shown, never relied on.
    std::atomic<std::uint64_t> m_nLoadedBytes{0};
    std::atomic<std::uint64_t> m_nLoadSize{0};

protected:
    // Called before a new document or a load; empty by default.
    virtual void DeleteContents() {}
    // Loads from or stores to the archive; returns 0 after the load or save reported why.
    virtual BOOL Serialize(CArchive& ar) = 0;

private:
    void ReportAccessError(const std::string& path, int error);
};

}  // namespace tonmira
