// The frame's additions beyond its form: the overview pane in a dock (hidden until its switch at
// the end of the 表示 menu is checked), the marks a selection in it sets, the readouts under the
// mouse and the input level while recording.
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <cmath>

#include "ui/GraphReadout.h"
#include "ui/MainFrame.h"
#include "ui/OverviewPane.h"
#include "ui/TonmiraView.h"

namespace tonmira::ui {

QDockWidget* CMainFrame::AddPaneDock(const QString& title, const QString& name, QWidget* pane, Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(name);
    dock->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    dock->setWidget(pane);
    addDockWidget(area, dock);
    dock->hide();
    return dock;
}

void CMainFrame::CreateOverview()
{
    m_pOverview = new OverviewPane(*m_pView, this);
    m_pOverviewDock = AddPaneDock(tr("概要"), QStringLiteral("overviewDock"), m_pOverview, Qt::TopDockWidgetArea);
    m_pOverview->AddMenuAction(Action(view::kCmdViewFitTake));

    // Closing the dock by its own button unchecks the menu item and frees the form again.
    connect(m_pOverviewDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible && m_pOverviewDock->isHidden())
            m_pView->setMinimumHeight(1);
        UpdateCommandUi();
    });
    connect(m_pOverview, &OverviewPane::RangeSelected, this, &CMainFrame::MarkRange);

    m_pReadout = new GraphReadout(*m_pView, *statusBar());
    connect(m_pOverview, &OverviewPane::Readout, this, [this](const QString& text) {
        statusBar()->showMessage(text.isEmpty() ? tr("レディ") : text);
    });
}

namespace {

QString Dbfs(double db) { return std::isfinite(db) ? QString::number(db, 'f', 1) : QStringLiteral("-∞"); }

}  // namespace

QString CMainFrame::InputLevelText() const
{
    const CTransport& t = m_pView->Core().m_transport;
    const InputLevelMeter& meter = t.InputLevel();
    if (m_pView->Core().m_doc.m_nState != TransportState::Recording || !meter.Measured())
        return {};
    QStringList parts;
    for (int c = 0; c < meter.Channels(); ++c) {
        const ChannelLevel level = meter.Level(c);
        QString part = tr("ピーク %1  RMS %2 dBFS").arg(Dbfs(level.peakDbfs), Dbfs(level.rmsDbfs));
        if (meter.Channels() == 2)
            part = (c == 0 ? QStringLiteral("L ") : QStringLiteral("R ")) + part;
        if (level.clipped)
            part += QStringLiteral(" <b style=\"color:#c00000\">%1</b>").arg(tr("クリップ"));
        parts << part;
    }
    return parts.join(QStringLiteral(" | "));
}

void CMainFrame::CreateLevelMeter()
{
    // Before the lock keys; hidden unless a recording or collection measures the input.
    auto* meter = new QLabel(statusBar());
    meter->setObjectName(QStringLiteral("inputLevel"));
    meter->setTextFormat(Qt::RichText);
    meter->hide();
    statusBar()->insertPermanentWidget(0, meter);
    // Every batch of recorded buffers is announced with the analysis it refreshes.
    m_nLevelSubscription = m_pView->Core().m_session.Changes().Subscribe([this, label = QPointer<QLabel>(meter)](ChangeSet changes) {
        if (!label || !(changes & (kChangeAnalysis | kChangeTransport)))
            return;
        const QString text = InputLevelText();
        label->setText(text);
        label->setVisible(!text.isEmpty());
    });
}

void CMainFrame::ShowOverview(bool show)
{
    if (!show) {
        m_pOverviewDock->hide();
        m_pView->setMinimumHeight(1);
        // The window gets back the height it had before the pane came (the layout first lets go
        // of the pane's minimum, which would hold the window's).
        if (m_nHeightBeforeOverview > 0 && !isMaximized() && !isFullScreen()) {
            layout()->activate();
            resize(width(), m_nHeightBeforeOverview);
        }
        m_nHeightBeforeOverview = 0;
        return;
    }
    // The dock's height: the pane's and its title's.
    const int paneHeight = m_pOverviewDock->sizeHint().height();
    const int paneLeast = m_pOverviewDock->minimumSizeHint().height();
    const int form = m_pView->height();
    int room = form + paneHeight;  // for the form and the pane
    if (!isMaximized() && !isFullScreen()) {
        // Grown by the pane's height where the screen has room; moved up if the bottom would
        // leave it.
        int growth = paneHeight;
        if (const QScreen* s = screen()) {
            const QRect screenRoom = s->availableGeometry();
            const int decoration = frameGeometry().height() - geometry().height();
            growth = std::max(std::min(growth, screenRoom.height() - decoration - height()), 0);
            if (growth > 0 && frameGeometry().bottom() + growth > screenRoom.bottom())
                move(x(), std::max(screenRoom.top(), y() - (frameGeometry().bottom() + growth - screenRoom.bottom())));
        }
        m_nHeightBeforeOverview = height();
        resize(width(), height() + growth);
        room = form + growth;
    }
    // The form keeps its height while the pane can have its least; beyond that the form gives
    // way, never below its template's height (nor below what it had).
    m_pView->setMinimumHeight(std::clamp(room - paneLeast, std::min(form, m_pView->Layout().FormHeight()), form));
    m_pOverviewDock->show();
    resizeDocks({m_pOverviewDock}, {m_pOverview->sizeHint().height()}, Qt::Vertical);
}

void CMainFrame::MarkRange(unsigned first, unsigned last)
{
    // Through the mark commands themselves, as a user would set them: each toggles, so a mark
    // already set is taken away first. 開始ﾏｰｸ marks the position; 終了ﾏｰｸ the last frame of the
    // window at the position.
    CTonmiraDoc& doc = m_pView->Core().m_doc;
    const auto n = static_cast<unsigned>(std::max(m_pView->Core().m_analysis.m_nFftSize, 1));
    m_pView->MoveToSliderPosition(first);
    if (doc.m_nStartMark != 0)
        Dispatch(view::kCmdStartMark);
    Dispatch(view::kCmdStartMark);
    m_pView->MoveToSliderPosition(last >= n - 1 ? last - (n - 1) : 0);
    if (doc.m_nEndMark + 1 != doc.m_nSamples)
        Dispatch(view::kCmdEndMark);
    Dispatch(view::kCmdEndMark);
    m_pView->MoveToSliderPosition(first);
}

}  // namespace tonmira::ui
