// The event list pane in a dock (hidden until its switch in the 表示 menu is checked), and the
// way from one of its rows to the event.
#include <QDockWidget>

#include "ui/EventListPane.h"
#include "ui/MainFrame.h"
#include "ui/TonmiraView.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

void CMainFrame::CreateEventList()
{
    m_pEventList = new EventListPane(*m_pView, this);
    m_pEventList->m_onJump = [this](const view::EventJump& jump) { OnEventJump(jump); };
    m_pEventListDock = AddPaneDock(Tr("イベント一覧"), QStringLiteral("eventListDock"), m_pEventList, Qt::BottomDockWidgetArea);
    // Closing the dock by its own button unchecks the menu item.
    connect(m_pEventListDock, &QDockWidget::visibilityChanged, this, &CMainFrame::UpdateCommandUi);
}

void CMainFrame::OnEventJump(const view::EventJump& jump)
{
    // Opening replaces the take: only when File > Open could (idle, no event in flight).
    if (jump.kind == view::EventJump::Kind::None || !QueryCommand(view::kCmdFileOpen).m_bEnable)
        return;
    // Asks to save a modified take first, as any open does; read in the background like any open.
    StartOpen(jump.path, [this, jump](view::OpenResult result) {
        if (result == view::OpenResult::Opened && jump.kind == view::EventJump::Kind::OpenAtOffset)
            m_pView->GoToTime(jump.offset);
        UpdateCommandUi();
    });
}

}  // namespace tonmira::ui
