// metrics IN: the detection-condition calculation on the spectrum of the window at --pos.
#include <climits>
#include <cstdio>
#include <string>

#include "cli/CliAnalysis.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/JsonWriter.h"
#include "cli/CliMessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/DetectionMetrics.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira::cli {

namespace {

int RunMetrics(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("metrics", argv);
    args.RequirePositionals(1, 1);
    MetricsBand band;
    // Any whole number is accepted here; the range check below is the dialog's, with its message.
    band.m_nBandLowHz = static_cast<int>(args.GetInt("band-low", 0, INT_MIN, INT_MAX));
    band.m_nBandHighHz = static_cast<int>(args.GetInt("band-high", 0, INT_MIN, INT_MAX));
    band.m_nExcludeHz = static_cast<int>(args.GetInt("exclude", 0, INT_MIN, INT_MAX));
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    WindowAnalysis analysis;
    if (!LoadForAnalysis(doc, analysis, args.Positional(0), args))
        return kExitFailed;

    const int rate = static_cast<int>(doc.m_header.nSamplesPerSec);
    if (std::string message; !CheckDialogBandEdges(band, rate, message)) {
        sink.Message(message);
        return kExitFailed;
    }
    analysis.Recalculate(doc, analysis.m_nDetectLevel);
    const DialogMetrics metrics = ComputeDialogMetrics(analysis.m_pSpectrum.get(), analysis.m_nFftSize, rate, band);
    if (args.Has("json")) {
        JsonWriter json;
        json.BeginObject()
            .Key("integration").Number(metrics.m_fIntegration)
            .Key("stddev").Number(metrics.m_fStdDev)
            .Key("above").Number(metrics.m_fAbove)
            .EndObject();
        std::fputs(json.Text().c_str(), stdout);
        return kExitDone;
    }
    DialogMetricsText text = FormatDialogMetrics(metrics);
    std::printf("%s\n%s\n%s\n", text.m_strIntegration.c_str(), text.m_strStdDev.c_str(), text.m_strAbove.c_str());
    return kExitDone;
}

const CliCommandRegistrar registrar(
    {"metrics",
     "metrics IN [--band-low HZ] [--band-high HZ] [--exclude HZ] [--pos P] [--fft N]\n"
     "      [--balance 0..100] [--rate HZ --bits 16|8]",
     RunMetrics});

}  // namespace

}  // namespace tonmira::cli
