#include "ui/dialogs/FileChooser.h"

#include <QFileDialog>
#include <QStringList>

#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

QString QtNameFilters(const char* filter)
{
    const QStringList parts = Tr(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;  // the closing "||"
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

std::string QtFileChooser::ChooseFile(const FileDialogSpec& spec, QWidget* parent)
{
    QFileDialog dialog(parent, Tr(spec.m_pszTitle));
    dialog.setAcceptMode(spec.m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(spec.m_bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    // Qt's own dialog, so the titles, filters and overwrite question look the same everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters(QtNameFilters(spec.m_pszFilter).split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(QString::fromUtf8(spec.m_pszDefaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return LocalPath(dialog.selectedFiles().constFirst());
}

std::string QtFileChooser::ChooseFolder(const char* title, QWidget* parent)
{
    QString folder = QFileDialog::getExistingDirectory(parent, Tr(title), QString(),
                                                       QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    return LocalPath(folder);
}

}  // namespace tonmira::ui
