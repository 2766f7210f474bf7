// expand IN OUT --level L: range expansion of the whole take to peak level L, then save.
#include <string>

#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "collect/RangeExpansion.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {

int RunExpand(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("expand", argv);
    args.RequirePositionals(2, 2);
    if (!args.Has("level"))
        throw UsageError("--level is required");
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    if (!LoadDocument(doc, args.Positional(0), args))
        return kExitFailed;
    if (!doc.HasTake()) {
        // A short text file loads as no take: a failed input, not a misused command.
        sink.Message("tonmira-cli: no take to expand (the input holds no sample frames)");
        return kExitFailed;
    }
    // The level is chosen on a slider from 0 to the quantisation maximum.
    int fullScale = RangeFullScale(doc.m_header.wBitsPerSample);
    int level = static_cast<int>(args.GetInt("level", 0, 0, fullScale));
    int peak = RangeExpansionPeak(doc);
    ExpandRange(doc, peak, level);
    return SaveDocument(doc, args.Positional(1)) ? kExitDone : kExitFailed;
}

const CliCommandRegistrar registrar(
    {"expand", "expand IN OUT --level L [--rate HZ --bits 16|8]\n"
               "      scale the take so that its peak becomes L (0..32767, 8-bit 0..127), then save",
     RunExpand});

}  // namespace

}  // namespace tonmira::cli
