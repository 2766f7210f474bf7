// convert IN OUT: load IN and save it as OUT (WAV or text by OUT's last three characters).
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {

int RunConvert(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("convert", argv);
    args.RequirePositionals(2, 2);
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    if (!LoadDocument(doc, args.Positional(0), args) || !SaveDocument(doc, args.Positional(1)))
        return kExitFailed;
    return kExitDone;
}

const CliCommandRegistrar registrar({"convert", "convert IN OUT [--rate HZ --bits 16|8]", RunConvert});

}  // namespace

}  // namespace tonmira::cli
