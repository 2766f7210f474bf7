#include "doc/SamplingRateValidation.h"

#include "base/Messages.h"
#include "base/MessageSink.h"

namespace tonmira {

bool ValidateSamplingRate(const std::string& text, UINT& rate, std::string& message)
{
    std::size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < text.size() && isBlank(text[i]))
        ++i;
    std::size_t end = text.size();
    while (end > i && isBlank(text[end - 1]))
        --end;
    if (i == end) {
        message = msg::kPositiveInteger;
        return false;
    }
    // Saturate instead of overflowing: any value past the maximum is simply out of range.
    unsigned long long value = 0;
    for (std::size_t k = i; k < end; ++k) {
        char c = text[k];
        if (c < '0' || c > '9') {
            message = msg::kPositiveInteger;
            return false;
        }
        if (value <= kMaxSamplingRate)
            value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < kMinSamplingRate || value > kMaxSamplingRate) {
        message = FormatArgs(msg::kIntegerRange,
                             {std::to_string(kMinSamplingRate), std::to_string(kMaxSamplingRate)});
        return false;
    }
    rate = static_cast<UINT>(value);
    return true;
}

}  // namespace tonmira
