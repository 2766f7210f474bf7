// The view's drawing: white areas, then the lines GraphPaint computed, each clipped to its area.
#include <QPaintEvent>
#include <QPainter>

#include <vector>

#include "ui/TonmiraView.h"
#include "view/GraphPaint.h"

namespace tonmira::ui {

namespace {

QRect ToQRect(const view::PixelRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

// Strokes lines as the window system does: from the start up to, not including, the end; all of
// one colour in one call.
void StrokeAll(QPainter& p, const std::vector<view::GdiLine>& lines, const QColor& colour)
{
    std::vector<QLine> qtLines;
    qtLines.reserve(lines.size());
    for (const view::GdiLine& l : lines) {
        if (l.x0 == l.x1) {
            if (l.y0 != l.y1)
                qtLines.emplace_back(l.x0, l.y0, l.x1, l.y1 - (l.y1 > l.y0 ? 1 : -1));
        } else if (l.y0 == l.y1) {
            qtLines.emplace_back(l.x0, l.y0, l.x1 - (l.x1 > l.x0 ? 1 : -1), l.y1);
        } else {
            qtLines.emplace_back(l.x0, l.y0, l.x1, l.y1);
        }
    }
    p.setPen(QPen(colour, 1));
    p.drawLines(qtLines.data(), static_cast<int>(qtLines.size()));
}

}  // namespace

void CTonmiraView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    PaintGraphs(painter);
}

void CTonmiraView::PaintGraphs(QPainter& painter)
{
    const view::ViewCore& core = *m_pCore;
    const QRect wave = ToQRect(m_layout.m_rcWave);
    const QRect spectrum = ToQRect(m_layout.m_rcSpectrum);
    painter.fillRect(wave, Qt::white);
    painter.fillRect(spectrum, Qt::white);
    const view::GraphPaint paint = view::BuildGraphPaint(core, m_layout.m_rcWave, m_layout.m_rcSpectrum);

    painter.setClipRect(wave);
    StrokeAll(painter, {paint.centre}, QColor(0, 0, 0));
    StrokeAll(painter, paint.waveform, QColor(0, 128, 0));
    painter.setClipRect(spectrum);
    StrokeAll(painter, paint.grid, QColor(128, 128, 128));
    StrokeAll(painter, paint.bars, QColor(255, 0, 0));
    painter.setClipping(false);
}

}  // namespace tonmira::ui
