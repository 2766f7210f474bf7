// The window's one binding of commands to handlers. A command is a row of the command table
// (view/CommandTable.cpp), a handler here and its texts' translations; nothing else.
#include <QDockWidget>
#include <QStatusBar>
#include <QToolBar>

#include "ui/MainFrame.h"
#include "ui/OverviewPane.h"
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
    TonmiraSession& session = core.m_session;
    // A transport command through the session, which announces what it changed.
    auto transport = [&session, &t](void (CTransport::*command)()) {
        return [&session, &t, command] { session.Command([&t, command] { (t.*command)(); }); };
    };
    m_handlers = {
        {kCmdFileNew, [this] { m_pDocuments->OnFileNew(); }},
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
        {kCmdEditUndo, [&v] { v.OnUndo(); }},
        {kCmdPlay, transport(&CTransport::OnPlay)},
        {kCmdRecord, [&session] { session.OnRecord(); }},
        {kCmdStop, [&v] { v.OnStop(); }},
        {kCmdPause, transport(&CTransport::OnPause)},
        {kCmdLock, transport(&CTransport::OnLock)},
        {kCmdToStart, transport(&CTransport::OnGoTop)},
        {kCmdToEnd, transport(&CTransport::OnGoEnd)},
        {kCmdStartMark, transport(&CTransport::OnStartMark)},
        {kCmdEndMark, transport(&CTransport::OnEndMark)},
        {kCmdGoToTime, [&v] { RunGoToTimeDialog(v.Dialogs()); }},
        {kCmdReverse, transport(&CTransport::OnReverse)},
        {kCmdBalance,
         [&v, &session, &t] {
             int balance = v.Core().m_doc.m_nBalance;
             if (RunBalanceDialog(v.Dialogs(), balance))
                 session.Command([&t, balance] { t.ApplyBalance(balance); });
         }},
        {kCmdSpeed,
         [&v, &t] {
             int speed = t.Speed();
             if (RunSpeedDialog(v.Dialogs(), speed))
                 t.SetSpeed(speed);  // applies from the next play command
         }},
        {kCmdRecordSetup,
         [&v, &session, &t] {
             session.Command([&] {
                 t.OnRecordSetup([&](RecordSetupValues& values) { return RunRecordSetupDialog(v.Dialogs(), values); });
             });
         }},
        {kCmdAutoRecordSetup, [&v] { RunAutoRecordDialog(v.Dialogs()); }},
        {kCmdDetectionCalc, [&v] { RunDetectionCalcDialog(v.Dialogs()); }},
        {kCmdDetectLevel, [&v] { v.ShowDetectLevel(); }},
        {kCmdGraphType, [&v] { v.ToggleGraphType(); }},
        {kCmdProperties, [&v] { RunPropertyDialog(v.Dialogs()); }},
        {kCmdViewToolBar, [this] { m_pToolBar->setVisible(!m_pToolBar->isVisible()); }},
        {kCmdViewStatusBar, [this] { statusBar()->setVisible(!statusBar()->isVisible()); }},
        {kCmdViewOverview, [this] { ShowOverview(m_pOverviewDock->isHidden()); }},
        {kCmdViewFitTake, [this] { m_pOverview->FitWholeTake(); }},
        {kCmdViewEventList, [this] { m_pEventListDock->setVisible(m_pEventListDock->isHidden()); }},
        {kCmdHelpFinder, [this] { RunHelpTopics(this); }},
        {kCmdAppAbout, [this] { RunAboutBox(this); }},
    };
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
