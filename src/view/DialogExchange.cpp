#include "view/DialogExchange.h"
#include "base/Messages.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <system_error>

#include "base/MessageSink.h"

namespace tonmira {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text without surrounding blanks, or nothing when only blanks remain.
std::optional<std::string> Trimmed(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    if (begin == end)
        return std::nullopt;
    return text.substr(begin, end - begin);
}

}  // namespace

std::optional<int> ParseDialogInt(const std::string& text)
{
    auto core = Trimmed(text);
    if (!core)
        return std::nullopt;
    const char* p = core->c_str();
    // strtol would also skip other white space and accept "0x"-less junk like " +"; require
    // sign and digits only.
    std::size_t i = (p[0] == '+' || p[0] == '-') ? 1 : 0;
    if (p[i] == '\0')
        return std::nullopt;
    for (std::size_t j = i; p[j]; ++j)
        if (p[j] < '0' || p[j] > '9')
            return std::nullopt;
    errno = 0;
    long long value = std::strtoll(p, nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<float> ParseDialogReal(const std::string& text)
{
    auto core = Trimmed(text);
    if (!core)
        return std::nullopt;
    // from_chars, unlike strtod, ignores the process locale: the GUI toolkit may switch
    // LC_NUMERIC to one with a decimal comma.
    const char* first = core->data();
    const char* last = first + core->size();
    if (*first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    double value = 0.0;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value) || value > FLT_MAX || value < -FLT_MAX)
        return std::nullopt;
    return static_cast<float>(value);
}

std::string FormatDialogInt(int value) { return std::to_string(value); }

std::string FormatDialogReal(float value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                std::chars_format::general, FLT_DIG);
    return std::string(buffer, result.ptr);
}

std::string IntegerRangeMessage(int min, int max)
{
    return FormatArgs(msg::kIntegerRange, {std::to_string(min), std::to_string(max)});
}

}  // namespace tonmira
