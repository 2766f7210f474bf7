#pragma once
// Where event processing reads the local date and time. The live program uses the system
// clock; tests and offline collection put in a clock of their own so file names are known
// in advance. Now() may be called from the collection worker thread.
#include <string>

namespace tonmira {

struct LocalDateTime {
    int m_nYear = 1970;
    int m_nMonth = 1;   // 1..12
    int m_nDay = 1;     // 1..31
    int m_nHour = 0;    // 0..23
    int m_nMinute = 0;
    int m_nSecond = 0;

    bool operator==(const LocalDateTime&) const = default;
};

class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The machine's local time (time zone and daylight saving applied).
class SystemLocalClock : public LocalClock {
public:
    LocalDateTime Now() const override;
};

// Always the same moment.
class FixedLocalClock : public LocalClock {
public:
    explicit FixedLocalClock(const LocalDateTime& when) : m_when(when) {}
    LocalDateTime Now() const override { return m_when; }

private:
    LocalDateTime m_when;
};

// "YYYY-MM-DD HH:MM:SS" (year 1..9999, a real calendar date, 24-hour time).
// Returns false and leaves out unchanged for anything else.
bool ParseLocalDateTime(const std::string& text, LocalDateTime& out);

}  // namespace tonmira
