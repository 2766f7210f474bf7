#include "ui/MainFrame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "doc/TonmiraDoc.h"
#include "ui/ViewDialogs.h"
#include "ui/FrameIcons.h"
#include "ui/OverviewPane.h"
#include "ui/QtDocumentPrompts.h"
#include "ui/SuspendWatcher.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"
#include "view/CommandTable.h"
#include "view/FrameCommandIds.h"

namespace tonmira::ui {

namespace {

constexpr int kFrameWidth = 672;
constexpr int kFrameHeight = 522;
const char kRecentGroup[] = "Recent File List";

}  // namespace

CMainFrame::CMainFrame(MessageSink& sink, WaveBackend& backend, const LocalClock& clock, QWidget* parent)
    : QMainWindow(parent)
{
    resize(kFrameWidth, kFrameHeight);
    m_pView = new CTonmiraView(sink, backend, clock, this);
    setCentralWidget(m_pView);
    m_pDefaultPrompts = std::make_unique<QtDocumentPrompts>(this);
    m_pPrompts = m_pDefaultPrompts.get();
    m_pDocuments = std::make_unique<view::DocumentCommands>(m_pView->Core(), *m_pPrompts, m_recent);
    m_pFormatPrompt = std::make_unique<QtFormatPrompt>(this);
    m_pView->Core().m_doc.m_pFormatPrompt = m_pFormatPrompt.get();
    m_pView->m_onStateChanged = [this] {
        UpdateCommandUi();
        if (m_pOverview)
            m_pOverview->Refresh();
    };

    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();
    CreateOverview();
    LoadRecentFiles();
    qApp->installEventFilter(this);

    m_pSuspend = new SuspendWatcher(this);
    connect(m_pSuspend, &SuspendWatcher::aboutToSuspend, this, [this] {
        // No device may stay open across the suspend, whatever the lock says.
        m_pView->OnCommand(kCmdStop);
    });
}

CMainFrame::~CMainFrame()
{
    // The pane's workers read the take: they end before the view and its document go.
    m_pOverview->Shutdown();
    // The dock hides while the base class deletes it; its signal must not reach a frame that is
    // no longer one.
    m_pOverviewDock->disconnect();
    qApp->removeEventFilter(this);
    m_pView->StopForClose();
}

void CMainFrame::SetPrompts(view::DocumentPrompts* prompts)
{
    m_pPrompts = prompts ? prompts : m_pDefaultPrompts.get();
    m_pDocuments = std::make_unique<view::DocumentCommands>(m_pView->Core(), *m_pPrompts, m_recent);
}

QAction* CMainFrame::MakeAction(int id, const char* text)
{
    QAction*& action = m_actions[id];
    if (!action) {
        action = new QAction(Tr(text), this);
        action->setObjectName(QStringLiteral("cmd%1").arg(id));
        action->setData(id);
        if (const view::CommandText* t = view::FindCommandText(id)) {
            action->setStatusTip(Tr(t->prompt));
            action->setToolTip(Tr(*t->tip ? t->tip : t->prompt));
        }
        action->setCheckable(view::IsCheckedItem(id) || id == view::kCmdViewToolBar || id == view::kCmdViewStatusBar);
        connect(action, &QAction::triggered, this, [this, id] {
            // A checkable action flips its own mark; the state decides it, not the click.
            Dispatch(id);
            UpdateCommandUi();
        });
    }
    return action;
}

void CMainFrame::CreateMenus()
{
    for (const view::MenuPopup& popup : view::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(Tr(popup.title));
        for (const view::MenuItem& item : popup.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            menu->addAction(MakeAction(item.id, item.text));
        }
        if (!m_pFileMenu) {
            m_pFileMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::FillRecentFiles);
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = new QToolBar(Tr("ﾂｰﾙ ﾊﾞｰ"), this);
    m_pToolBar->setObjectName(QStringLiteral("toolbar"));
    m_pToolBar->setIconSize(QSize(16, 15));
    for (int id : view::ToolBarEntries()) {
        if (id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* action = m_actions.at(id);
        action->setIcon(ToolBarIcon(id));
        m_pToolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusbar"));
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromLatin1(indicator), bar);
        label->setObjectName(QString::fromLatin1(indicator));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(label->text()) + 12);
        // The lock keys' states cannot be read on every display server: the panes keep their
        // places and show greyed text.
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
    bar->showMessage(Tr("レディ"));
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
        if (text.isEmpty())
            bar->showMessage(Tr("レディ"));
    });
}

void CMainFrame::CreateAccelerators()
{
    for (const view::Accelerator& a : view::Accelerators()) {
        auto* key = new QAction(this);
        key->setShortcut(QKeySequence(QString::fromLatin1(a.key)));
        key->setShortcutContext(Qt::WindowShortcut);
        key->setData(a.id);
        key->setObjectName(QStringLiteral("key%1").arg(a.id));
        const int id = a.id;
        connect(key, &QAction::triggered, this, [this, id] { Dispatch(id); });
        addAction(key);
        m_keyActions.push_back(key);
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Space stops from anywhere in the window, also where an edit would take the key.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && widget && widget->window() == this) {
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                Dispatch(kCmdStop);
            event->accept();
            return event->type() == QEvent::KeyPress;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

CommandState CMainFrame::QueryCommand(int id) const
{
    view::FrameFlags flags;
    flags.m_bCollectBusy = m_pView->Core().IsCollecting();
    flags.m_bToolBarVisible = m_pToolBar && m_pToolBar->isVisible();
    flags.m_bStatusBarVisible = statusBar()->isVisible();
    flags.m_bHasRecentFiles = !m_recent.Entries().empty();
    return view::QueryCommandUi(m_pView->Core().m_doc, id, flags);
}

QAction* CMainFrame::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::UpdateCommandUi()
{
    for (auto& [id, action] : m_actions) {
        const CommandState s = QueryCommand(id);
        action->setEnabled(s.m_bHandled && s.m_bEnable);
        if (s.m_bSetCheck)
            action->setChecked(s.m_bCheck);
        else if (action->isCheckable() && !s.m_bHandled)
            action->setChecked(false);
    }
    if (QAction* graph = Action(view::kCmdGraphType))
        graph->setText(Tr(m_pView->Core().m_bLogGraph ? view::kGraphTypeToLinear : view::kGraphTypeToLog));
    for (QAction* key : m_keyActions) {
        const CommandState s = QueryCommand(key->data().toInt());
        key->setEnabled(s.m_bHandled && s.m_bEnable);
    }
    UpdateTitle();
}

bool CMainFrame::Dispatch(int id)
{
    const CommandState state = QueryCommand(id);
    if (!state.m_bHandled || !state.m_bEnable) {
        UpdateCommandUi();
        return false;
    }
    // A command may change or free the take: the overview's workers let go of it first.
    if (m_pOverview)
        m_pOverview->Suspend();
    if (!RunFrameCommand(id))
        m_pView->OnCommand(id);
    UpdateCommandUi();
    if (m_pOverview)
        m_pOverview->Resume();
    return true;
}

bool CMainFrame::RunFrameCommand(int id)
{
    switch (id) {
    case kCmdFileNew:
        m_pDocuments->OnFileNew();
        return true;
    case kCmdFileOpen:
        OnFileOpen();
        return true;
    case kCmdFileSave:
        m_pDocuments->OnFileSave();
        SaveRecentFiles();
        return true;
    case kCmdFileSaveAs:
        m_pDocuments->OnFileSaveAs();
        SaveRecentFiles();
        return true;
    case view::kCmdAppExit:
        close();
        return true;
    case view::kCmdAppAbout:
        RunAboutBox(this);
        return true;
    case view::kCmdHelpFinder:
        RunHelpTopics(this);
        return true;
    case view::kCmdViewToolBar:
        m_pToolBar->setVisible(!m_pToolBar->isVisible());
        return true;
    case view::kCmdViewStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        return true;
    case view::kCmdRecentFile:
        OnRecentFile(0);
        return true;
    default:
        return false;
    }
}

void CMainFrame::OnFileOpen()
{
    const std::optional<std::string> path = AskOpenPath(this);
    if (path)
        OpenFile(*path);
}

bool CMainFrame::NewDocument()
{
    if (m_pOverview)
        m_pOverview->Suspend();
    m_pView->Core().m_doc.OnNewDocument();
    m_pView->Core().InitialUpdate();
    UpdateCommandUi();
    if (m_pOverview)
        m_pOverview->Resume();
    return true;
}

bool CMainFrame::OpenFile(const std::string& path) { return Open(path) == view::OpenResult::Opened; }

view::OpenResult CMainFrame::Open(const std::string& path)
{
    // Also reached from the recent-file entries, outside Dispatch: the old take goes here.
    if (m_pOverview)
        m_pOverview->Suspend();
    const view::OpenResult result = m_pDocuments->OpenDocumentFile(path);
    if (result != view::OpenResult::Cancelled)
        SaveRecentFiles();
    UpdateCommandUi();
    // A load that changed the samples says so: never a silent conversion.
    const SourceFormat& source = m_pView->Core().m_doc.m_source;
    if (result == view::OpenResult::Opened && source.IsConverted())
        statusBar()->showMessage(Tr("変換して読み込みました: %1 — %2")
                                     .arg(QString::fromStdString(source.m_strDescription),
                                          QString::fromStdString(source.m_strConversion)));
    if (m_pOverview)
        m_pOverview->Resume();
    return result;
}

void CMainFrame::OnRecentFile(std::size_t index)
{
    if (index >= m_recent.Entries().size())
        return;
    const std::string path = m_recent.Entries()[index];
    if (Open(path) == view::OpenResult::Failed) {
        m_recent.Remove(path);
        SaveRecentFiles();
    }
}

void CMainFrame::FillRecentFiles()
{
    QAction* placeholder = Action(view::kCmdRecentFile);
    for (QAction* a : m_recentActions)
        delete a;
    m_recentActions.clear();
    const auto& entries = m_recent.Entries();
    placeholder->setVisible(entries.empty());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto* a = new QAction(QString::fromStdString(view::RecentFiles::MenuText(i, entries[i])), m_pFileMenu);
        a->setEnabled(QueryCommand(view::kCmdRecentFile).m_bEnable);
        a->setStatusTip(Tr("指定の文書を開く"));
        connect(a, &QAction::triggered, this, [this, i] {
            if (QueryCommand(view::kCmdRecentFile).m_bEnable)
                OnRecentFile(i);
        });
        m_pFileMenu->insertAction(placeholder, a);
        m_recentActions.push_back(a);
    }
}

void CMainFrame::UpdateTitle()
{
    // A new document's name ("無題") is a text of the program; a file's name is not.
    if (m_pDocuments->PathName().empty())
        setWindowTitle(Tr(view::kUntitled) + QStringLiteral(" - ") + QString::fromUtf8(view::kAppTitle));
    else
        setWindowTitle(QString::fromStdString(m_pDocuments->FrameTitle()));
}

void CMainFrame::LoadRecentFiles()
{
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kRecentGroup));
    std::vector<std::string> entries;
    for (std::size_t i = 1; i <= view::RecentFiles::kMaxEntries; ++i) {
        const std::string path = PathFromSetting(settings.value(QStringLiteral("File%1").arg(i)));
        if (!path.empty())
            entries.push_back(path);
    }
    m_recent.SetEntries(entries);
}

void CMainFrame::SaveRecentFiles() const
{
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kRecentGroup));
    settings.remove(QString());
    const auto& entries = m_recent.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        settings.setValue(QStringLiteral("File%1").arg(i + 1), PathSetting(entries[i]));
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    m_pView->StopForClose();
    UpdateCommandUi();
    if (!m_pDocuments->SaveModified()) {
        event->ignore();
        return;
    }
    SaveRecentFiles();
    event->accept();
}

}  // namespace tonmira::ui
