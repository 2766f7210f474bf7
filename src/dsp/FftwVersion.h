#pragma once
// Which FFTW the program runs with, for --version --verbose. Any thread.
#include <string>

namespace tonmira {

// FFTW's own identification, e.g. "fftw-3.3.10-sse2-avx".
std::string FftwVersionText();

}  // namespace tonmira
