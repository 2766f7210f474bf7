#include "session/WindowValues.h"

#include "audio/Transport.h"
#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

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

std::optional<WindowValues> FromCapture(const CTonmiraDoc& doc, const CTransport& transport, int n)
{
    const CWaveDevice& device = transport.Device();
    const DWORD done = device.m_nDone.load(std::memory_order_acquire);
    if (done == 0 || !transport.RecordRing())
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
    const int collectLevel = transport.CollectLevel();
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

std::optional<WindowValues> CurrentWindowValues(const CTonmiraDoc& doc, const CTransport& transport, int n)
{
    if (doc.m_pMono)
        return FromTake(doc, n);
    if (doc.m_nState == TransportState::Recording)
        return FromCapture(doc, transport, n);
    return std::nullopt;
}

}  // namespace tonmira
