// truncate IN OUT --start S --end E: keep the frames S..E (inclusive) and save.
#include <string>

#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {

int RunTruncate(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("truncate", argv);
    args.RequirePositionals(2, 2);
    if (!args.Has("start") || !args.Has("end"))
        throw UsageError("--start and --end are required");
    long long start = args.GetInt("start", 0, 0, UINT32_MAX);
    long long end = args.GetInt("end", 0, 0, UINT32_MAX);
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    if (!LoadDocument(doc, args.Positional(0), args))
        return kExitFailed;
    if (!doc.HasTake()) {
        // A short text file loads as no take: a failed input, not a misused command.
        sink.Message("tonmira-cli: no take to truncate (the input holds no sample frames)");
        return kExitFailed;
    }
    if (start > end || end >= doc.m_nSamples)
        throw UsageError("marks must satisfy start <= end < frames (" + std::to_string(doc.m_nSamples) + ")");
    doc.m_nStartMark = static_cast<UINT>(start);
    doc.m_nEndMark = static_cast<UINT>(end);
    const bool whole = static_cast<UINT>(end - start + 1) == doc.m_nSamples;
    // Marks over the whole take leave nothing to cut: the take is saved as it is.
    if (!whole && !doc.TruncateToMarks())
        return kExitFailed;
    if (!whole)
        doc.SetModifiedFlag();
    return SaveDocument(doc, args.Positional(1)) ? kExitDone : kExitFailed;
}

const CliCommandRegistrar registrar(
    {"truncate", "truncate IN OUT --start S --end E [--rate HZ --bits 16|8]", RunTruncate});

}  // namespace

}  // namespace tonmira::cli
