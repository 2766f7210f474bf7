#include "view/TimeEntry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "doc/TakeFigures.h"

namespace tonmira::view {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whole digits (at least one) as a number; beyond 15 digits no take is that long anyway.
std::optional<double> Digits(std::string_view text)
{
    if (text.empty() || text.size() > 15 || !std::all_of(text.begin(), text.end(), IsDigit))
        return std::nullopt;
    double value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

// Two digits under 60: the minutes and seconds after a colon.
std::optional<double> Sexagesimal(std::string_view text)
{
    const std::optional<double> value = text.size() == 2 ? Digits(text) : std::nullopt;
    return value && *value < 60 ? value : std::nullopt;
}

std::string_view Trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<double> ParseTimeEntry(std::string_view text)
{
    text = Trimmed(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);

    double fraction = 0;
    if (const std::size_t dot = text.find('.'); dot != std::string_view::npos) {
        const std::string_view digits = text.substr(dot + 1);
        if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
            return std::nullopt;
        double scale = 0.1;
        for (char c : digits.substr(0, 9)) {
            fraction += (c - '0') * scale;
            scale /= 10;
        }
        text = text.substr(0, dot);
    }

    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t colon = text.find(':', from);
        parts.push_back(text.substr(from, colon == std::string_view::npos ? std::string_view::npos : colon - from));
        if (colon == std::string_view::npos)
            break;
        from = colon + 1;
    }
    if (parts.size() > 3)
        return std::nullopt;
    // The first part is of any size; each after a colon is two digits under 60.
    std::optional<double> seconds = Digits(parts[0]);
    for (std::size_t i = 1; i < parts.size() && seconds; ++i) {
        const std::optional<double> part = Sexagesimal(parts[i]);
        seconds = part ? std::optional<double>(*seconds * 60 + *part) : std::nullopt;
    }
    if (!seconds)
        return std::nullopt;
    const double value = *seconds + fraction;
    return negative ? -value : value;
}

TimeTarget FindTimeTarget(std::string_view text, UINT frames, UINT rate, UINT limit)
{
    TimeTarget target;
    target.first = FormatTakeTime(0, rate);
    target.last = FormatTakeTime(frames, rate);
    const std::optional<double> seconds = ParseTimeEntry(text);
    if (!seconds)
        return target;
    target.status = TimeTarget::Status::OutOfRange;
    if (rate == 0 || *seconds < 0)
        return target;
    const double at = *seconds * rate;
    // A time that names a frame exactly (up to rounding) is that frame, not the next one.
    const double nearest = std::round(at);
    double frame = std::abs(at - nearest) < 1e-6 ? nearest : std::ceil(at);
    // The position text floors frame / rate in milliseconds, a hair low at some frames: the
    // frame is the first whose text reaches the time's millisecond.
    const double ms = std::floor(*seconds * 1000.0 + 1e-6);
    if (std::floor(frame / rate * 1000.0) < ms)
        ++frame;
    if (frame > frames)
        return target;
    target.status = TimeTarget::Status::Ok;
    target.frame = std::min(static_cast<UINT>(frame), limit);
    return target;
}

}  // namespace tonmira::view
