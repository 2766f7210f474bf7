#include "dsp/TextExport.h"

#include <algorithm>
#include <charconv>

#include "doc/Archive.h"
#include "base/MessageSink.h"
#include "base/Messages.h"
#include "base/SampleMath.h"
#include "doc/FileFormat.h"
#include "doc/PcmTextFile.h"
#include "doc/SafeFileWriter.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

namespace {


void AppendInt(std::string& text, int value)
{
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

BOOL Fail(MessageSink& sink, const char* message)
{
    sink.Message(message);
    return 0;
}

}  // namespace

BOOL ExportPcmData(const CTonmiraDoc& doc, int fftSize, const std::string& chosenPath, MessageSink& sink)
{
    const std::string path = WithDefaultExtension(chosenPath, "pcm");
    UINT frames = 0;
    if (doc.m_pData && doc.m_nPosition < doc.m_nSamples && fftSize > 0)
        frames = std::min<UINT>(static_cast<UINT>(fftSize), doc.m_nSamples - doc.m_nPosition);
    const BYTE* first = doc.m_pData ? doc.m_pData + static_cast<std::size_t>(doc.m_nPosition) * doc.FrameBytes() : nullptr;
    bool ok = WriteFileSafely(path, [&](CArchive& ar) {
        return WritePcmTextFile(ar, first, frames, doc.m_header.nChannels, doc.m_header.wBitsPerSample);
    });
    return ok ? 1 : Fail(sink, msg::kPcmSaveFailed);
}

BOOL ExportSpectrumData(const int* spectrum, int fftSize, const std::string& chosenPath, MessageSink& sink)
{
    const std::string path = WithDefaultExtension(chosenPath, "spc");
    if (!spectrum)
        return Fail(sink, msg::kSpectrumSaveFailed);
    bool ok = WriteFileSafely(path, [&](CArchive& ar) {
        std::string text;
        for (int i = 0; i < fftSize / 2; ++i) {
            AppendInt(text, spectrum[i]);
            text += "\r\n";
        }
        return ar.WriteString(text) && ar.Flush();
    });
    return ok ? 1 : Fail(sink, msg::kSpectrumSaveFailed);
}

TransitionBins SpectrumTransitionBins(int minFreq, int maxFreq, int rate, int fftSize)
{
    const long long half = fftSize / 2 - 1;
    const long long nyquist = rate / 2;
    // 64-bit products: a high rate times N/2 overflows 32 bits. Division truncates toward
    // zero as in the display's integer arithmetic.
    long long lo = nyquist > 0 ? minFreq * half / nyquist : 0;
    long long hi = nyquist > 0 ? maxFreq * half / nyquist : half;
    lo = std::clamp(lo, 0LL, std::max(half, 0LL));
    hi = std::clamp(hi, 0LL, std::max(half, 0LL));
    return {static_cast<int>(lo), static_cast<int>(hi)};
}

BOOL ExportSpectrumTransition(const CTonmiraDoc& doc, WindowAnalysis& analysis, int minFreq, int maxFreq,
                              const std::string& chosenPath, MessageSink& sink)
{
    const std::string path = WithDefaultExtension(chosenPath, "spa");
    const int n = analysis.m_nFftSize;
    if (!doc.m_pMono || !analysis.m_pSpectrum || !analysis.m_fft.IsReady() || analysis.m_fft.m_nSize != n)
        return Fail(sink, msg::kTransitionSaveFailed);
    const TransitionBins bins =
        SpectrumTransitionBins(minFreq, maxFreq, static_cast<int>(doc.m_header.nSamplesPerSec), n);
    const bool eightBit = doc.m_header.wBitsPerSample == 8;
    // 64-bit frame arithmetic: the end mark + 1 and pos + N must not wrap.
    const unsigned long long start = doc.m_nStartMark;
    const unsigned long long end = std::min<unsigned long long>(doc.m_nEndMark + 1ULL, doc.m_nSamples);

    bool ok = WriteFileSafely(path, [&](CArchive& ar) {
        std::string line;
        for (unsigned long long pos = start; pos < end; pos += static_cast<unsigned>(n)) {
            for (int i = 0; i < n && pos + i < end; ++i) {
                const int value = SampleAt(doc.m_pMono, eightBit ? 8 : 16, static_cast<std::size_t>(pos + i));
                analysis.m_fft.SetSample(i, static_cast<short>(value));
            }
            analysis.m_fft.Transform(analysis.m_pSpectrum.get());
            line.clear();
            AppendInt(line, analysis.m_pSpectrum[bins.lo]);
            for (int k = bins.lo + 1; k <= bins.hi; ++k) {
                line += ", ";
                AppendInt(line, analysis.m_pSpectrum[k]);
            }
            line += "\r\n";
            if (!ar.WriteString(line))
                return false;
        }
        return ar.Flush();
    });
    return ok ? 1 : Fail(sink, msg::kTransitionSaveFailed);
}

}  // namespace tonmira
