#include "ui/QtDocumentPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/ViewDialogs.h"
#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

QString DocumentFileFilters()
{
    return Tr("Tonmira ﾌｧｲﾙ(*.wav, *.wma) (*.wav *.WAV *.wma *.WMA);;すべてのﾌｧｲﾙ (*)");
}

view::SaveAnswer QtDocumentPrompts::AskSaveChanges(const std::string& question)
{
    const auto answer = QMessageBox::warning(m_parent, QStringLiteral("Tonmira"), TranslateMessage(question),
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                             QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return view::SaveAnswer::Yes;
    if (answer == QMessageBox::No)
        return view::SaveAnswer::No;
    return view::SaveAnswer::Cancel;
}

std::optional<std::string> QtDocumentPrompts::AskSavePath(const std::string& proposed)
{
    QFileDialog dialog(m_parent, Tr("名前を付けて保存"), ShownPath(proposed),
                       DocumentFileFilters());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return LocalPath(dialog.selectedFiles().first());
}

std::optional<std::string> AskOpenPath(QWidget* parent)
{
    const QString path =
        QFileDialog::getOpenFileName(parent, Tr("開く"), QString(), DocumentFileFilters());
    if (path.isEmpty())
        return std::nullopt;
    return LocalPath(path);
}

bool QtFormatPrompt::Ask(FormatAnswer& answer) { return AskTextFormat(m_parent, answer); }

}  // namespace tonmira::ui
