#pragma once
// The settings options shared by the commands that take collection settings
// (ars save, event, collect): --level, --play-level, ... --save-rejected.
#include <set>
#include <string>

#include "cli/CliArgs.h"
#include "collect/CollectSettings.h"
#include "base/MessageSink.h"

namespace tonmira::cli {

// Option names without "--", excluding --folder (ars save adds it; event and collect use --out).
const std::set<std::string>& CollectSettingsOptions();

// Overwrites the settings named on the command line; the others keep their values.
void ApplyCollectSettingsOptions(const CliArgs& args, CollectSettings& settings);

// The settings of a collection run (event, collect): the --settings .ars file if named, the
// settings options over it, then --out as the output folder. Settings the dialog would refuse
// are refused with its message; false after a message.
bool LoadCollectSettings(const CliArgs& args, MessageSink& sink, CollectSettings& settings);

// One line per setting, "name=value", in the order of the .ars record; m_nBits first.
std::string FormatCollectSettings(int nBits, const CollectSettings& settings);
// The same settings as one JSON object, under the same names; numbers as numbers.
std::string FormatCollectSettingsJson(int nBits, const CollectSettings& settings);

}  // namespace tonmira::cli
