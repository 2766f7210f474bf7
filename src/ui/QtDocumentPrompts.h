#pragma once
// The document commands' questions as the framework asks them: the save-changes box and the
// file dialogs of Open and Save As.
#include <QStringList>
#include <QWidget>
#include <optional>
#include <string>

#include "doc/FormatPrompt.h"
#include "view/DocumentCommands.h"

namespace tonmira::ui {

class QtDocumentPrompts : public view::DocumentPrompts {
public:
    explicit QtDocumentPrompts(QWidget* parent) : m_parent(parent) {}
    view::SaveAnswer AskSaveChanges(const std::string& question) override;
    std::optional<std::string> AskSavePath(const std::string& proposed) override;

private:
    QWidget* m_parent;
};

// The Open dialog: "Tonmira ﾌｧｲﾙ(*.wav, *.wma)", every format read, all files; nothing when
// cancelled.
std::optional<std::string> AskOpenPath(QWidget* parent);

// The question before a text file is read, through its dialog.
class QtFormatPrompt : public FormatPrompt {
public:
    explicit QtFormatPrompt(QWidget* parent) : m_parent(parent) {}
    bool Ask(FormatAnswer& answer) override;

private:
    QWidget* m_parent;
};

// The file filters of Open (the program's own files, every format it reads, all files) and of
// Save As (what it writes: WAV and text).
QStringList DocumentOpenFilters();
QStringList DocumentSaveFilters();

}  // namespace tonmira::ui
