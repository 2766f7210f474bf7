#include "view/FormLayout.h"

#include "view/FormTemplate.h"

namespace tonmira::view {

namespace {

// Controls that only move down with the lower half of the form.
constexpr int kMovedDown[] = {1001, 1011, 1003, 1013, 1059, 1002, 1012, 1060, 1042, 1014, 1043, 1015, 1044,
                              1016, 1045, 1017, 1046, 1027, 1023, 1024, 1025, 1026, 1019, 1020, 1021, 1022};

constexpr int kMinRelayoutHeight = 112;

}  // namespace

PixelRect FrameInterior(const PixelRect& frame)
{
    return PixelRect{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
}

FormLayout::FormLayout(BaseUnits units)
{
    for (const ControlTemplate& c : FormTemplate101()) {
        const int h = c.kind == ControlKind::DropList ? kDropListClosedHeightDlu : c.h;
        m_controls[c.id].rect = DialogUnitsToPixels(c.x, c.y, c.w, h, units);
    }
    const PixelRect form = DialogUnitsToPixels(0, 0, kFormWidthDlu, kFormHeightDlu, units);
    m_nFormWidth = form.Width();
    m_nFormHeight = form.Height();
    // The controls stand where the form's own size puts them, so that size is the reference
    // of the first relayout, whatever size the window first reports.
    m_nPrevWidth = m_nFormWidth;
    m_nPrevHeight = m_nFormHeight;
    m_rcWave = FrameInterior(m_controls.at(kIdcWaveFrame).rect);
    m_rcSpectrum = FrameInterior(m_controls.at(kIdcSpectrumFrame).rect);
}

void FormLayout::Move(int id, int dx, int dy, int dw, int dh)
{
    PixelRect& r = m_controls.at(id).rect;
    r.left += dx;
    r.right += dx + dw;
    r.top += dy;
    r.bottom += dy + dh;
}

bool FormLayout::OnSize(int cx, int cy)
{
    if (cx == 0 && cy == 0)
        return false;
    if (!m_bUpdated || cy < kMinRelayoutHeight)
        return false;
    // Same parity as the new height, so that both graphs change by the same whole number.
    if ((cy & 1) != (m_nPrevHeight & 1))
        m_nPrevHeight += (cy & 1) ? 1 : -1;
    const int dW = cx - m_nPrevWidth;
    const int dH = (cy - m_nPrevHeight) / 2;

    const PixelRect oldWave = m_controls.at(kIdcWaveFrame).rect;
    Move(kIdcWaveFrame, 0, 0, dW, dH);
    m_rcWave.right = m_rcWave.left + oldWave.Width() + dW - 2;
    m_rcWave.bottom = m_rcWave.top + oldWave.Height() + dH - 2;
    // Both frames have the same size, so the spectrum follows the waveform frame's size.
    m_rcSpectrum.top += dH;
    m_rcSpectrum.bottom = m_rcSpectrum.top + oldWave.Height() + dH - 2;
    m_rcSpectrum.right = m_rcSpectrum.left + oldWave.Width() + dW - 2;

    Move(kIdcSpectrumFrame, 0, dH, dW, dH);
    Move(kIdcSlider, 0, dH, dW, 0);
    Move(kIdcPositionEdit, dW, dH, 0, 0);
    for (int id : kMovedDown)
        Move(id, 0, dH, 0, 0);
    for (int id : kIdcCounterLabels)
        m_controls.at(id).visible = false;
    for (int id : kIdcCounterEdits)
        m_controls.at(id).visible = false;

    m_nPrevWidth = cx;
    m_nPrevHeight = cy;
    return true;
}

}  // namespace tonmira::view
