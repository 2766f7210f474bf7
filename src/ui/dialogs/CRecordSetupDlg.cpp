#include "ui/dialogs/CRecordSetupDlg.h"

#include <QComboBox>
#include <QSlider>

#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"

namespace tonmira::ui {

CRecordSetupDlg::CRecordSetupDlg(MessageSink& sink, QWidget* parent)
    : TemplateDialog(134, "録音設定", 200, 130, sink, parent)
{
    AddStatic(0, "ｻﾝﾌﾟﾘﾝｸﾞ周波数", 7, 9, 60, 8);
    AddDropList(kIdcRecordRate, {"96000", "48000", "44100", "22050", "11025"}, 70, 7, 50, 70);
    AddGroup("量子化ﾋﾞｯﾄ数", 7, 25, 90, 28);
    QButtonGroup* bits = NewRadioGroup();
    AddRadio(bits, kIdcRecord16Bit, "16ﾋﾞｯﾄ", 14, 37, 38, 10);
    AddRadio(bits, kIdcRecord8Bit, "8ﾋﾞｯﾄ", 55, 37, 38, 10);
    AddGroup("ﾁｬﾝﾈﾙ", 103, 25, 90, 28);
    QButtonGroup* channels = NewRadioGroup();
    AddRadio(channels, kIdcRecordStereo, "ｽﾃﾚｵ", 110, 37, 38, 10);
    AddRadio(channels, kIdcRecordMono, "ﾓﾉﾗﾙ", 151, 37, 38, 10);
    AddGroup("一時停止からの自動ｽﾀｰﾄ入力ﾚﾍﾞﾙ", 7, 58, 186, 42);
    m_sliderLevel = AddSlider(kIdcRecordLevel, Qt::Horizontal, 14, 70, 172, 15);
    m_sliderLevel->setRange(0, 50);
    m_sliderLevel->setTickPosition(QSlider::TicksBelow);
    m_sliderLevel->setTickInterval(5);
    AddStatic(0, "OFF", 14, 87, 20, 8);
    AddStatic(0, "50%", 166, 87, 20, 8, Qt::AlignRight);
    AddButton(kIdOk, "OK", 86, 108, 50, 14, true);
    AddButton(kIdCancel, "ｷｬﾝｾﾙ", 143, 108, 50, 14);
}

void CRecordSetupDlg::DoDataExchange(DataExchange& dx)
{
    dx.ComboIndex(kIdcRecordRate, m_nRateIndex);
    dx.Radio({kIdcRecord16Bit, kIdcRecord8Bit}, m_nBitsRadio);
    dx.Radio({kIdcRecordStereo, kIdcRecordMono}, m_nChannelRadio);
    dx.Slider(kIdcRecordLevel, m_nStartLevel);
}

void CRecordSetupDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    // The format of a take that already holds data cannot change.
    const bool formatFree = m_bHasData != 1;
    for (int id : {kIdcRecordRate, kIdcRecord16Bit, kIdcRecord8Bit, kIdcRecordStereo, kIdcRecordMono})
        FindControl(this, id)->setEnabled(formatFree);
    m_sliderLevel->setRange(0, 50);
}

bool RunRecordSetupDialog(RecordSetupValues& values, MessageSink& sink, QWidget* parent)
{
    CRecordSetupDlg dlg(sink, parent);
    dlg.m_bHasData = values.m_bHasData;
    dlg.m_nRateIndex = values.m_nRateIndex;
    dlg.m_nBitsRadio = values.m_nBitsRadio;
    dlg.m_nChannelRadio = values.m_nChannelRadio;
    dlg.m_nStartLevel = values.m_nStartLevel;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    values.m_nRateIndex = dlg.m_nRateIndex;
    values.m_nBitsRadio = dlg.m_nBitsRadio;
    values.m_nChannelRadio = dlg.m_nChannelRadio;
    values.m_nStartLevel = dlg.m_nStartLevel;
    return true;
}

}  // namespace tonmira::ui
