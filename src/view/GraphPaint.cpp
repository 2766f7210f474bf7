#include "view/GraphPaint.h"

#include "view/ViewCore.h"

namespace tonmira::view {

std::optional<WindowValues> CurrentWindowValues(const ViewCore& core)
{
    return tonmira::CurrentWindowValues(core.m_doc, core.m_transport, core.m_analysis.m_nFftSize);
}

GraphPaint BuildGraphPaint(const ViewCore& core, const PixelRect& wave, const PixelRect& spectrum)
{
    GraphPaint paint;
    const WindowAnalysis& analysis = core.m_analysis;
    paint.centre = CentreLine(wave);
    paint.grid = GridLines(spectrum, core.m_display.m_nMinFreq, core.m_display.m_nMaxFreq, core.m_bLogGraph != 0);
    const CTonmiraDoc& doc = core.m_doc;
    const std::optional<WindowValues> window = CurrentWindowValues(core);
    if (!window)
        return paint;
    const int n = analysis.m_nFftSize;
    paint.waveform = WaveformColumns(wave, window->count, n, window->fullScale,
                                     [&w = *window](int i) { return w.ValueAt(i); });

    const int rate = static_cast<int>(doc.m_header.nSamplesPerSec);
    if (analysis.m_pSpectrum)
        paint.bars = SpectrumBars(spectrum, analysis.m_pSpectrum.get(), n / 2, rate, core.m_display.m_nMinFreq,
                                  core.m_display.m_nMaxFreq, analysis.m_nSpectrumMax, core.m_bLogGraph != 0);
    return paint;
}

}  // namespace tonmira::view
