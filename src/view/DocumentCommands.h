#pragma once
// New, Open, Save and Save As of the one document, with the question before a modified take is
// replaced, the recent-file list and the window title. The questions are asked through
// DocumentPrompts (dialogs in the program, fixed answers in tests).
#include <optional>
#include <string>

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::view {

class RecentFiles;
class ViewCore;

enum class SaveAnswer { Yes, No, Cancel };

// Cancelled: the question before it or the read was called off; Failed: the file could not be
// read (its messages were shown). Either way the document stays as it was.
enum class OpenResult { Opened, Cancelled, Failed };

class DocumentPrompts {
public:
    virtual ~DocumentPrompts() = default;
    // "%1 への変更を保存しますか?" with Yes, No and Cancel.
    virtual SaveAnswer AskSaveChanges(const std::string& question) = 0;
    // The Save As file dialog, proposing `proposed`; nothing when cancelled.
    virtual std::optional<std::string> AskSavePath(const std::string& proposed) = 0;
};

class DocumentCommands {
public:
    DocumentCommands(ViewCore& core, DocumentPrompts& prompts, RecentFiles& recent);

    // Before the take is replaced or the program ends: asks when the document is modified and
    // saves on Yes. False when the person cancelled or the save failed (nothing more happens).
    bool SaveModified();
    // File > New. False when cancelled.
    bool OnFileNew();
    // The second half of Open, once path has been read into loaded (a document of its own, see
    // TakeLoad; SaveModified was asked before): the take replaces the document's (loaded keeps
    // the old one), path becomes its name and the first recent file, and the view starts over.
    void OpenLoaded(const std::string& path, CTonmiraDoc& loaded);
    // File > Save: to the document's path, or as Save As when it has none or when the path is
    // a read-only format or the source the take was converted from.
    bool OnFileSave();
    // File > Save As (proposing NAME.wav instead of such a path).
    bool OnFileSaveAs();

    // The document's path ("" for a new document) and its title: the file name, or "無題".
    const std::string& PathName() const { return m_strPathName; }
    std::string Title() const;
    // The frame's caption: "title - Tonmira".
    std::string FrameTitle() const;

private:
    bool DoSave(const std::string& path);

    ViewCore& m_core;
    DocumentPrompts& m_prompts;
    RecentFiles& m_recent;
    std::string m_strPathName;
};

inline constexpr const char* kUntitled = "無題";
inline constexpr const char* kAppTitle = "Tonmira";

}  // namespace tonmira::view
