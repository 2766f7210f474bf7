#pragma once
// collect over an archive: several inputs, or folders searched recursively, each file collected
// by its own tonmira-cli process exactly as `collect FILE` would (same names, same rows), up to
// --jobs at a time. Lines and event-log rows come out in input order.
#include <string>
#include <vector>

#include "cli/CliArgs.h"

namespace tonmira::cli {

// The files an archive run collects from the positionals: a file as given; a folder as every
// file below it whose name is an audio format (not text), in name order, leaving out the
// output folder `out` when it lies inside.
std::vector<std::string> ArchiveInputs(const std::vector<std::string>& positionals, const std::string& out);

// Runs the archive (the settings in args were checked by the caller). Exit 1 when any file
// failed (the others are still done), else 0.
int RunCollectArchive(const CliArgs& args, const std::vector<std::string>& inputs);

}  // namespace tonmira::cli
