#pragma once
// The file and folder choosers of the program's commands, behind an interface so tests answer
// them without a modal dialog. Filters are given in the program's own notation
// ("Wav Files(*.wav)|*.wav|All Files(*.*)|*.*||") and converted for Qt. UI thread only.
#include <QString>
#include <string>

class QWidget;

namespace tonmira::ui {

struct FileDialogSpec {
    const char* m_pszTitle;
    const char* m_pszFilter;            // "text|patterns|text|patterns||"
    const char* m_pszDefaultExtension;  // without the dot
    bool m_bOpen = false;               // open (existing file) rather than save (overwrite prompt)
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path (UTF-8), or "" when cancelled. A save without an extension gets the
    // default extension; choosing an existing file to save over asks first.
    virtual std::string ChooseFile(const FileDialogSpec& spec, QWidget* parent) = 0;
    // A folder for the collection's files, or "" when cancelled.
    virtual std::string ChooseFolder(const char* title, QWidget* parent) = 0;
};

// QFileDialog, modal.
class QtFileChooser : public FileChooser {
public:
    std::string ChooseFile(const FileDialogSpec& spec, QWidget* parent) override;
    std::string ChooseFolder(const char* title, QWidget* parent) override;
};

// "A|*.a|All Files(*.*)|*.*||" -> "A (*.a);;All Files(*.*) (*)": each pair becomes the shown
// text followed by its patterns in parentheses ("*.*", every file on the old platform, becomes
// "*"; ";" between patterns becomes a blank). Used with the dialog hiding the pattern part, so
// the texts show as written.
QString QtNameFilters(const char* filter);

}  // namespace tonmira::ui
