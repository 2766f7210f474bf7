#include "ui/dialogs/CSekibunRitsu.h"

#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "base/MessageSink.h"
#include "dsp/DetectionMetrics.h"
#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"

namespace tonmira::ui {

CSekibunRitsu::CSekibunRitsu(MessageSink& sink, QWidget* parent)
    : TemplateDialog(142, "検出条件算出", 236, 104, sink, parent)
{
    AddEdit(kIdcCalcBandLow, 7, 7, 40, 12);
    AddStatic(0, "Hz以上", 50, 9, 30, 8);
    AddEdit(kIdcCalcBandHigh, 85, 7, 40, 12);
    AddStatic(0, "Hz以下", 128, 9, 30, 8);
    AddEdit(kIdcCalcExclude, 7, 23, 40, 12);
    AddStatic(0, "Hz 以下のデータを除外", 50, 25, 110, 8);
    AddStatic(0, "積分率", 7, 45, 70, 8);
    AddEdit(kIdcCalcIntegration, 80, 43, 50, 12, true);
    AddStatic(0, "%", 133, 45, 10, 8);
    AddStatic(0, "標準偏差", 7, 61, 70, 8);
    AddEdit(kIdcCalcStdDev, 80, 59, 50, 12, true);
    AddStatic(0, "平均値を超える点", 7, 77, 70, 8);
    AddEdit(kIdcCalcAbove, 80, 75, 50, 12, true);
    AddStatic(0, "%", 133, 77, 10, 8);
    QPushButton* calc = AddButton(kIdcCalcButton, "算出", 179, 7, 50, 14);
    connect(calc, &QPushButton::clicked, this, &CSekibunRitsu::OnCalc);
    AddButton(kIdOk, "閉じる", 179, 25, 50, 14, true);
}

void CSekibunRitsu::DoDataExchange(DataExchange& dx)
{
    dx.Int(kIdcCalcBandLow, m_nBandLowHz);
    dx.Int(kIdcCalcBandHigh, m_nBandHighHz);
    dx.Int(kIdcCalcExclude, m_nExcludeHz);
}

void CSekibunRitsu::OnCalc()
{
    if (!UpdateData(true))
        return;
    MetricsBand band{m_nBandLowHz, m_nBandHighHz, m_nExcludeHz};
    if (std::string message; !CheckDialogBandEdges(band, m_nRate, message)) {
        m_sink.Message(message);
        return;
    }
    // Without a spectrum there is nothing to measure: the figures show as an empty band's do.
    DialogMetrics metrics{NAN, NAN, NAN};
    if (m_pSpectrum && m_nFftSize >= 2)
        metrics = ComputeDialogMetrics(m_pSpectrum, m_nFftSize, m_nRate, band);
    const DialogMetricsText text = FormatDialogMetrics(metrics);
    FindControl<QLineEdit>(this, kIdcCalcIntegration)->setText(QString::fromStdString(text.m_strIntegration));
    FindControl<QLineEdit>(this, kIdcCalcStdDev)->setText(QString::fromStdString(text.m_strStdDev));
    FindControl<QLineEdit>(this, kIdcCalcAbove)->setText(QString::fromStdString(text.m_strAbove));
}

}  // namespace tonmira::ui
