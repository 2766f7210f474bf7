#include "ui/dialogs/CAboutDlg.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

#include "ui/dialogs/ControlId.h"

namespace tonmira::ui {

CAboutDlg::CAboutDlg(MessageSink& sink, QWidget* parent)
    : TemplateDialog(100, "Tonmira のﾊﾞｰｼﾞｮﾝ情報", 200, 62, sink, parent)
{
    auto* icon = new QLabel(this);
    const int side = m_units.Y(20);
    icon->setPixmap(QApplication::style()->standardIcon(QStyle::SP_MediaVolume).pixmap(side, side));
    m_units.Place(icon, 7, 7, 20, 20);
    AddStatic(0, kAboutVersionText, 34, 8, 110, 8);
    // Below the OK button, where the line has the dialog's width (and room for a second line).
    QLabel* summary = AddStatic(0, "録音・再生・解析と自動集音", 34, 23, 159, 16);
    summary->setWordWrap(true);
    AddStatic(0, "GPL-2.0-or-later", 34, 42, 110, 8);
    AddButton(kIdOk, "OK", 143, 7, 50, 14, true);
}

}  // namespace tonmira::ui
