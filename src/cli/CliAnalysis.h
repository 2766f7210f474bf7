#pragma once
// The shared start of the analysis commands (export, peaks, metrics): load the input, mix it
// at --balance, set the FFT size from --fft (default: the view's choice for the rate) and
// put the analysis window at --pos, as the view would after File > Open and the user's moves.
#include <string>

#include "cli/CliArgs.h"

namespace tonmira {
class CTonmiraDoc;
class WindowAnalysis;
}  // namespace tonmira

namespace tonmira::cli {

// --fft as given, or 0 when absent; a size outside 16, 32, ..., 131072 is a UsageError.
int FftSizeOption(const CliArgs& args);

// Loads path into doc and prepares analysis. Returns false after the program's messages
// (a failed load, an input without a take). A --pos beyond the last window start
// (frames - N, or 0 for a take shorter than N) is a UsageError.
bool LoadForAnalysis(CTonmiraDoc& doc, WindowAnalysis& analysis, const std::string& path, const CliArgs& args);

}  // namespace tonmira::cli
