#include "collect/EventLog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "collect/CsvField.h"
#include "collect/EventProcessor.h"
#include "doc/SafeFileWriter.h"

namespace tonmira {

namespace {

// Hundredths as a decimal number: 4567 -> "45.67".
std::string Hundredths(int value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%d.%02d", value < 0 ? "-" : "", std::abs(value) / 100, std::abs(value) % 100);
    return text;
}

// ISO 8601 with the offset from UTC that the machine's time zone gives that local time, so rows
// across a change of daylight saving time stay ordered.
std::string IsoDateTime(const LocalDateTime& t)
{
    std::tm parts{};
    parts.tm_year = t.m_nYear - 1900;
    parts.tm_mon = t.m_nMonth - 1;
    parts.tm_mday = t.m_nDay;
    parts.tm_hour = t.m_nHour;
    parts.tm_min = t.m_nMinute;
    parts.tm_sec = t.m_nSecond;
    parts.tm_isdst = -1;
    std::tm normal = parts;
    long offset = 0;
    if (std::mktime(&normal) != static_cast<std::time_t>(-1))
        offset = normal.tm_gmtoff;
    const long minutes = std::labs(offset) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", t.m_nYear, t.m_nMonth, t.m_nDay,
                  t.m_nHour, t.m_nMinute, t.m_nSecond, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

std::string RejectedBy(const EventOutcome& o)
{
    const EventFigures& f = o.m_figures;
    std::string by;
    auto add = [&](bool failed, const char* what) {
        if (failed)
            by += (by.empty() ? "" : "+") + std::string(what);
    };
    add(!f.m_bIntegMet, "ratio");
    add(!f.m_bPointsMet, "points");
    add(!f.m_bStdDevMet, "deviation");
    add(!o.m_bPlayLevelMet, "play level");
    return by.empty() ? "none" : by;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

const char* EventLog::Header()
{
    return "datetime,input,offset_s,frames,peak,integration_pct,points_pct,stddev,verdict,rejected_by,file,"
           "amplified\r\n";
}

std::string EventLog::FormatRow(const EventOutcome& o)
{
    const EventFigures& f = o.m_figures;
    std::string offset;
    if (o.m_dOffsetSeconds >= 0) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", o.m_dOffsetSeconds);
        offset = text;
    }
    std::string stddev = "NaN";
    if (!std::isnan(f.m_fStdDev)) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f", static_cast<double>(f.m_fStdDev));
        stddev = text;
    }
    std::string row;
    for (const std::string& field :
         {IsoDateTime(o.m_when), CsvTextField(o.m_strInput), offset, std::to_string(o.m_nFrames), std::to_string(f.m_nPeak),
          Hundredths(f.m_nIntegration100), Hundredths(f.m_nPoints100), stddev,
          std::string(f.m_bAccepted ? "accepted" : "rejected"), RejectedBy(o), CsvTextField(o.m_strFinalPath),
          std::string(o.m_bAmplified ? "yes" : "no")}) {
        if (!row.empty())
            row += ',';
        row += field;
    }
    // The first field is never empty, so a row never starts with the separator it joins on.
    return row + "\r\n";
}

bool EventLog::AppendToFile(const std::string& path, const std::string& rows)
{
    // Read as well as written where allowed: the last byte tells whether the file ends in a
    // whole row.
    auto open = [&] {
        int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        return fd < 0 && errno == EACCES ? ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC) : fd;
    };
    int fd = open();
    if (fd < 0 && errno == ENOENT) {
        // A new log appears with its header in place, and only one of two runs starting at once
        // makes it: the header is written aside and given the log's name only while it is free.
        if (!WriteFileIfAbsent(path, [](CArchive& ar) { return ar.WriteString(Header()); }) && errno != EEXIST)
            return false;
        fd = open();
    }
    if (fd < 0)
        return false;
    // Appenders of one log (the runs of a GNU parallel set-up) take turns, so that undoing a cut
    // row below never cuts another run's row. Without locks (some network file systems) the
    // append still goes ahead.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    const bool regular = ok && S_ISREG(info.st_mode);
    std::string text = rows;
    if (ok && info.st_size == 0) {
        text = Header() + rows;  // emptied by hand, or not a file (a pipe)
    } else if (regular) {
        // A row cut by a program that did not undo it: ours start on a line of their own.
        char last = '\n';
        if (::pread(fd, &last, 1, info.st_size - 1) == 1 && last != '\n')
            text = "\r\n" + rows;
    }
    ok = ok && WriteAll(fd, text);
    // The row is on the disk before the next event is processed, as the event's file is.
    if (ok && regular && ::fdatasync(fd) != 0 && errno != EINVAL)
        ok = false;
    if (!ok && regular) {
        // A full disk cut the row: a row is whole or absent, so the next run's first row is not
        // glued onto a fragment.
        const int error = errno;
        (void)::ftruncate(fd, info.st_size);
        errno = error;
    }
    const int error = errno;
    if (::close(fd) != 0 && ok)
        return false;
    errno = error;
    return ok;
}

bool EventLog::Append(const EventOutcome& outcome, const std::string& folder)
{
    const std::string row = FormatRow(outcome);
    if (m_rowSink) {
        m_rowSink(row);
        return true;
    }
    if (m_strPath == "-") {
        std::fflush(stdout);  // after whatever the program printed before
        const bool ok = WriteAll(STDOUT_FILENO, m_bStdoutHeaderWritten ? row : Header() + row);
        m_bStdoutHeaderWritten = true;
        if (!ok)
            m_strFailedPath = "-";
        return ok;
    }
    std::string path = m_strPath;
    if (path.empty()) {
        if (folder.empty())
            return true;
        path = folder + "/events.csv";
    }
    if (!AppendToFile(path, row)) {
        m_strFailedPath = path;
        return false;
    }
    return true;
}

}  // namespace tonmira
