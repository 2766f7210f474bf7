// Open, from the dialog, the recent files and the command line: the file is read on a worker
// (TakeLoad) while the window goes on drawing, with its progress in the status bar and Esc to
// call it off; the take is swapped in on this thread once the read is complete.
#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include "doc/TonmiraDoc.h"
#include "session/TakeLoad.h"
#include "ui/MainFrame.h"
#include "ui/OverviewPane.h"
#include "ui/QtDocumentPrompts.h"
#include "ui/TonmiraView.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

namespace {

// How often the bar follows the read: often enough to move smoothly, no more.
constexpr int kProgressMs = 100;

}  // namespace

void CMainFrame::OnFileOpen()
{
    const std::optional<std::string> path = AskOpenPath(this);
    if (path)
        StartOpen(*path);
}

void CMainFrame::OnRecentFile(std::size_t index)
{
    if (index >= m_recent.Entries().size())
        return;
    const std::string path = m_recent.Entries()[index];
    StartOpen(path, [this, path](view::OpenResult result) {
        if (result == view::OpenResult::Failed) {
            m_recent.Remove(path);
            SaveRecentFiles();
        }
    });
}

bool CMainFrame::StartOpen(const std::string& path, std::function<void(view::OpenResult)> done)
{
    if (m_pLoad || !m_pDocuments->SaveModified())
        return false;
    CTonmiraDoc& doc = m_pView->Core().m_doc;
    const unsigned serial = ++m_nLoadSerial;
    m_pLoad = std::make_unique<TakeLoad>(doc.m_sink, doc.m_pFormatPrompt, [this](std::function<void()> fn) {
        // Dropped with the window: a read outliving it has nobody to report to.
        QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
    });
    m_strLoadPath = path;
    m_loadDone = std::move(done);
    m_pLoad->Start(path, doc, [this, serial] {
        if (serial == m_nLoadSerial && m_pLoad)
            EndLoad();
    });

    if (!m_pLoadProgress) {
        m_pLoadProgress = new QProgressBar(statusBar());
        m_pLoadProgress->setObjectName(QStringLiteral("loadProgress"));
        m_pLoadProgress->setRange(0, 1000);
        m_pLoadProgress->setMaximumWidth(160);
        m_pLoadProgress->setTextVisible(false);
        statusBar()->insertPermanentWidget(0, m_pLoadProgress);
        m_pLoadTimer = new QTimer(this);
        connect(m_pLoadTimer, &QTimer::timeout, this, &CMainFrame::ShowLoadProgress);
    }
    m_pLoadProgress->setValue(0);
    m_pLoadProgress->setToolTip(QString::fromStdString(path));
    m_pLoadProgress->show();
    m_pLoadTimer->start(kProgressMs);
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    UpdateCommandUi();
    return true;
}

void CMainFrame::ShowLoadProgress()
{
    if (m_pLoad)
        m_pLoadProgress->setValue(static_cast<int>(m_pLoad->Progress() * 1000));
}

void CMainFrame::CancelLoad()
{
    if (m_pLoad)
        m_pLoad->Cancel();
}

void CMainFrame::StopLoad()
{
    if (!m_pLoad)
        return;
    m_pLoad->Cancel();
    EndLoad();
}

void CMainFrame::EndLoad()
{
    // Joined at once: the worker has ended, or (called off) ends at its next look at the flag.
    m_pLoad->Join();
    std::unique_ptr<TakeLoad> load = std::move(m_pLoad);
    ++m_nLoadSerial;
    m_pLoadTimer->stop();
    m_pLoadProgress->hide();
    QApplication::restoreOverrideCursor();

    view::OpenResult result = view::OpenResult::Cancelled;
    if (!load->IsCancelled()) {
        // What the read said, in its order, before the take it leaves is shown.
        MessageSink& sink = m_pView->Core().m_doc.m_sink;
        for (const std::string& text : load->TakeMessages())
            sink.Message(text);
        result = load->Succeeded() ? view::OpenResult::Opened : view::OpenResult::Failed;
    }
    if (result == view::OpenResult::Opened) {
        // The overview's workers let go of the old take before it leaves.
        if (m_pOverview)
            m_pOverview->Suspend();
        m_pDocuments->OpenLoaded(m_strLoadPath, load->Document());
        SaveRecentFiles();
    }
    UpdateCommandUi();
    // A load that changed the samples says so: never a silent conversion. What was done comes
    // first, so a narrow window still shows it; the whole text is the bar's tool tip. Another
    // file opened takes the notice away.
    const SourceFormat& source = m_pView->Core().m_doc.m_source;
    if (result == view::OpenResult::Opened && source.IsConverted()) {
        const QString notice = Tr("変換して読み込みました: %1 (%2)")
                                   .arg(QString::fromStdString(source.m_strConversion),
                                        QString::fromStdString(source.m_strDescription));
        statusBar()->showMessage(notice);
        statusBar()->setToolTip(notice);
    } else if (result == view::OpenResult::Opened) {
        statusBar()->showMessage(Tr("レディ"));
        statusBar()->setToolTip(QString());
    }
    if (result == view::OpenResult::Opened && m_pOverview)
        m_pOverview->Resume();
    if (auto done = std::move(m_loadDone))
        done(result);
}

view::OpenResult CMainFrame::OpenAndWait(const std::string& path)
{
    std::optional<view::OpenResult> result;
    QEventLoop loop;
    if (!StartOpen(path, [&](view::OpenResult r) {
            result = r;
            loop.quit();
        }))
        return view::OpenResult::Cancelled;
    if (!result)
        loop.exec();
    return *result;
}

}  // namespace tonmira::ui
