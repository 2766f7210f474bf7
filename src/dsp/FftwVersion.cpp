#include "dsp/FftwVersion.h"

#include <fftw3.h>

namespace tonmira {

std::string FftwVersionText() { return fftw_version; }

}  // namespace tonmira
