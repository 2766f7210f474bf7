#pragma once
// CMainFrame: the one window. Menus, keys and tool bar are built from the command table; every
// command goes through Dispatch, which ignores a command the state does not allow, so menu,
// tool bar and keys can never disagree.
#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "view/CommandTable.h"
#include "view/DocumentCommands.h"
#include "view/EventLogTable.h"
#include "view/RecentFiles.h"

class QAction;
class QLabel;
class QMenu;
class QToolBar;

namespace tonmira {
class FormatPrompt;
class LocalClock;
class MessageSink;
class TakeLoad;
class WaveBackend;
}  // namespace tonmira

namespace tonmira::ui {

class CTonmiraView;
class GraphReadout;
class EventListPane;
class OverviewPane;
class SuspendWatcher;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(MessageSink& sink, WaveBackend& backend, const LocalClock& clock, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Runs command id when the present state allows it; returns whether it ran.
    bool Dispatch(int id);
    // The first document: empty, or the file named on the command line. False when that file
    // could not be opened (its message has been shown).
    bool NewDocument();
    // Opens path as Open does and returns when the read has ended (the event loop runs while the
    // worker reads): the result. Cancelled also when another read runs.
    view::OpenResult OpenAndWait(const std::string& path);
    bool OpenFile(const std::string& path) { return OpenAndWait(path) == view::OpenResult::Opened; }
    // Asks about a modified take, then reads path on a worker while the window goes on (progress
    // in the status bar, Esc calls it off); the take is replaced when the read succeeded. done,
    // when given, gets the result on this thread. False when nothing was started: the question
    // was cancelled, or a read runs already (one at a time: the commands that open are disabled
    // meanwhile, so a second read is refused rather than calling off the first).
    bool StartOpen(const std::string& path, std::function<void(view::OpenResult)> done = {});
    bool IsLoading() const { return m_pLoad != nullptr; }
    // Calls the running read off; the take, view and title stay as they were.
    void CancelLoad();

    // The state a command shows now (enabled, checked), as menu, tool bar and keys use it.
    view::CommandState QueryCommand(int id) const;
    QAction* Action(int id) const;
    CTonmiraView& View() { return *m_pView; }
    view::DocumentCommands& Documents() { return *m_pDocuments; }
    view::RecentFiles& Recent() { return m_recent; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    OverviewPane* Overview() const { return m_pOverview; }
    EventListPane* EventList() const { return m_pEventList; }
    // Questions of the document commands; the frame's own dialogs unless replaced (tests).
    void SetPrompts(view::DocumentPrompts* prompts);

    // Brings every action's enabled and checked state up to date.
    void UpdateCommandUi();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    // CAP, NUM and SCRL: on while the lock is; left as they are when the states cannot be read.
    void ShowLockKeys();
    void CreateAccelerators();
    QAction* MakeAction(const view::Command& command);
    void FillRecentFiles();
    void OnFileOpen();
    void OnRecentFile(std::size_t index);
    // The read has ended (or is abandoned): the messages it left, the take swapped in on success.
    void EndLoad();
    // The read is called off and waited for (closing, destroying).
    void StopLoad();
    void ShowLoadProgress();
    void UpdateTitle();
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    // The handler of every command the window carries out (MainFrameCommands.cpp); a command of
    // the table without one stays disabled.
    void BindCommands();
    // Runs a command's handler, whatever its state says.
    void Run(int id);
    void OnFileSave(bool saveAs);
    // The overview pane (hidden), its switch at the end of the 表示 menu and the readouts.
    void CreateOverview();
    // A pane in a dock of its own (top or bottom), hidden until its switch in the 表示 menu.
    QDockWidget* AddPaneDock(const QString& title, const QString& name, QWidget* pane, Qt::DockWidgetArea area);
    // The event list pane (hidden) and where its rows lead: a row's input opened at the event's
    // offset, or the event's own file (MainFrameEventList.cpp).
    void CreateEventList();
    void OnEventJump(const view::EventJump& jump);
    // Shows or hides the overview pane; shown, the window grows by its height where the screen
    // has room, and the form keeps its height.
    void ShowOverview(bool show);
    // Sets the start and end marks to frames first..last through the mark commands.
    void MarkRange(unsigned first, unsigned last);
    // The input level in the status bar while recording or collecting.
    void CreateLevelMeter();

public:
    // What the level meter shows now: peak and RMS per channel, a clip; empty when not recording.
    QString InputLevelText() const;

private:

    CTonmiraView* m_pView = nullptr;
    std::unique_ptr<view::DocumentPrompts> m_pDefaultPrompts;
    view::DocumentPrompts* m_pPrompts = nullptr;
    view::RecentFiles m_recent;
    std::unique_ptr<view::DocumentCommands> m_pDocuments;
    std::unique_ptr<FormatPrompt> m_pFormatPrompt;
    std::map<int, std::function<void()>> m_handlers;
    std::map<int, QAction*> m_actions;
    std::vector<QAction*> m_keyActions;
    QMenu* m_pFileMenu = nullptr;
    std::vector<QAction*> m_recentActions;
    QToolBar* m_pToolBar = nullptr;
    SuspendWatcher* m_pSuspend = nullptr;
    class QDockWidget* m_pOverviewDock = nullptr;
    OverviewPane* m_pOverview = nullptr;
    int m_nHeightBeforeOverview = 0;  // the window's height before the pane was shown
    std::size_t m_nLevelSubscription = 0;  // the level meter's, ended with the frame
    GraphReadout* m_pReadout = nullptr;
    class QDockWidget* m_pEventListDock = nullptr;
    EventListPane* m_pEventList = nullptr;

    // The read in progress, if any, and what it needs at its end.
    std::unique_ptr<TakeLoad> m_pLoad;
    unsigned m_nLoadSerial = 0;  // a finished read's post for an earlier read is stale
    std::string m_strLoadPath;
    std::function<void(view::OpenResult)> m_loadDone;
    class QProgressBar* m_pLoadProgress = nullptr;
    class QTimer* m_pLoadTimer = nullptr;
};

}  // namespace tonmira::ui
