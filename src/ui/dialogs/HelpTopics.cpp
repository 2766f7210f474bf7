#include "ui/dialogs/HelpTopics.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

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

bool OpenHelpTopics(MessageSink& sink, const std::function<bool(const QUrl&)>& open)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    // The window's language when English is chosen; else the system's (English unless Japanese).
    const bool english =
        CurrentLanguage() == Language::English || QLocale::system().language() != QLocale::Japanese;
    const QString language = english ? QStringLiteral("en") : QStringLiteral("ja");
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
