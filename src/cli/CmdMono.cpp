// mono IN OUT: save the balance mix (--balance, default 50) of a two-channel take.
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {

int RunMono(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("mono", argv);
    args.RequirePositionals(2, 2);
    int balance = static_cast<int>(args.GetInt("balance", 50, 0, 100));
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    if (!LoadDocument(doc, args.Positional(0), args))
        return kExitFailed;
    if (!doc.HasTake() || doc.m_header.nChannels != 2) {
        sink.Message("tonmira-cli: mono needs a two-channel take; " + args.Positional(0) +
                     " is not one (its mono data is the take itself)");
        return kExitFailed;
    }
    if (balance != doc.m_nBalance) {
        doc.m_nBalance = balance;
        if (!doc.BuildMonoBuffer())
            return kExitFailed;
    }
    if (!RefuseProtectedTarget(doc, args.Positional(1)))
        return kExitFailed;
    return doc.OnSaveMonoData(args.Positional(1)) ? kExitDone : kExitFailed;
}

const CliCommandRegistrar registrar({"mono", "mono IN OUT [--balance 0..100] [--rate HZ --bits 16|8]", RunMono});

}  // namespace

}  // namespace tonmira::cli
