#include "ui/dialogs/CFreqLevel.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "ui/dialogs/ControlId.h"

namespace tonmira::ui {

CFreqLevel::CFreqLevel(WindowAnalysis& analysis, view::FreqLevelPicker& picker, FillBoxes fillBoxes,
                       MessageSink& sink, QWidget* parent)
    : TemplateDialog(141, "周波数検出ﾚﾍﾞﾙ設定", 170, 60, sink, parent), m_analysis(analysis), m_picker(picker),
      m_fillBoxes(std::move(fillBoxes))
{
    setModal(false);
    m_sliderLevel = AddSlider(kIdcFreqLevelSlider, Qt::Horizontal, 7, 7, 156, 20);
    m_sliderLevel->setRange(0, 50);
    m_sliderLevel->setTickPosition(QSlider::TicksBelow);
    m_sliderLevel->setTickInterval(5);
    m_sliderLevel->setPageStep(5);
    AddStatic(0, "0", 9, 28, 12, 8);
    AddStatic(0, "50", 149, 28, 12, 8, Qt::AlignRight);
    AddButton(kIdOk, "閉じる", 113, 40, 50, 14, true);
    AddButton(kIdCancel, "ｷｬﾝｾﾙ", 58, 40, 50, 14)->hide();
    {
        QSignalBlocker block(m_sliderLevel);
        m_sliderLevel->setValue(m_analysis.m_nDetectLevel);
    }
    connect(m_sliderLevel, &QSlider::valueChanged, this, &CFreqLevel::OnLevelMoved);
}

void CFreqLevel::SetLevel(int level)
{
    m_analysis.m_nDetectLevel = level;
    QSignalBlocker block(m_sliderLevel);
    m_sliderLevel->setValue(level);
}

void CFreqLevel::OnInitDialog()
{
    QSignalBlocker block(m_sliderLevel);
    m_sliderLevel->setValue(m_analysis.m_nDetectLevel);
}

void CFreqLevel::OnOK() { hide(); }

void CFreqLevel::OnLevelMoved(int position)
{
    if (auto boxes = m_picker.OnLevelChanged(position, m_analysis); boxes && m_fillBoxes)
        m_fillBoxes(*boxes);
}

}  // namespace tonmira::ui
