#include "dsp/WindowAnalysis.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/MessageSink.h"
#include "base/Messages.h"
#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftSize.h"

namespace tonmira {

namespace {

bool IsListedFftSize(int size)
{
    for (int k = 0; k < kFftSizeCount; ++k)
        if (size == (kMinFftSize << k))
            return true;
    return false;
}

short ClampToShort(long long v)
{
    return static_cast<short>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

}  // namespace

WindowAnalysis::WindowAnalysis()
{
    PickPeakGroups(nullptr, 0, 0, 0, 0, m_peakGroupScore, m_peakGroupFreq);  // clears the tables
}

WindowAnalysis::~WindowAnalysis() = default;

BOOL WindowAnalysis::InitialUpdate(const CTonmiraDoc& doc, MessageSink& sink)
{
    return SetFftSize(DefaultFftSize(doc.m_header.nSamplesPerSec), sink);
}

BOOL WindowAnalysis::SetFftSize(int size, MessageSink& sink)
{
    if (!IsListedFftSize(size))
        return 0;
    m_nFftSize = size;
    // The buffer holding the pick is freed below: the detection window's slider must not read it.
    m_bPicked = false;

    BOOL engineReady = m_fft.Init(size, m_nWindowType);
    m_pSpectrum.reset(engineReady ? static_cast<int*>(std::calloc(static_cast<std::size_t>(size / 2), sizeof(int))) : nullptr);
    if (!m_pSpectrum) {
        m_fft.Release();
        sink.Message(msg::kMallocFailed);
        return 0;
    }
    return 1;
}

BOOL WindowAnalysis::ChangeFftSize(CTonmiraDoc& doc, int size, MessageSink& sink)
{
    if (!SetFftSize(size, sink))
        return 0;
    const UINT n = static_cast<UINT>(size);
    if (doc.m_nSamples <= n)
        doc.m_nPosition = 0;
    else if (doc.m_nPosition > doc.m_nSamples - n)
        doc.m_nPosition = doc.m_nSamples - n;
    return 1;
}

BOOL WindowAnalysis::FftSizeFitsTake(const CTonmiraDoc& doc, int size, MessageSink& sink)
{
    if (size > 0 && static_cast<UINT>(size) <= doc.m_nSamples)
        return 1;
    sink.Message(FormatArgs(msg::kTooFewFrames, {std::to_string(doc.m_nSamples)}));
    return 0;
}

int WindowAnalysis::FeedFromTake(const CTonmiraDoc& doc)
{
    if (!doc.m_pMono || !m_fft.IsReady() || !m_pSpectrum)
        return -1;
    const bool eightBit = doc.m_header.wBitsPerSample == 8;
    const BYTE* mono = doc.m_pMono;
    int fed = 0;
    for (int i = 0; i < m_nFftSize; ++i) {
        // 64-bit sum: a position near the top of the UINT range must not wrap back into the take.
        const unsigned long long frame = static_cast<unsigned long long>(doc.m_nPosition) + static_cast<unsigned>(i);
        if (frame >= doc.m_nSamples)
            break;
        const auto value = static_cast<short>(SampleAt(mono, eightBit ? 8 : 16, static_cast<std::size_t>(frame)));
        m_fft.SetSample(i, value);
        ++fed;
    }
    return fed;
}

int WindowAnalysis::CaptureDivisor(int bits, bool pausedWithLevel, int collectLevel)
{
    int divisor = bits == 8 ? 128 : 32768;
    if (pausedWithLevel && collectLevel != 0)
        divisor = bits == 8 ? collectLevel * 128 / 1000 : collectLevel;
    // A low 8-bit level would otherwise divide by zero.
    return divisor < 1 ? 1 : divisor;
}

int WindowAnalysis::FeedFromCaptureBlock(const BYTE* block, DWORD bytes, int channels, int bits, int divisor)
{
    if (!block || !m_fft.IsReady() || !m_pSpectrum || (channels != 1 && channels != 2) || (bits != 8 && bits != 16))
        return 0;
    if (divisor < 1)
        divisor = 1;
    const DWORD frameBytes = static_cast<DWORD>(channels * bits / 8);
    const DWORD frames = bytes / frameBytes;
    const int count = frames < static_cast<DWORD>(m_nFftSize) ? static_cast<int>(frames) : m_nFftSize;
    const long long fullScale = bits == 8 ? 128 : 32768;
    for (int i = 0; i < count; ++i) {
        const BYTE* f = block + static_cast<std::size_t>(i) * frameBytes;
        long long v;
        if (bits == 16)
            v = channels == 1 ? ReadS16(f) : (ReadS16(f) + ReadS16(f + 2)) / 2;
        else
            v = channels == 1 ? f[0] - 128 : (f[0] + f[1] - 256) / 2;
        // A quiet level divisor scales loud input beyond 16 bits: limit rather than wrap.
        m_fft.SetSample(i, ClampToShort(v * fullScale / divisor));
    }
    return count;
}

FundamentalBoxes WindowAnalysis::TransformAndPick(int level, int rate, int bits)
{
    FundamentalBoxes boxes;
    if (!m_fft.IsReady() || !m_pSpectrum)
        return boxes;
    m_fft.Transform(m_pSpectrum.get());
    m_nDetectLevel = level;
    m_nSpectrumMax = FlooredSpectrumMax(m_pSpectrum.get(), m_nFftSize, bits);
    PickPeakGroups(m_pSpectrum.get(), m_nFftSize, rate, level, m_nSpectrumMax, m_peakGroupScore, m_peakGroupFreq);
    m_bPicked = true;
    m_nPickedRate = rate;
    m_nPickedBits = bits;
    return ListFundamentals(m_peakGroupScore, m_peakGroupFreq);
}

FundamentalBoxes WindowAnalysis::Recalculate(const CTonmiraDoc& doc, int level)
{
    if (FeedFromTake(doc) < 0)
        return {};
    return TransformAndPick(level, static_cast<int>(doc.m_header.nSamplesPerSec), doc.m_header.wBitsPerSample);
}

}  // namespace tonmira
