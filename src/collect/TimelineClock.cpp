#include "collect/TimelineClock.h"

namespace tonmira {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

LocalDateTime TimelineClock::AddSeconds(const LocalDateTime& t, std::uint64_t seconds)
{
    std::int64_t total = DaysFromCivil(t.m_nYear, t.m_nMonth, t.m_nDay) * 86400 + t.m_nHour * 3600 +
                         t.m_nMinute * 60 + t.m_nSecond + static_cast<std::int64_t>(seconds);
    std::int64_t days = total / 86400;
    std::int64_t rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    LocalDateTime out;
    CivilFromDays(days, out.m_nYear, out.m_nMonth, out.m_nDay);
    out.m_nHour = static_cast<int>(rest / 3600);
    out.m_nMinute = static_cast<int>(rest % 3600 / 60);
    out.m_nSecond = static_cast<int>(rest % 60);
    return out;
}

}  // namespace tonmira
