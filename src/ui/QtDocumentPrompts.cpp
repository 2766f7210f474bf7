#include "ui/QtDocumentPrompts.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/ViewDialogs.h"
#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

namespace {

// Both spellings of each extension: the dialog matches names as the file system does.
QString Patterns(std::initializer_list<const char*> extensions)
{
    QStringList patterns;
    for (const char* e : extensions)
        patterns << QStringLiteral("*.") + QString::fromLatin1(e) << QStringLiteral("*.") + QString::fromLatin1(e).toUpper();
    return QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

// Qt's own dialog (as the other file dialogs), showing each filter by its name alone.
void UseQtDialog(QFileDialog& dialog, const QStringList& filters)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
}

}  // namespace

QStringList DocumentOpenFilters()
{
    return {Tr("Tonmira ﾌｧｲﾙ(*.wav, *.wma)") + Patterns({"wav", "wma"}),
            // Everything the program reads, found without typing the name.
            Tr("読み込めるすべてのﾌｧｲﾙ(WAV, WMA, FLAC, MP3, Ogg, Opus, M4A, AAC, AIFF, ﾃｷｽﾄ)") +
                Patterns({"wav", "wma", "flac", "mp3", "ogg", "opus", "m4a", "aac", "aif", "aiff", "txt"}),
            Tr("すべてのﾌｧｲﾙ") + QStringLiteral(" (*)")};
}

QStringList DocumentSaveFilters()
{
    // Only what Save writes: WAV, and the samples as text.
    return {Tr("Wave ﾌｧｲﾙ(*.wav)") + Patterns({"wav"}), Tr("ﾃｷｽﾄ ﾌｧｲﾙ(*.txt)") + Patterns({"txt"})};
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
    QFileDialog dialog(m_parent, Tr("名前を付けて保存"), ShownPath(proposed));
    UseQtDialog(dialog, DocumentSaveFilters());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    const QStringList filters = DocumentSaveFilters();
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        dialog.setDefaultSuffix(filter == filters.value(1) ? QStringLiteral("txt") : QStringLiteral("wav"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return LocalPath(dialog.selectedFiles().first());
}

std::optional<std::string> AskOpenPath(QWidget* parent)
{
    QFileDialog dialog(parent, Tr("開く"));
    UseQtDialog(dialog, DocumentOpenFilters());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return LocalPath(dialog.selectedFiles().constFirst());
}

bool QtFormatPrompt::Ask(FormatAnswer& answer)
{
    // Asked while a file is read under the wait cursor: the question wants the ordinary one.
    QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    const bool answered = AskTextFormat(m_parent, answer);
    QApplication::restoreOverrideCursor();
    return answered;
}

}  // namespace tonmira::ui
