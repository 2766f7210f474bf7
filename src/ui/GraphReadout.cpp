#include "ui/GraphReadout.h"

#include <QMouseEvent>
#include <QStatusBar>
#include <cmath>

#include "ui/TonmiraView.h"

namespace tonmira::ui {

namespace {

// The peak is looked for within this many pixels of the mouse on either side.
constexpr int kPeakSearchPixels = 8;

}  // namespace

GraphReadout::GraphReadout(CTonmiraView& view, QStatusBar& bar) : QObject(&view), m_view(view), m_bar(bar)
{
    view.setMouseTracking(true);
    view.installEventFilter(this);
}

bool GraphReadout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && (event->type() == QEvent::MouseMove || event->type() == QEvent::Leave)) {
        const QString text = event->type() == QEvent::MouseMove
                                 ? TextAt(static_cast<QMouseEvent*>(event)->position().toPoint())
                                 : QString();
        if (!text.isEmpty()) {
            m_bar.showMessage(text);
            m_bShowing = true;
        } else if (m_bShowing) {
            m_bar.clearMessage();
            m_bShowing = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

QString GraphReadout::TextAt(QPoint point)
{
    const view::ViewCore& core = m_view.Core();
    const CTonmiraDoc& doc = core.m_doc;
    const WindowAnalysis& a = core.m_analysis;
    if (!doc.m_pMono || doc.m_nState == TransportState::Recording || a.m_nFftSize < 16)
        return {};
    const view::MonoSamples take{doc.m_pMono, doc.m_nSamples, doc.m_header.wBitsPerSample == 8};
    const int rate = static_cast<int>(doc.m_header.nSamplesPerSec);
    const int n = a.m_nFftSize;
    const view::PixelRect& wave = m_view.Layout().m_rcWave;
    const view::PixelRect& spectrum = m_view.Layout().m_rcSpectrum;
    const int x = point.x();
    const int y = point.y();

    if (y >= wave.top && y <= wave.bottom) {
        const std::optional<int> i = view::WaveSampleAtX(wave, x, n);
        if (!i)
            return {};
        const std::uint64_t frame = static_cast<std::uint64_t>(doc.m_nPosition) + static_cast<std::uint64_t>(*i);
        if (frame >= take.frames || rate <= 0)
            return {};
        return tr("時間 %1 秒  値 %2")
            .arg(static_cast<double>(frame) / rate, 0, 'f', 4)
            .arg(take.At(frame));
    }
    if (y < spectrum.top || y > spectrum.bottom || !a.m_pSpectrum)
        return {};
    const bool logAxis = core.m_bLogGraph != 0;
    const std::optional<double> hz = view::SpectrumFrequencyAtX(spectrum, x, core.m_display.m_nMinFreq, core.m_display.m_nMaxFreq, logAxis);
    if (!hz)
        return {};
    const int h = n / 2;
    const int magnitude = a.m_pSpectrum[view::GraphBinAt(*hz, h, rate)];
    const double db = view::LevelDbfs(magnitude, n, take.eightBit ? 128 : 32768, a.m_nWindowType);
    QString text = tr("周波数 %1 Hz  振幅 %2  %3 dBFS")
                       .arg(*hz, 0, 'f', 1)
                       .arg(magnitude)
                       .arg(std::isfinite(db) ? QString::number(db, 'f', 1) : QStringLiteral("-∞"));
    if (const std::optional<view::NoteReading> note = view::NearestNote(*hz))
        text += tr("  %1 %2 セント").arg(QString::fromStdString(note->name)).arg(note->cents);
    const double lo = view::SpectrumFrequencyAtX(spectrum, std::max(x - kPeakSearchPixels, spectrum.left), core.m_display.m_nMinFreq,
                                                 core.m_display.m_nMaxFreq, logAxis).value_or(*hz);
    const double hi = view::SpectrumFrequencyAtX(spectrum, std::min(x + kPeakSearchPixels, spectrum.right),
                                                 core.m_display.m_nMinFreq, core.m_display.m_nMaxFreq, logAxis).value_or(*hz);
    if (const std::optional<double> peak = m_peak.PeakNear(take, doc.m_nPosition, n, rate, *hz, (hi - lo) / 2))
        text += tr("  ピーク %1 Hz").arg(*peak, 0, 'f', 1);
    return text;
}

}  // namespace tonmira::ui
