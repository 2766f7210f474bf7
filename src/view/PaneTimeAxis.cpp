#include "view/PaneTimeAxis.h"

#include <algorithm>
#include <cmath>

namespace tonmira::view {

double PaneTimeAxis::FittedFramesPerColumn() const
{
    // A take shorter than the pane spreads over it: never less than one frame per column.
    return m_nWidth > 0 ? std::max(1.0, static_cast<double>(m_nFrames) / m_nWidth) : 1.0;
}

double PaneTimeAxis::DeepestFramesPerColumn() const
{
    const double deepest = m_nWidth > 0 ? static_cast<double>(kMinWindowsShown) * m_nN / m_nWidth : 1.0;
    return std::min(std::max(deepest, 1.0), FittedFramesPerColumn());
}

std::int64_t PaneTimeAxis::FirstColumn() const
{
    return m_bFitted ? 0 : static_cast<std::int64_t>(std::llround(m_dLeft / m_dFpc));
}

double PaneTimeAxis::FramesPerColumn() const { return m_bFitted ? FittedFramesPerColumn() : m_dFpc; }

double PaneTimeAxis::FrameAt(double x) const { return (static_cast<double>(FirstColumn()) + x) * FramesPerColumn(); }

double PaneTimeAxis::ColumnOf(double frame) const { return frame / FramesPerColumn() - static_cast<double>(FirstColumn()); }

void PaneTimeAxis::SetTake(std::uint64_t frames, int width, int n)
{
    const bool same = frames == m_nFrames && width == m_nWidth && n == m_nN;
    m_nFrames = frames;
    m_nWidth = std::max(width, 0);
    m_nN = std::max(n, 1);
    if (same || m_bFitted)
        return;
    m_dFpc = std::clamp(m_dFpc, DeepestFramesPerColumn(), FittedFramesPerColumn());
    if (m_dFpc >= FittedFramesPerColumn())
        Fit();
    else
        ClampFirst();
}

void PaneTimeAxis::Fit()
{
    m_bFitted = true;
    m_dLeft = 0;
}

void PaneTimeAxis::ClampFirst()
{
    // The last column may run past the take's end, never a whole pane of columns beyond it.
    const double columns = std::ceil(static_cast<double>(m_nFrames) / m_dFpc);
    m_dLeft = std::clamp(m_dLeft, 0.0, std::max(columns - m_nWidth, 0.0) * m_dFpc);
}

bool PaneTimeAxis::ZoomAt(double x, double factor)
{
    if (m_nWidth <= 0 || m_nFrames == 0 || !(factor > 0))
        return false;
    // From the unrounded edge: the frame under the pointer stays put however many notches turn.
    const double frame = m_bFitted ? FrameAt(x) : m_dLeft + x * m_dFpc;
    const double fitted = FittedFramesPerColumn();
    const double fpc = std::clamp(FramesPerColumn() / factor, DeepestFramesPerColumn(), fitted);
    if (fpc >= fitted) {
        const bool changed = !m_bFitted;
        Fit();
        return changed;
    }
    const bool changed = m_bFitted || fpc != m_dFpc;
    m_bFitted = false;
    m_dFpc = fpc;
    m_dLeft = frame - x * fpc;
    ClampFirst();
    return changed;
}

bool PaneTimeAxis::Pan(std::int64_t columns)
{
    if (m_bFitted)
        return false;
    const std::int64_t before = FirstColumn();
    m_dLeft = static_cast<double>(before + columns) * m_dFpc;
    ClampFirst();
    return FirstColumn() != before;
}

void PaneTimeAxis::Show(double frame, double x)
{
    if (m_bFitted)
        return;
    m_dLeft = frame - x * m_dFpc;
    ClampFirst();
}

}  // namespace tonmira::view
