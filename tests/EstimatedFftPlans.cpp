// Linked into every test program: FFT plans are estimated, not measured. Measuring one plan per
// size would cost the suite minutes (the results do not depend on the plan), and nothing is
// written into the user's cache. Programs the tests start (tonmira-cli) inherit the setting.
// TONMIRA_FFT_PLANNING=measure in the environment checks the machine's measured plans instead.
#include <cstdlib>

namespace {

const int kEstimatedFftPlans = ::setenv("TONMIRA_FFT_PLANNING", "estimate", 0);

}  // namespace
