#include "ui/dialogs/CPropertyDlg.h"

#include <QLabel>

#include "doc/TakeFigures.h"
#include "doc/TonmiraDoc.h"
#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"

namespace tonmira::ui {

CPropertyDlg::CPropertyDlg(MessageSink& sink, QWidget* parent) : TemplateDialog(133, "ﾌﾟﾛﾊﾟﾃｨ", 230, 100, sink, parent)
{
    AddStatic(0, "ﾁｬﾝﾈﾙ数 ： ", 7, 7, 72, 8, Qt::AlignRight);
    AddStatic(kIdcPropChannels, "", 82, 7, 60, 8);
    AddStatic(0, "量子化ﾋﾞｯﾄ数 ： ", 7, 19, 72, 8, Qt::AlignRight);
    AddStatic(kIdcPropBits, "", 82, 19, 30, 8);
    AddStatic(0, "bit", 114, 19, 20, 8);
    AddStatic(0, "ｻﾝﾌﾟﾘﾝｸﾞ周波数 ： ", 7, 31, 72, 8, Qt::AlignRight);
    AddStatic(kIdcPropRate, "", 82, 31, 30, 8);
    AddStatic(0, "Hz", 114, 31, 20, 8);
    AddStatic(0, "全体の時間 ： ", 7, 43, 72, 8, Qt::AlignRight);
    AddStatic(kIdcPropTime, "", 82, 43, 60, 8);
    AddStatic(0, "ﾌｧｲﾙのﾊﾟｽ ： ", 7, 55, 72, 8, Qt::AlignRight);
    QLabel* path = AddStatic(kIdcPropPath, "", 82, 55, 141, 20);
    path->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    AddButton(kIdOk, "OK", 90, 80, 50, 14, true);
}

void CPropertyDlg::SetFromDocument(const CTonmiraDoc& doc)
{
    m_strRate = std::to_string(doc.m_header.nSamplesPerSec);
    m_strBits = std::to_string(doc.m_header.wBitsPerSample);
    m_strChannels = std::to_string(doc.m_header.nChannels);
    m_strTime = FormatTakeTime(doc.m_nSamples, doc.m_header.nSamplesPerSec);
    m_strPath = doc.m_strFileName;
}

void CPropertyDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    // A path has no spaces to wrap at: a long one keeps its start and its file name, and the
    // whole of it is the tool tip.
    auto* label = FindControl<QLabel>(this, kIdcPropPath);
    const QString path = QString::fromStdString(m_strPath);
    label->setText(label->fontMetrics().elidedText(path, Qt::ElideMiddle, label->width()));
    label->setToolTip(path);
}

void CPropertyDlg::DoDataExchange(DataExchange& dx)
{
    dx.Text(kIdcPropChannels, m_strChannels);
    dx.Text(kIdcPropPath, m_strPath);
    dx.Text(kIdcPropBits, m_strBits);
    dx.Text(kIdcPropRate, m_strRate);
    dx.Text(kIdcPropTime, m_strTime);
}

}  // namespace tonmira::ui
