// The frame's additions beyond its form: the overview pane in a dock (hidden until its switch at
// the end of the 表示 menu is checked) and the readouts under the mouse.
#include <QDockWidget>
#include <QStatusBar>

#include "ui/GraphReadout.h"
#include "ui/MainFrame.h"
#include "ui/OverviewPane.h"
#include "ui/TonmiraView.h"

namespace tonmira::ui {

void CMainFrame::CreateOverview()
{
    m_pOverviewDock = new QDockWidget(tr("概要"), this);
    m_pOverviewDock->setObjectName(QStringLiteral("overviewDock"));
    m_pOverviewDock->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    m_pOverview = new OverviewPane(*m_pView, m_pOverviewDock);
    m_pOverviewDock->setWidget(m_pOverview);
    addDockWidget(Qt::TopDockWidgetArea, m_pOverviewDock);
    m_pOverviewDock->hide();

    // Closing the dock by its own button unchecks the menu item.
    connect(m_pOverviewDock, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateCommandUi);

    m_pReadout = new GraphReadout(*m_pView, *statusBar());
    connect(m_pOverview, &OverviewPane::Readout, this, [this](const QString& text) {
        statusBar()->showMessage(text.isEmpty() ? tr("レディ") : text);
    });
}

}  // namespace tonmira::ui
