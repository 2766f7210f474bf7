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
#include <QTimer>
#include <QToolBar>

#include "doc/TonmiraDoc.h"
#include "session/TakeLoad.h"
#include "ui/ViewDialogs.h"
#include "ui/FrameIcons.h"
#include "ui/LockKeys.h"
#include "ui/OverviewPane.h"
#include "ui/QtDocumentPrompts.h"
#include "ui/SuspendWatcher.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"
#include "view/CommandTable.h"

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

    BindCommands();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateAccelerators();
    CreateOverview();
    CreateEventList();
    CreateLevelMeter();
    LoadRecentFiles();
    qApp->installEventFilter(this);

    m_pSuspend = new SuspendWatcher(this);
    connect(m_pSuspend, &SuspendWatcher::aboutToSuspend, this, [this] {
        // No device may stay open across the suspend, whatever the lock says.
        Run(view::kCmdStop);
    });
}

CMainFrame::~CMainFrame()
{
    // The worker reads into a document of its own, but reports to this window: it ends first.
    StopLoad();
    // The pane's workers read the take: they end before the view and its document go.
    m_pOverview->Shutdown();
    // The dock hides while the base class deletes it; its signal must not reach a frame that is
    // no longer one.
    m_pOverviewDock->disconnect();
    // The event list hears the view's session: it goes while the view is still there.
    m_pEventListDock->disconnect();
    delete m_pEventListDock;
    m_pEventListDock = nullptr;
    m_pEventList = nullptr;
    qApp->removeEventFilter(this);
    // The view's session outlives the frame's own members: the meter hears it no more.
    m_pView->Core().m_session.Changes().Unsubscribe(m_nLevelSubscription);
    m_pView->StopForClose();
}

void CMainFrame::SetPrompts(view::DocumentPrompts* prompts)
{
    m_pPrompts = prompts ? prompts : m_pDefaultPrompts.get();
    m_pDocuments = std::make_unique<view::DocumentCommands>(m_pView->Core(), *m_pPrompts, m_recent);
}

QAction* CMainFrame::MakeAction(const view::Command& command)
{
    const int id = command.id;
    auto* action = new QAction(Tr(view::MenuText(command).c_str()), this);
    action->setObjectName(QStringLiteral("cmd%1").arg(id));
    action->setData(id);
    if (command.prompt) {
        action->setStatusTip(Tr(command.prompt));
        action->setToolTip(Tr(command.tip ? command.tip : command.prompt));
    }
    action->setCheckable(command.checkable);
    // The menus show text and check marks only; the pictures are the tool bar's.
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, id] {
        // A checkable action flips its own mark; the state decides it, not the click.
        Dispatch(id);
        UpdateCommandUi();
    });
    m_actions[id] = action;
    return action;
}

void CMainFrame::CreateMenus()
{
    QMenu* menu = nullptr;
    view::Menu current = view::Menu::None;
    for (const view::Command& command : view::Commands()) {
        if (command.menu == view::Menu::None)
            continue;
        if (command.menu != current) {
            current = command.menu;
            menu = menuBar()->addMenu(Tr(view::MenuTitle(current)));
            if (!m_pFileMenu) {
                m_pFileMenu = menu;
                connect(menu, &QMenu::aboutToShow, this, &CMainFrame::FillRecentFiles);
            }
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
        } else if (command.separatorBefore) {
            menu->addSeparator();
        }
        menu->addAction(MakeAction(command));
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
        // Greyed while its lock is off, and always where the states cannot be read.
        label->setEnabled(false);
        bar->addPermanentWidget(label);
    }
    // The locks change from any window: read again a few times a second, cheaply (one request).
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &CMainFrame::ShowLockKeys);
    poll->start(250);
    bar->showMessage(Tr("レディ"));
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& text) {
        if (text.isEmpty())
            bar->showMessage(Tr("レディ"));
    });
}

void CMainFrame::ShowLockKeys()
{
    const std::optional<LockKeyStates> states = ReadLockKeys();
    if (!states)
        return;
    const std::pair<const char*, bool> panes[] = {
        {"CAP", states->m_bCaps}, {"NUM", states->m_bNum}, {"SCRL", states->m_bScroll}};
    for (const auto& [name, on] : panes)
        if (auto* label = statusBar()->findChild<QLabel*>(QString::fromLatin1(name)))
            label->setEnabled(on);
}

void CMainFrame::CreateAccelerators()
{
    for (const view::Command& command : view::Commands()) {
        const int id = command.id;
        for (const char* name : command.keys) {
            if (!name)
                continue;
            auto* key = new QAction(this);
            key->setShortcut(QKeySequence(QString::fromLatin1(name)));
            key->setShortcutContext(Qt::WindowShortcut);
            key->setData(id);
            key->setObjectName(QStringLiteral("key%1").arg(id));
            connect(key, &QAction::triggered, this, [this, id] { Dispatch(id); });
            addAction(key);
            m_keyActions.push_back(key);
        }
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    // Space stops from anywhere in the window, also where an edit would take the key; so does
    // Esc a file being read.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() == Qt::Key_Escape && IsLoading() && widget && widget->window() == this) {
            if (event->type() == QEvent::KeyPress)
                CancelLoad();
            event->accept();
            return event->type() == QEvent::KeyPress;
        }
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier && widget && widget->window() == this) {
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                Dispatch(view::kCmdStop);
            event->accept();
            return event->type() == QEvent::KeyPress;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

view::CommandState CMainFrame::QueryCommand(int id) const
{
    view::CommandContext context = view::DocumentContext(m_pView->Core().m_doc);
    context.m_bCollectBusy = m_pView->Core().IsCollecting();
    context.m_bLoading = IsLoading();
    context.m_bToolBarVisible = m_pToolBar && m_pToolBar->isVisible();
    context.m_bStatusBarVisible = statusBar()->isVisible();
    context.m_bOverviewVisible = m_pOverviewDock && !m_pOverviewDock->isHidden();
    context.m_bEventListVisible = m_pEventListDock && !m_pEventListDock->isHidden();
    context.m_bHasRecentFiles = !m_recent.Entries().empty();
    context.m_bCanUndo = m_pView->Core().CanUndo();
    view::CommandState state = view::QueryCommand(context, id);
    if (!m_handlers.count(id))
        state = {};
    return state;
}

QAction* CMainFrame::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::UpdateCommandUi()
{
    for (auto& [id, action] : m_actions) {
        const view::CommandState s = QueryCommand(id);
        action->setEnabled(s.m_bHandled && s.m_bEnable);
        if (s.m_bSetCheck)
            action->setChecked(s.m_bCheck);
        else if (action->isCheckable() && !s.m_bHandled)
            action->setChecked(false);
    }
    if (QAction* graph = Action(view::kCmdGraphType))
        graph->setText(Tr(m_pView->Core().m_bLogGraph ? view::kGraphTypeToLinear : view::kGraphTypeToLog));
    for (QAction* key : m_keyActions) {
        const view::CommandState s = QueryCommand(key->data().toInt());
        key->setEnabled(s.m_bHandled && s.m_bEnable);
    }
    UpdateTitle();
}

bool CMainFrame::Dispatch(int id)
{
    const view::CommandState state = QueryCommand(id);
    if (!state.m_bHandled || !state.m_bEnable) {
        UpdateCommandUi();
        return false;
    }
    // A command may change or free the take: the overview's workers let go of it first.
    if (m_pOverview)
        m_pOverview->Suspend();
    Run(id);
    UpdateCommandUi();
    if (m_pOverview)
        m_pOverview->Resume();
    return true;
}

void CMainFrame::Run(int id)
{
    auto handler = m_handlers.find(id);
    if (handler == m_handlers.end())
        return;
    handler->second();
    m_pView->TransportChanged();
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
    // A file still being read is called off, not waited for; the take it would replace stays.
    StopLoad();
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
