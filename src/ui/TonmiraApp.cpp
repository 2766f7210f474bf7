#include "ui/TonmiraApp.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "audio/PortAudioBackend.h"
#include "collect/LocalClock.h"
#include "ui/FileSettings.h"
#include "ui/FrameStyle.h"
#include "ui/MainFrame.h"
#include "ui/QtMessageSink.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"
#include "view/ViewCore.h"

namespace tonmira::ui {

namespace {

// The settings key of the recent-file list.
const char kSettingsOrganization[] = "アプリケーション ウィザードで生成されたローカル アプリケーション";
// A file named on the command line still being read after this long gets the window (and its
// progress bar) shown.
constexpr int kShowWhileReadingMs = 300;

}  // namespace

void UseDialogFont()
{
    // A Japanese gothic face at the size of the forms; the system's default when it is missing.
    for (const char* family : {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP"}) {
        if (QFontDatabase::families().contains(QString::fromUtf8(family))) {
            QApplication::setFont(QFont(QString::fromUtf8(family), 9));
            return;
        }
    }
}

void UseProgramIcon()
{
    // The menu entry's name (for desktops that match windows to entries by it) and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tonmira"));
    QIcon icon;
    for (const char* size : {"48", "256"})
        icon.addFile(QStringLiteral(":/tonmira/icons/tonmira-") + QString::fromLatin1(size) + QStringLiteral(".png"));
    QApplication::setWindowIcon(icon);
}

int RunApplication(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromUtf8(kSettingsOrganization));
    QApplication::setApplicationName(QStringLiteral("Tonmira"));
    UseProgramIcon();
    UseDialogFont();
    UseFrameStyle();

    QStringList args = QApplication::arguments();
    const Language language = ChooseLanguage(args, qEnvironmentVariable("TONMIRA_LANG"),
                                             QSettings().value(QStringLiteral("ui/language")));
    UseLanguage(language);

    QtMessageSink sink;
    PortAudioBackend backend;
    SystemLocalClock clock;
    CMainFrame frame(sink, backend, clock);
    sink.SetParent(&frame);
    // The default sound devices stay unless the settings file names others.
    const QString notice = ApplyFileSettings(
        QSettings(), backend.Devices(),
        [&backend](WaveDirection direction, int index) { backend.SetDevice(direction, index); },
        frame.View().Core().m_settings);
    frame.View().Core().ApplyCollectSettings();

    if (const std::string path = CommandLinePath(argc, argv); !path.empty()) {
        // The window appears only when the read takes a moment: a file that cannot be opened at
        // all ends the program with its message and no window, as before.
        bool shown = false;
        QTimer::singleShot(kShowWhileReadingMs, &frame, [&frame, &shown] {
            if (frame.IsLoading()) {
                frame.show();
                shown = true;
            }
        });
        switch (frame.OpenAndWait(path)) {
        case view::OpenResult::Failed:
            return 1;
        case view::OpenResult::Cancelled:
            if (shown && frame.isHidden())
                return 0;  // closed while reading
            frame.NewDocument();  // Esc: the window starts empty
            break;
        case view::OpenResult::Opened:
            break;
        }
    } else {
        frame.NewDocument();
    }
    frame.show();
    if (!notice.isEmpty())
        frame.statusBar()->showMessage(notice);
    return app.exec();
}

}  // namespace tonmira::ui
