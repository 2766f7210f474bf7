// The overview pane's drawing: the strip, the spectrogram, their time labels, the colour scale
// and a selection under way. UI thread only.
#include <QPainter>
#include <algorithm>
#include <cassert>
#include <cmath>

#include "ui/OverviewPane.h"
#include "ui/TonmiraView.h"
#include "view/ColourMap.h"
#include "view/PaneAxes.h"
#include "view/Readout.h"

namespace tonmira::ui {

namespace {

constexpr int kTickSpacing = 90;      // least distance of two time labels, pixels
constexpr int kHzSpacing = 24;        // of two frequency labels
constexpr int kColourBarWidth = 180;  // the dBFS scale at the right of the spectrogram's time labels

}  // namespace

void OverviewPane::paintEvent(QPaintEvent* /*event*/)
{
    // Painting reads the take and the tiles: the UI thread only.
    assert(std::this_thread::get_id() == m_uiThread);
    QPainter p(this);
    PaintOverview(p);
    PaintSpectrogram(p);
    const QRect o = OverviewRect(), s = SpectrogramRect();
    const double rate = std::max<double>(m_view.Core().m_doc.m_header.nSamplesPerSec, 1.0);
    const QRect stripAxis(0, o.bottom() + 1, width(), s.top() - o.bottom() - 1);
    PaintTimeAxis(p, stripAxis, m_axis.FromFrame() / rate, m_axis.ToFrame() / rate, 0);
    const QRect spectrogramAxis(0, s.bottom() + 1, width(), height() - s.bottom() - 1);
    const auto [from, to] = SpectrogramSeconds();
    PaintTimeAxis(p, spectrogramAxis, from, to, kColourBarWidth);
    if (m_take.data && s.width() > 0)
        PaintColourBar(p, spectrogramAxis);
    PaintSelection(p);
}

std::pair<double, double> OverviewPane::SpectrogramSeconds() const
{
    const double rate = std::max<double>(m_view.Core().m_doc.m_header.nSamplesPerSec, 1.0);
    if (m_bWholeTake)
        return {m_axis.FromFrame() / rate, m_axis.ToFrame() / rate};
    const double hop = std::max(m_layout.n / 2, 1);
    const double first = static_cast<double>(FirstColumn());
    return {first * hop / rate, (first + SpectrogramRect().width()) * hop / rate};
}

void OverviewPane::PaintColourBar(QPainter& p, QRect axis)
{
    // The colour scale at the right end: -100 dBFS (darkest) to 0 dBFS.
    const QRect bar(axis.right() - kColourBarWidth + 34, axis.top() + 3, kColourBarWidth - 80, axis.height() - 6);
    const auto& colours = view::ViridisTable();
    for (int x = 0; x < bar.width(); ++x)
        p.fillRect(QRect(bar.left() + x, bar.top(), 1, bar.height()), QColor(colours[static_cast<std::size_t>(x * 255 / std::max(bar.width() - 1, 1))]));
    p.drawText(QRect(bar.left() - 34, axis.top(), 32, axis.height()), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("-100"));
    p.drawText(QRect(bar.right() + 3, axis.top(), 44, axis.height()), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0 dBFS"));
}

void OverviewPane::PaintTimeAxis(QPainter& p, QRect axis, double from, double to, int reserve)
{
    p.fillRect(axis, palette().window());
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(palette().windowText().color());
    const int w = SpectrogramRect().width();
    if (!m_take.data || w <= 0 || !(to > from))
        return;
    // The step follows the span shown: finer labels as the view zooms in.
    const double step = view::TimeTickStep(to - from, w, kTickSpacing);
    if (step <= 0)
        return;
    for (double t = std::ceil(std::max(from, 0.0) / step) * step; t <= to; t += step) {
        const int x = static_cast<int>(std::lround((t - from) / (to - from) * w));
        if (x + kTickSpacing > axis.right() - reserve)
            break;
        p.drawLine(x, axis.top(), x, axis.top() + 3);
        p.drawText(QRect(x + 2, axis.top(), kTickSpacing, axis.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(view::ClockText(t, step)));
    }
}

void OverviewPane::PaintOverview(QPainter& p)
{
    const QRect r = OverviewRect();
    p.fillRect(r, Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    // A summary of a take that has gone (a change still held) reads freed samples at its edges.
    if (!m_take.data || !(CurrentTake() == m_take))
        return;
    if (!m_pPyramid) {
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter,
                   tr("概要を作成中… %1%").arg(m_nProgress.load(std::memory_order_relaxed) / 10));
        return;
    }
    const int fullScale = m_take.eightBit ? 128 : 32768;
    const int half = r.height() / 2;
    const int centre = r.top() + half;
    p.setPen(QColor(0, 128, 0));
    for (int x = 0; x < r.width(); ++x) {
        const auto a = static_cast<std::uint64_t>(std::max(m_axis.FrameAt(x), 0.0));
        const auto b = std::max(a + 1, static_cast<std::uint64_t>(std::max(m_axis.FrameAt(x + 1), 0.0)));
        if (a >= m_take.frames)
            break;
        const view::MinMax m = m_pPyramid->Query(a, b);
        p.drawLine(x, centre - m.max * (half - 1) / fullScale, x, centre - m.min * (half - 1) / fullScale);
    }
    const CTonmiraDoc& doc = m_view.Core().m_doc;
    auto xOf = [&](double frame) {
        return static_cast<int>(std::clamp(std::floor(m_axis.ColumnOf(frame)), -1.0, r.width() + 1.0));
    };
    const int x0 = xOf(doc.m_nPosition);
    const int x1 = std::max(x0 + 2, xOf(static_cast<double>(doc.m_nPosition) + m_view.Core().m_analysis.m_nFftSize));
    p.fillRect(QRect(x0, r.top(), x1 - x0, r.height()), QColor(0, 0, 255, 70));
    p.setPen(QPen(QColor(0, 0, 255), 1));
    p.drawLine(x0, r.top(), x0, r.bottom());
    p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
    p.drawLine(xOf(doc.m_nStartMark), r.top(), xOf(doc.m_nStartMark), r.bottom());
    p.drawLine(xOf(doc.m_nEndMark), r.top(), xOf(doc.m_nEndMark), r.bottom());
}

void OverviewPane::PaintSpectrogram(QPainter& p)
{
    const QRect r = SpectrogramRect();
    if (r.height() <= 0)
        return;
    p.fillRect(r, QColor(view::ViridisTable()[0]));
    if (!m_take.data)
        return;
    const std::int64_t first = FirstColumn();
    p.setClipRect(r);
    if (!UsesTiles()) {
        if (!m_wholeImage.isNull())
            p.drawImage(r.topLeft(), m_wholeImage);
    } else {
        for (const auto& [index, image] : m_tileImages)
            if (image.height() == r.height())
                p.drawImage(QPoint(static_cast<int>(index * view::kTileColumns - first), r.top()), image);
    }
    // The analysis window's place: the column of its centre.
    const CTonmiraDoc& doc = m_view.Core().m_doc;
    const double centre = static_cast<double>(doc.m_nPosition) + m_layout.n / 2.0;
    int x;
    if (m_bWholeTake && m_axis.Fitted())
        x = view::ColumnOfFrame(centre, m_take.frames, r.width());
    else if (m_bWholeTake)
        x = static_cast<int>(std::clamp(std::floor(m_axis.ColumnOf(centre)), -1.0, r.width() + 1.0));
    else
        x = static_cast<int>(std::floor(centre / std::max(m_layout.n / 2, 1) - static_cast<double>(first)));
    p.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DashLine));
    p.drawLine(x, r.top(), x, r.bottom());
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    for (const double hz : view::FrequencyTicks(m_layout.minHz, m_layout.maxHz, m_layout.logAxis, r.height(), kHzSpacing)) {
        const int y = r.top() + static_cast<int>(std::lround(
                                    (1.0 - view::AxisFraction(hz, m_layout.minHz, m_layout.maxHz, m_layout.logAxis)) * r.height()));
        p.drawLine(0, y, 4, y);
        p.drawText(QRect(6, y - 7, 80, 14), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(view::FrequencyText(hz)));
    }
    p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignRight,
               m_bWholeTake ? tr("テイク全体") : tr("位置の周辺"));
    if (m_bWholeTake && !m_pSummary->Complete() && !m_pSummary->Empty())
        p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignBottom | Qt::AlignRight,
                   tr("スペクトログラムを作成中… %1%").arg(m_pSummary->ProgressPerMille() / 10));
    p.setClipping(false);
}

void OverviewPane::PaintSelection(QPainter& p)
{
    if (!m_bSelecting)
        return;
    const double a = std::min(m_selectFrom, m_selectTo), b = std::max(m_selectFrom, m_selectTo);
    const int x0 = static_cast<int>(std::floor(m_axis.ColumnOf(a)));
    const int x1 = std::max(x0 + 1, static_cast<int>(std::ceil(m_axis.ColumnOf(b))));
    const QRect o = OverviewRect();
    p.fillRect(QRect(x0, o.top(), x1 - x0, o.height()), QColor(200, 0, 0, 50));
    // The spectrogram of the whole take shares the strip's axis; the part around the position not.
    if (m_bWholeTake) {
        const QRect s = SpectrogramRect();
        p.fillRect(QRect(x0, s.top(), x1 - x0, s.height()), QColor(255, 255, 255, 50));
    }
}

}  // namespace tonmira::ui
