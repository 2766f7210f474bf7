#include "ui/dialogs/CRangeSetupDlg.h"

#include <QSlider>

#include "doc/TonmiraDoc.h"
#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/WaitCursor.h"

namespace tonmira::ui {

CRangeSetupDlg::CRangeSetupDlg(MessageSink& sink, QWidget* parent)
    : TemplateDialog(137, "ﾚﾝｼﾞ拡張", 63, 163, sink, parent)
{
    AddButton(kIdOk, "OK", 7, 7, 50, 14, true);
    m_slider = AddSlider(kIdcRangeSlider, Qt::Vertical, 14, 27, 22, 110);
    // Position 0 at the top, as the trackbar runs; Up moves the thumb up.
    m_slider->setInvertedAppearance(true);
    m_slider->setInvertedControls(true);
    m_slider->setTickPosition(QSlider::TicksBothSides);
    AddStatic(0, "100", 38, 27, 18, 8);
    AddStatic(0, "0", 38, 129, 18, 8);
    AddButton(kIdCancel, "ｷｬﾝｾﾙ", 7, 142, 50, 14);
}

void CRangeSetupDlg::OnInitDialog()
{
    RangeSetup setup{m_nPeakLevel, m_nFullScale};
    m_slider->setRange(0, m_nFullScale);
    m_slider->setTickInterval(setup.TickFrequency());
    m_slider->setSingleStep(1);
    m_slider->setPageStep(setup.TickFrequency() > 0 ? setup.TickFrequency() : 1);
    m_slider->setValue(setup.SliderPosition());
}

void CRangeSetupDlg::OnOK()
{
    RangeSetup setup{m_nPeakLevel, m_nFullScale};
    setup.SetFromSlider(m_slider->value());
    m_nPeakLevel = setup.m_nPeakLevel;
    accept();
}

bool RunRangeExpansion(CTonmiraDoc& doc, MessageSink& sink, QWidget* parent, const std::function<void()>& repaint,
                       const std::function<bool(int peak, int level)>& expand)
{
    CRangeSetupDlg dlg(sink, parent);
    int peak = 0;
    {
        WaitCursor wait;
        peak = RangeExpansionPeak(doc);
    }
    dlg.m_nFullScale = RangeFullScale(doc.m_header.wBitsPerSample);
    dlg.m_nPeakLevel = peak;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (repaint)
        repaint();
    WaitCursor wait;
    return expand ? expand(peak, dlg.m_nPeakLevel) : ExpandRange(doc, peak, dlg.m_nPeakLevel);
}

}  // namespace tonmira::ui
