#include "doc/LoadMix.h"

#include <algorithm>
#include <cstdlib>

#include "doc/MonoMix.h"
#include "doc/SampleBlock.h"

namespace tonmira {

LoadMix::LoadMix(int balance) { BalanceWeights(balance, m_left, m_right); }

LoadMix::~LoadMix() { std::free(m_pMono); }

bool LoadMix::Begin(const WavHeader& format, std::size_t bytes)
{
    if (format.nChannels != 2 || m_pMono)
        return false;
    m_nFrameBytes = format.nBlockAlign;
    m_nCapacity = bytes / m_nFrameBytes;
    m_pMono = AllocateSampleBlock(OneChannelBytes(static_cast<UINT>(m_nCapacity), format.wBitsPerSample));
    return m_pMono != nullptr;
}

void LoadMix::Read(const BYTE* data, std::size_t read)
{
    const std::size_t frames = std::min(read / m_nFrameBytes, m_nCapacity);
    if (!m_pMono || frames <= m_nMixed)
        return;
    const UINT n = static_cast<UINT>(frames - m_nMixed);
    const BYTE* in = data + m_nMixed * m_nFrameBytes;
    if (m_nFrameBytes == 4)
        m_nPeak = MixStereo16(in, n, m_left, m_right, m_pMono + 2 * static_cast<std::size_t>(m_nMixed), m_nPeak);
    else
        m_nPeak = MixStereo8(in, n, m_left, m_right, m_pMono + m_nMixed, m_nPeak);
    m_nMixed += n;
}

BYTE* LoadMix::Take(UINT frames, int& peak)
{
    if (!m_pMono || frames != m_nMixed)
        return nullptr;
    if (m_nFrameBytes == 2)
        m_pMono[frames] = 128;  // the spare byte of an 8-bit buffer
    peak = std::max(peak, m_nPeak);
    BYTE* mono = m_pMono;
    m_pMono = nullptr;
    return mono;
}

}  // namespace tonmira
