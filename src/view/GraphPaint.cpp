#include "view/GraphPaint.h"

#include "base/SampleMath.h"
#include "view/ViewCore.h"

namespace tonmira::view {

namespace {

std::optional<WindowValues> FromTake(const CTonmiraDoc& doc, int n)
{
    WindowValues w;
    w.samples = doc.m_pMono;
    w.bits = doc.m_header.wBitsPerSample == 8 ? 8 : 16;
    w.fullScale = w.bits == 8 ? 128 : 32768;
    w.first = doc.m_nPosition;
    // 64 bits: a position near the top of the range must not wrap back into the take.
    const unsigned long long end = static_cast<unsigned long long>(doc.m_nPosition) + static_cast<unsigned>(n > 0 ? n : 0);
    if (doc.m_nPosition < doc.m_nSamples)
        w.count = static_cast<int>((end < doc.m_nSamples ? end : doc.m_nSamples) - doc.m_nPosition);
    return w;
}

std::optional<WindowValues> FromCapture(const ViewCore& core, int n)
{
    const CTonmiraDoc& doc = core.m_doc;
    const CWaveDevice& device = core.m_transport.Device();
    const DWORD done = device.m_nDone.load(std::memory_order_acquire);
    if (done == 0 || !core.m_transport.RecordRing())
        return std::nullopt;
    const DWORD slot = (done - 1) % kWaveRingSlots;
    const auto* block = static_cast<const unsigned char*>(device.m_pBuffer[slot]);
    const DWORD bytes = device.m_nRecorded[slot].load(std::memory_order_acquire);
    const int channels = doc.m_header.nChannels;
    const int bits = doc.m_header.wBitsPerSample;
    const DWORD frameBytes = static_cast<DWORD>(channels * bits / 8);
    if (!block || frameBytes == 0 || bytes < frameBytes)
        return std::nullopt;
    WindowValues w;
    w.fromCapture = true;
    w.samples = block;
    w.bits = bits;
    w.channels = channels;
    w.blockBytes = bytes;
    const int collectLevel = core.m_transport.CollectLevel();
    const bool pausedWithLevel = doc.m_bPause != 0 && collectLevel != 0;
    w.fullScale = WindowAnalysis::CaptureDivisor(bits, pausedWithLevel, collectLevel);
    const DWORD frames = bytes / frameBytes;
    w.count = n <= 0 ? 0 : frames < static_cast<DWORD>(n) ? static_cast<int>(frames) : n;
    return w;
}

}  // namespace

int WindowValues::ValueAt(int i) const
{
    const std::size_t frame = first + static_cast<std::size_t>(i);
    if (channels == 1)
        return SampleAt(samples, bits, frame);
    const std::size_t left = frame * static_cast<std::size_t>(channels);
    return (SampleAt(samples, bits, left) + SampleAt(samples, bits, left + 1)) / 2;
}

std::optional<WindowValues> CurrentWindowValues(const ViewCore& core)
{
    const CTonmiraDoc& doc = core.m_doc;
    const int n = core.m_analysis.m_nFftSize;
    if (doc.m_pMono)
        return FromTake(doc, n);
    if (doc.m_nState == TransportState::Recording)
        return FromCapture(core, n);
    return std::nullopt;
}

GraphPaint BuildGraphPaint(ViewCore& core, const PixelRect& wave, const PixelRect& spectrum)
{
    GraphPaint paint;
    WindowAnalysis& analysis = core.m_analysis;
    paint.centre = CentreLine(wave);
    paint.grid = GridLines(spectrum, analysis.m_nMinFreq, analysis.m_nMaxFreq, core.m_bLogGraph != 0);
    if (core.IsCollectBusy())
        return paint;

    const CTonmiraDoc& doc = core.m_doc;
    const std::optional<WindowValues> window = CurrentWindowValues(core);
    if (!window) {
        paint.boxes = FundamentalBoxes{};
        return paint;
    }
    const int n = analysis.m_nFftSize;
    paint.waveform = WaveformColumns(wave, window->count, n, window->fullScale,
                                     [&w = *window](int i) { return w.ValueAt(i); });

    const int rate = static_cast<int>(doc.m_header.nSamplesPerSec);
    if (analysis.m_bRecalcPeaks) {
        const int level = analysis.m_freqLevel.m_nLevel;
        if (window->fromCapture) {
            analysis.FeedFromCaptureBlock(window->samples, window->blockBytes, doc.m_header.nChannels,
                                          doc.m_header.wBitsPerSample, window->fullScale);
            paint.boxes = analysis.TransformAndPick(level, rate, doc.m_header.wBitsPerSample);
        } else {
            paint.boxes = analysis.Recalculate(doc, level);
        }
    }
    if (analysis.m_pSpectrum)
        paint.bars = SpectrumBars(spectrum, analysis.m_pSpectrum.get(), n / 2, rate, analysis.m_nMinFreq,
                                  analysis.m_nMaxFreq, analysis.m_nSpectrumMax, core.m_bLogGraph != 0);
    return paint;
}

}  // namespace tonmira::view
