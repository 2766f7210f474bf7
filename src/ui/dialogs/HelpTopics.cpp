#include "ui/dialogs/HelpTopics.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "base/MessageSink.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

QString ManualIndexPath(const QString& programDir, const QString& language)
{
    // Next to the program in the build folder; the installed data folder otherwise.
    for (const QString& root : {programDir + QStringLiteral("/manual"),
                                QDir::cleanPath(programDir + QStringLiteral("/" TONMIRA_MANUAL_FROM_BINDIR))}) {
        for (const QString& lang : {language, QStringLiteral("ja"), QStringLiteral("en")}) {
            const QString path = root + QStringLiteral("/") + lang + QStringLiteral("/index.html");
            if (QFileInfo::exists(path))
                return path;
        }
    }
    return {};
}

bool OpenHelpTopics(MessageSink& sink, const std::function<bool(const QUrl&)>& open, QString programDir)
{
    if (programDir.isEmpty())
        programDir = QCoreApplication::applicationDirPath();
    // The manual speaks the window's language.
    const QString language =
        CurrentLanguage() == Language::English ? QStringLiteral("en") : QStringLiteral("ja");
    const QString path = ManualIndexPath(programDir, language);
    if (path.isEmpty()) {
        sink.Message(FormatArgs(kMsgManualMissing, {(programDir + QStringLiteral("/manual")).toStdString()}));
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = open ? open(url) : QDesktopServices::openUrl(url);
    if (!opened)
        sink.Message(FormatArgs(kMsgManualNotOpened, {path.toStdString()}));
    return opened;
}

}  // namespace tonmira::ui
