#include "ui/dialogs/CBalanceDlg.h"

#include <QSlider>

#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"

namespace tonmira::ui {

CBalanceDlg::CBalanceDlg(MessageSink& sink, QWidget* parent)
    : TemplateDialog(131, "左右ﾊﾞﾗﾝｽ設定", 180, 62, sink, parent)
{
    AddStatic(0, "L", 7, 12, 8, 8);
    m_slider = AddSlider(kIdcBalanceSlider, Qt::Horizontal, 17, 7, 146, 20);
    AddStatic(0, "R", 166, 12, 8, 8);
    AddButton(kIdOk, "OK", 66, 40, 50, 14, true);
    AddButton(kIdCancel, "ｷｬﾝｾﾙ", 123, 40, 50, 14);
}

void CBalanceDlg::DoDataExchange(DataExchange& dx) { dx.Slider(kIdcBalanceSlider, m_nBalance); }

void CBalanceDlg::OnInitDialog()
{
    m_slider->setRange(0, 100);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setPageStep(10);
    TemplateDialog::OnInitDialog();
}

CSpeedDlg::CSpeedDlg(MessageSink& sink, QWidget* parent) : TemplateDialog(132, "再生速度の設定", 180, 66, sink, parent)
{
    m_slider = AddSlider(kIdcSpeedSlider, Qt::Horizontal, 7, 7, 166, 20);
    AddStatic(0, "1/2", 7, 28, 16, 8);
    AddStatic(0, "1", 82, 28, 16, 8, Qt::AlignHCenter);
    AddStatic(0, "2", 157, 28, 16, 8, Qt::AlignRight);
    AddButton(kIdOk, "OK", 66, 44, 50, 14, true);
    AddButton(kIdCancel, "ｷｬﾝｾﾙ", 123, 44, 50, 14);
}

void CSpeedDlg::DoDataExchange(DataExchange& dx) { dx.Slider(kIdcSpeedSlider, m_nSpeed); }

void CSpeedDlg::OnInitDialog()
{
    m_slider->setRange(-12, 12);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(1);
    m_slider->setPageStep(1);
    TemplateDialog::OnInitDialog();
}

bool RunBalanceDialog(int& balance, MessageSink& sink, QWidget* parent)
{
    CBalanceDlg dlg(sink, parent);
    dlg.m_nBalance = balance;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    balance = dlg.m_nBalance;
    return true;
}

bool RunSpeedDialog(int& speed, MessageSink& sink, QWidget* parent)
{
    CSpeedDlg dlg(sink, parent);
    dlg.m_nSpeed = speed;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    speed = dlg.m_nSpeed;
    return true;
}

}  // namespace tonmira::ui
