// export pcm|spc|spa IN OUT: the three text exports of the view, for the window at --pos
// (pcm, spc) or the blocks from --start to --end over --min-freq..--max-freq (spa).
#include <string>

#include "cli/CliAnalysis.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliMessageSink.h"
#include "dsp/TextExport.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira::cli {

namespace {

int RunExport(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("export", argv);
    args.RequirePositionals(3, 3);
    const std::string kind = args.Positional(0);
    if (kind != "pcm" && kind != "spc" && kind != "spa")
        throw UsageError("the export is pcm, spc or spa, not '" + kind + "'");
    const std::string& out = args.Positional(2);
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    WindowAnalysis analysis;
    if (!LoadForAnalysis(doc, analysis, args.Positional(1), args))
        return kExitFailed;

    if (kind == "pcm")
        return ExportPcmData(doc, analysis.m_nFftSize, out, sink) ? kExitDone : kExitFailed;
    if (kind == "spc") {
        analysis.Recalculate(doc, analysis.m_nDetectLevel);
        return ExportSpectrumData(analysis.m_pSpectrum.get(), analysis.m_nFftSize, out, sink) ? kExitDone : kExitFailed;
    }

    const long long lastFrame = static_cast<long long>(doc.m_nSamples) - 1;
    doc.m_nStartMark = static_cast<UINT>(args.GetInt("start", 0, 0, lastFrame));
    // Marks in the view never cross; crossed marks would give an empty or meaningless file.
    doc.m_nEndMark = static_cast<UINT>(args.GetInt("end", lastFrame, doc.m_nStartMark, lastFrame));
    // The view keeps 0 <= minimum < maximum <= rate / 2.
    const int nyquist = static_cast<int>(doc.m_header.nSamplesPerSec / 2);
    const int minFreq = static_cast<int>(args.GetInt("min-freq", 0, 0, nyquist > 0 ? nyquist - 1 : 0));
    const int maxFreq = static_cast<int>(args.GetInt("max-freq", nyquist, minFreq + 1, nyquist));
    return ExportSpectrumTransition(doc, analysis, minFreq, maxFreq, out, sink) ? kExitDone : kExitFailed;
}

const CliCommandRegistrar registrar(
    {"export",
     "export pcm|spc|spa IN OUT [--pos P] [--fft N] [--start S] [--end E] [--min-freq HZ] [--max-freq HZ]\n"
     "      [--balance 0..100] [--rate HZ --bits 16|8]\n"
     "      OUT without an extension gets .pcm, .spc or .spa",
     RunExport});

}  // namespace

}  // namespace tonmira::cli
