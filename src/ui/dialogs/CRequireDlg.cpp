#include "ui/dialogs/CRequireDlg.h"

#include "doc/SamplingRateValidation.h"
#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"

namespace tonmira::ui {

CRequireDlg::CRequireDlg(MessageSink& sink, QWidget* parent)
    : TemplateDialog(136, "条件設定", 186, 62, sink, parent)
{
    AddStatic(0, "ｻﾝﾌﾟﾘﾝｸﾞ周波数", 7, 9, 58, 8);
    AddEdit(kIdcRequireRate, 66, 7, 50, 12);
    AddStatic(0, "Hz", 119, 9, 12, 8);
    AddGroup("量子化ﾋﾞｯﾄ数", 7, 25, 124, 30);
    QButtonGroup* bits = NewRadioGroup();
    AddRadio(bits, kIdcRequire16Bit, "16ﾋﾞｯﾄ", 16, 38, 45, 10);
    AddRadio(bits, kIdcRequire8Bit, "8ﾋﾞｯﾄ", 70, 38, 45, 10);
    AddButton(kIdOk, "OK", 137, 7, 42, 14, true);
    AddButton(kIdCancel, "ｷｬﾝｾﾙ", 137, 25, 42, 14);
}

void CRequireDlg::DoDataExchange(DataExchange& dx)
{
    dx.Validated(
        kIdcRequireRate,
        [this](const std::string& text, std::string& message) { return ValidateSamplingRate(text, m_nSamplingRate, message); },
        [this] { return std::to_string(m_nSamplingRate); });
    dx.Radio({kIdcRequire16Bit, kIdcRequire8Bit}, m_nBitsRadio);
}

bool DialogFormatPrompt::Ask(FormatAnswer& answer)
{
    CRequireDlg dlg(m_sink, m_pParent);
    dlg.m_nSamplingRate = answer.m_nSamplingRate;
    dlg.m_nBitsRadio = answer.m_nBitsRadio;
    if (dlg.exec() != QDialog::Accepted || dlg.m_nBitsRadio < 0)
        return false;
    answer.m_nSamplingRate = dlg.m_nSamplingRate;
    answer.m_nBitsRadio = dlg.m_nBitsRadio;
    return true;
}

}  // namespace tonmira::ui
