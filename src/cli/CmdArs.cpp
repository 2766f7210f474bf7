// ars show FILE / ars save FILE [settings options]: read or write a collection settings file.
#include <cstdio>

#include "cli/CliCollectSettings.h"
#include "base/Messages.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliMessageSink.h"
#include "collect/ArsFile.h"
#include "collect/AutoRecordForm.h"

namespace tonmira::cli {

namespace {

int RunArs(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("ars", argv);
    args.RequirePositionals(2, 2);
    const std::string& action = args.Positional(0);
    const std::string& path = args.Positional(1);
    CliMessageSink sink;
    CollectSettings settings;
    if (action == "show") {
        if (args.Has("folder") || args.Has("bits"))
            throw UsageError("ars show takes no settings options");
        for (const auto& name : CollectSettingsOptions())
            if (args.Has(name))
                throw UsageError("ars show takes no settings options");
        int nBits = 16;
        // Fields a short file lacks show the program's start-up values.
        if (!LoadArsFile(path, nBits, settings)) {
            sink.Message(msg::kReadFailed);
            return kExitFailed;
        }
        const bool json = args.Has("json");
        std::fputs((json ? FormatCollectSettingsJson(nBits, settings) : FormatCollectSettings(nBits, settings)).c_str(),
                   stdout);
        return kExitDone;
    }
    if (action == "save") {
        if (args.Has("json"))
            throw UsageError("--json is for ars show");
        ApplyCollectSettingsOptions(args, settings);
        settings.m_strOutputFolder = args.GetString("folder", "");
        long long bits = args.GetInt("bits", 16, 8, 16);
        if (bits != 8 && bits != 16)
            throw UsageError("--bits needs 8 or 16");
        if (!SaveArsFile(path, static_cast<int>(bits), settings)) {
            sink.Message(msg::kFileSaveFailed);
            return kExitFailed;
        }
        return kExitDone;
    }
    throw UsageError("unknown action '" + action + "' (show or save)");
}

CliCommandRegistrar registrar({"ars",
                               "ars show FILE | ars save FILE [--bits 16|8] [--folder DIR] [settings options]\n"
                               "      read or write a collection settings file (.ars)",
                               RunArs});

}  // namespace

}  // namespace tonmira::cli
