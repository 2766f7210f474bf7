// spectrogram IN OUT.png: the whole take's spectrogram as the window's pane draws it, headless.
#include <cstdio>
#include <string>
#include <thread>

#include "base/Messages.h"
#include "cli/CliAnalysis.h"
#include "cli/CliCommand.h"
#include "cli/CliMessageSink.h"
#include "cli/CliOptionTable.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "view/PngFile.h"
#include "view/TakePicture.h"
#include "view/TakeLevelSummary.h"

namespace tonmira::cli {

namespace {

int RunSpectrogram(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("spectrogram", argv);
    args.RequirePositionals(2, 2);
    view::PictureAxes axes;
    axes.width = static_cast<int>(args.GetInt("width", 1200, 1, 20000));
    axes.height = static_cast<int>(args.GetInt("height", 300, 1, 10000));
    axes.logAxis = args.Has("log");
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    WindowAnalysis analysis;
    if (!LoadForAnalysis(doc, analysis, args.Positional(0), args))
        return kExitFailed;
    axes.rate = static_cast<int>(doc.m_header.nSamplesPerSec);
    // The view keeps 0 <= minimum < maximum <= rate / 2.
    const int nyquist = axes.rate / 2;
    axes.minHz = static_cast<int>(args.GetInt("min-freq", 0, 0, nyquist > 0 ? nyquist - 1 : 0));
    axes.maxHz = static_cast<int>(args.GetInt("max-freq", nyquist, axes.minHz + 1, nyquist));
    if (!doc.m_pMono || doc.m_nSamples == 0) {
        std::fprintf(stderr, "tonmira-cli spectrogram: %s holds no samples\n", args.Positional(0).c_str());
        return kExitFailed;
    }

    view::TakeLevelSummary summary(static_cast<int>(std::max(std::thread::hardware_concurrency(), 1u)));
    summary.Start({doc.m_pMono, doc.m_nSamples, doc.m_header.wBitsPerSample == 8}, analysis.m_nFftSize, {});
    summary.Wait();
    const auto pixels = view::ColourPixels(view::WholeTakeLevels(summary, axes));
    if (!view::WritePng(args.Positional(1), axes.width, axes.height, pixels)) {
        sink.Message(msg::kWriteFailed);
        return kExitFailed;
    }
    return kExitDone;
}

const CliCommandRegistrar registrar(
    {"spectrogram",
     "spectrogram IN OUT.png [--fft N] [--width W] [--height H] [--min-freq HZ] [--max-freq HZ] [--log]\n"
     "      [--balance 0..100] [--rate HZ --bits 16|8]\n"
     "      the whole take's spectrogram (largest level of every window per column) as a PNG picture;\n"
     "      default 1200 x 300 pixels over 0 .. rate/2 Hz",
     RunSpectrogram});

}  // namespace

}  // namespace tonmira::cli
