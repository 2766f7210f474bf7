#include "collect/LocalClock.h"

#include <ctime>

namespace tonmira {

LocalDateTime SystemLocalClock::Now() const
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);  // thread-safe, unlike localtime
    LocalDateTime t;
    t.m_nYear = parts.tm_year + 1900;
    t.m_nMonth = parts.tm_mon + 1;
    t.m_nDay = parts.tm_mday;
    t.m_nHour = parts.tm_hour;
    t.m_nMinute = parts.tm_min;
    t.m_nSecond = parts.tm_sec > 59 ? 59 : parts.tm_sec;  // a leap second keeps the name two-digit
    return t;
}

bool ParseLocalDateTime(const std::string& text, LocalDateTime& out)
{
    if (text.size() != 19)
        return false;
    static const char kPattern[] = "dddd-dd-dd dd:dd:dd";
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i])
            return false;
    }
    auto number = [&](std::size_t pos, std::size_t len) {
        int value = 0;
        for (std::size_t i = pos; i < pos + len; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    LocalDateTime t;
    t.m_nYear = number(0, 4);
    t.m_nMonth = number(5, 2);
    t.m_nDay = number(8, 2);
    t.m_nHour = number(11, 2);
    t.m_nMinute = number(14, 2);
    t.m_nSecond = number(17, 2);
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.m_nYear < 1 || t.m_nMonth < 1 || t.m_nMonth > 12 || t.m_nHour > 23 || t.m_nMinute > 59 ||
        t.m_nSecond > 59)
        return false;
    bool leap = (t.m_nYear % 4 == 0 && t.m_nYear % 100 != 0) || t.m_nYear % 400 == 0;
    int days = kDays[t.m_nMonth - 1] + (t.m_nMonth == 2 && leap ? 1 : 0);
    if (t.m_nDay < 1 || t.m_nDay > days)
        return false;
    out = t;
    return true;
}

}  // namespace tonmira
