#pragma once
// The versions of the libraries under the core, for --version --verbose of both programs.
#include <string>

namespace tonmira {

// One line each, "FFmpeg: ...", "FFTW: ...", "PortAudio: ...", each ending in a newline.
// Any thread; PortAudio need not be initialised.
std::string LibraryVersionLines();

}  // namespace tonmira
