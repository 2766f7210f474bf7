#pragma once
// tonmira --help and tonmira --version [--verbose]: answered on stdout before any window or
// display is needed, so that they also work over ssh and in scripts.
#include <optional>

namespace tonmira::ui {

// The exit code when argv asks for the help or the version (after printing it); nothing when
// the program should start its window.
std::optional<int> AnswerInfoOptions(int argc, char** argv);

}  // namespace tonmira::ui
