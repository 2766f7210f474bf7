// The window's one binding of commands to handlers. A command is a row of the command table
// (view/CommandTable.cpp), a handler here and its texts' translations; nothing else.
#include <QDockWidget>
#include <QStatusBar>
#include <QToolBar>

#include "ui/MainFrame.h"
#include "ui/TonmiraView.h"
#include "ui/ViewDialogs.h"

namespace tonmira::ui {

void CMainFrame::BindCommands()
{
    using namespace view;
    // The view and its core live as long as the frame.
    CTonmiraView& v = *m_pView;
    ViewCore& core = v.Core();
    CTransport& t = core.m_transport;
    m_handlers = {
        {kCmdFileNew, [this] { OnFileNew(); }},
        {kCmdFileOpen, [this] { OnFileOpen(); }},
        {kCmdFileSave, [this] { OnFileSave(false); }},
        {kCmdFileSaveAs, [this] { OnFileSave(true); }},
        {kCmdSaveMonoData, [&v] { RunSaveMonoData(v.Dialogs()); }},
        {kCmdSavePcmData, [&v] { RunSavePcmData(v.Dialogs()); }},
        {kCmdSaveSpectrumData, [&v] { RunSaveSpectrumData(v.Dialogs()); }},
        {kCmdSaveSpectrumTransition, [&v] { RunSaveSpectrumTransition(v.Dialogs()); }},
        {kCmdRecentFile, [this] { OnRecentFile(0); }},
        {kCmdAppExit, [this] { close(); }},
        {kCmdTruncate, [&v] { v.OnTruncate(); }},
        {kCmdRangeExpand, [&v] { RunRangeExpansionDialog(v.Dialogs()); }},
        {kCmdPlay, [&t] { t.OnPlay(); }},
        {kCmdRecord, [&core] { core.OnRecord(); }},
        {kCmdStop, [&t] { t.OnStop(); }},
        {kCmdPause, [&t] { t.OnPause(); }},
        {kCmdLock, [&t] { t.OnLock(); }},
        {kCmdToStart, [&t] { t.OnGoTop(); }},
        {kCmdToEnd, [&t] { t.OnGoEnd(); }},
        {kCmdStartMark, [&t] { t.OnStartMark(); }},
        {kCmdEndMark, [&t] { t.OnEndMark(); }},
        {kCmdReverse, [&t] { t.OnReverse(); }},
        {kCmdBalance, [&t] { t.OnBalance(); }},
        {kCmdSpeed, [&t] { t.OnSpeed(); }},
        {kCmdRecordSetup, [&t] { t.OnRecordSetup(); }},
        {kCmdAutoRecordSetup, [&v] { RunAutoRecordDialog(v.Dialogs()); }},
        {kCmdDetectionCalc, [&v] { RunDetectionCalcDialog(v.Dialogs()); }},
        {kCmdDetectLevel, [&v] { v.ShowDetectLevel(); }},
        {kCmdGraphType, [&v] { v.ToggleGraphType(); }},
        {kCmdProperties, [&v] { RunPropertyDialog(v.Dialogs()); }},
        {kCmdViewToolBar, [this] { m_pToolBar->setVisible(!m_pToolBar->isVisible()); }},
        {kCmdViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); }},
        {kCmdViewOverview, [this] { m_pOverviewDock->setVisible(m_pOverviewDock->isHidden()); }},
        {kCmdHelpFinder, [this] { RunHelpTopics(this); }},
        {kCmdAppAbout, [this] { RunAboutBox(this); }},
    };
}

void CMainFrame::OnFileNew()
{
    if (m_pDocuments->OnFileNew())
        m_pView->OnInitialUpdate();
}

void CMainFrame::OnFileSave(bool saveAs)
{
    if (saveAs)
        m_pDocuments->OnFileSaveAs();
    else
        m_pDocuments->OnFileSave();
    SaveRecentFiles();
}

}  // namespace tonmira::ui
