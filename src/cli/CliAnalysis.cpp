#include "cli/CliAnalysis.h"

#include "cli/CliLoad.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftSize.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira::cli {

int FftSizeOption(const CliArgs& args)
{
    if (!args.Has("fft"))
        return 0;
    const long long size = args.GetInt("fft", 0, kMinFftSize, kMaxFftSize);
    if ((size & (size - 1)) != 0)
        throw UsageError("--fft must be one of 16, 32, 64, ..., 131072 (a power of two), not " +
                         args.GetString("fft", ""));
    return static_cast<int>(size);
}

bool LoadForAnalysis(CTonmiraDoc& doc, WindowAnalysis& analysis, const std::string& path, const CliArgs& args)
{
    // Options are checked before the file is read, so a usage error never costs a load.
    const int fftSize = FftSizeOption(args);
    const int balance = static_cast<int>(args.GetInt("balance", 50, 0, 100));
    const long long position = args.GetInt("pos", 0, 0, 0xFFFFFFFFLL);

    if (!LoadDocument(doc, path, args))
        return false;
    if (!doc.HasTake()) {
        doc.m_sink.Message("tonmira-cli: " + path + " holds no take to analyse");
        return false;
    }
    if (balance != doc.m_nBalance) {
        doc.m_nBalance = balance;
        if (!doc.BuildMonoBuffer())
            return false;
    }
    if (!analysis.InitialUpdate(doc, doc.m_sink))
        return false;
    if (fftSize != 0 && fftSize != analysis.m_nFftSize && !analysis.ChangeFftSize(doc, fftSize, doc.m_sink))
        return false;

    const UINT n = static_cast<UINT>(analysis.m_nFftSize);
    const UINT last = doc.m_nSamples > n ? doc.m_nSamples - n : 0;
    if (position > last)
        throw UsageError("--pos needs a frame from 0 to " + std::to_string(last) + " for " +
                         std::to_string(doc.m_nSamples) + " frames and N = " + std::to_string(n) + ", not " +
                         std::to_string(position));
    doc.m_nPosition = static_cast<UINT>(position);
    return true;
}

}  // namespace tonmira::cli
