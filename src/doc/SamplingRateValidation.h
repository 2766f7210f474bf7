#pragma once
// Validation of the sampling-rate field of the format prompt, with the prompt's own messages.
#include <string>

#include "base/Types.h"

namespace tonmira {

// The rates a take may have, whatever it is read from (WAV, text, a decoded file): the format
// prompt's range, so that every file the program writes it can also read back.
inline constexpr UINT kMinSamplingRate = 1;
inline constexpr UINT kMaxSamplingRate = 1000000;

// Parses text as an unsigned decimal number (blanks around it allowed) in 1..1000000.
// On success stores it in rate and returns true. Otherwise returns false with message set to
// "正の整数を入力してください。" (not a number) or the range message with 1 and 1000000.
bool ValidateSamplingRate(const std::string& text, UINT& rate, std::string& message);

}  // namespace tonmira
