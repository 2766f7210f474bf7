// The frame's additions beyond its form: the overview pane in a dock (hidden until its switch at
// the end of the 表示 menu is checked) and the readouts under the mouse.
#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "ui/GraphReadout.h"
#include "ui/MainFrame.h"
#include "ui/OverviewPane.h"
#include "ui/TonmiraView.h"
#include "view/FrameCommandIds.h"

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

    auto* action = new QAction(tr("概要とｽﾍﾟｸﾄﾛｸﾞﾗﾑ(&O)"), this);
    action->setObjectName(QStringLiteral("cmd%1").arg(view::kCmdViewOverview));
    action->setData(view::kCmdViewOverview);
    action->setStatusTip(tr("テイク全体の概要とスペクトログラムの表示/非表示"));
    action->setCheckable(true);
    connect(action, &QAction::toggled, m_pOverviewDock, &QDockWidget::setVisible);
    connect(m_pOverviewDock, &QDockWidget::visibilityChanged, action, [dock = m_pOverviewDock, action] {
        // Closing the dock by its own button unchecks the menu item.
        action->setChecked(!dock->isHidden());
    });
    // The 表示 menu is the one holding the status-bar switch.
    for (QAction* entry : menuBar()->actions())
        if (QMenu* menu = entry->menu(); menu && Action(view::kCmdViewStatusBar) &&
                                         menu->actions().contains(Action(view::kCmdViewStatusBar)))
        {
            menu->addSeparator();
            menu->addAction(action);
        }

    m_pReadout = new GraphReadout(*m_pView, *statusBar());
    connect(m_pOverview, &OverviewPane::Readout, this, [this](const QString& text) {
        statusBar()->showMessage(text.isEmpty() ? tr("レディ") : text);
    });
}

}  // namespace tonmira::ui
