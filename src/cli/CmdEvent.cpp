// event IN --out DIR [settings options] [--clock "YYYY-MM-DD HH:MM:SS"] [--detect-level L]:
// treats IN as one captured event and runs the steps that follow the end of its capture
// (event file, analysis, amplification, figures name, mark or delete; no replay).
#include <cstdio>
#include <memory>
#include <vector>

#include "cli/CliCollectSettings.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "collect/AutoRecordForm.h"
#include "collect/EventHost.h"
#include "collect/EventProcessor.h"
#include "collect/LocalClock.h"
#include "base/Messages.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftEngine.h"
#include "dsp/FftSize.h"

namespace tonmira::cli {

namespace {

int RunEvent(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("event", argv);
    args.RequirePositionals(1, 1);
    if (!args.Has("out"))
        throw UsageError("--out DIR is required");

    std::unique_ptr<LocalClock> clock = std::make_unique<SystemLocalClock>();
    if (args.Has("clock")) {
        LocalDateTime when;
        if (!ParseLocalDateTime(args.GetString("clock", ""), when))
            throw UsageError("--clock needs \"YYYY-MM-DD HH:MM:SS\"");
        clock = std::make_unique<FixedLocalClock>(when);
    }
    int detectLevel = static_cast<int>(args.GetInt("detect-level", 5, 0, 50));

    CliMessageSink sink;
    CollectSettings settings;
    if (!LoadCollectSettings(args, sink, settings))
        return kExitFailed;

    CTonmiraDoc doc(sink);
    if (!LoadDocument(doc, args.Positional(0), args))
        return kExitFailed;
    if (!doc.HasTake()) {
        sink.Message("tonmira-cli: no event to process (the input holds no sample frames)");
        return kExitFailed;
    }

    AutoRecordForm::LimitLevelsToBits(settings, doc.m_header.wBitsPerSample);

    int n = static_cast<int>(args.GetInt("fft", DefaultFftSize(doc.m_header.nSamplesPerSec), kMinFftSize, kMaxFftSize));
    if ((n & (n - 1)) != 0)
        throw UsageError("--fft needs a power of two from 16 to 131072");
    CFftEngine fft;
    if (!fft.Init(n, 0)) {
        sink.Message(msg::kMallocFailed);
        return kExitFailed;
    }
    std::vector<int> spectrum(static_cast<std::size_t>(n / 2));

    EventHost host;  // nothing is replayed and there is no screen to refresh
    EventProcessor processor(doc, settings, fft, spectrum.data(), *clock, sink, host);
    EventOutcome outcome = processor.Process(detectLevel);
    std::printf("%s\n", FormatEventLine(outcome).c_str());
    // The event was processed, but its file could not be written: say so in the exit code too.
    return outcome.m_bWriteFailed ? kExitFailed : kExitDone;
}

const CliCommandRegistrar registrar(
    {"event",
     "event IN --out DIR [settings options] [--settings F.ars] [--clock \"YYYY-MM-DD HH:MM:SS\"]\n"
     "      [--detect-level L] [--fft N] [--rate HZ --bits 16|8]\n"
     "      process IN as one captured event: write, analyse, amplify, rename, mark or delete;\n"
     "      prints: path-or-- P integration*100 points*100 stddev accepted|rejected",
     RunEvent});

}  // namespace

}  // namespace tonmira::cli
