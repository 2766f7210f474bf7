// peaks IN: the fundamental frequencies of the window at --pos, one line per list box.
#include <cstdio>
#include <string>

#include "cli/CliAnalysis.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/JsonWriter.h"
#include "cli/CliMessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira::cli {

namespace {

int RunPeaks(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("peaks", argv);
    args.RequirePositionals(1, 1);
    const int level = static_cast<int>(args.GetInt("level", 5, 0, 50));
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    WindowAnalysis analysis;
    if (!LoadForAnalysis(doc, analysis, args.Positional(0), args))
        return kExitFailed;
    FundamentalBoxes boxes = analysis.Recalculate(doc, level);
    if (args.Has("json")) {
        JsonWriter json;
        json.BeginObject()
            .Key("rate").Integer(doc.m_header.nSamplesPerSec)
            .Key("fft").Integer(analysis.m_nFftSize)
            .Key("pos").Integer(doc.m_nPosition)
            .Key("level").Integer(level)
            .Key("boxes").BeginArray();
        for (const auto& box : boxes) {
            json.BeginArray();
            for (const auto& hz : box)
                json.Number(hz);
            json.EndArray();
        }
        std::fputs(json.EndArray().EndObject().Text().c_str(), stdout);
        return kExitDone;
    }
    std::string out;
    for (const auto& box : boxes) {
        for (std::size_t i = 0; i < box.size(); ++i) {
            if (i)
                out += '\t';
            out += FormatFundamental(box[i]);
        }
        out += '\n';
    }
    std::fputs(out.c_str(), stdout);
    return kExitDone;
}

const CliCommandRegistrar registrar(
    {"peaks", "peaks IN [--pos P] [--fft N] [--level 0..50] [--balance 0..100] [--rate HZ --bits 16|8]", RunPeaks});

}  // namespace

}  // namespace tonmira::cli
