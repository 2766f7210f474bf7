#pragma once
// The thin document framework under CTonmiraDoc: open and save of a path with the framework's
// generic failure message, the modified flag, and new-document. A save goes through a
// temporary file, so a failed save leaves an existing file unchanged.
#include <string>

#include "base/Types.h"

namespace tonmira {

class CArchive;
class MessageSink;

class CDocument {
public:
    explicit CDocument(MessageSink& sink) : m_sink(sink) {}
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // Empties the document's contents and clears the modified flag. Returns 1.
    virtual BOOL OnNewDocument();
    // Opens path and lets Serialize load it. On failure shows "%1 へのアクセス中に不明な
    // エラーが発生しました。" for path (after any message of the load) and returns 0.
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

    MessageSink& m_sink;
    BOOL m_bModified = 0;

protected:
    // Called before a new document or a load; empty by default.
    virtual void DeleteContents() {}
    // Loads from or stores to the archive; returns 0 after the load or save reported why.
    virtual BOOL Serialize(CArchive& ar) = 0;

private:
    void ReportAccessError(const std::string& path);
};

}  // namespace tonmira
