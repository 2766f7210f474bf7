#pragma once
// The event log: one CSV row per processed event (RFC 4180: comma-separated, fields quoted when
// they hold a comma, a quote or a line end, CR LF line ends; UTF-8, the text fields guarded as
// CsvField.h says), the header line once at the top of a new file. Every collection writes it,
// by default to events.csv in the output folder.
//
// Each row is written with one append under an exclusive lock of the file and synced to the
// disk before the next event is processed; a row cut short (a full disk) is taken back, so the
// log holds only whole rows, also after a kill or a power loss. A new log never exists without
// its header.
//
// Threads: one log per engine, used on the owner's thread (where processed events are reported).
#include <functional>
#include <string>

namespace tonmira {

struct EventOutcome;

class EventLog {
public:
    // The first line of every log.
    static const char* Header();
    // One row (with its CR LF): date-time, input, offset, frames, P, integration %, points %,
    // standard deviation, verdict, the conditions that rejected it, file, amplified.
    static std::string FormatRow(const EventOutcome& outcome);
    // Appends whole rows to the file at path with one write, the header first when the file is
    // new or empty. False (errno says why) when the file could not be opened or written; the
    // file is then as it was.
    static bool AppendToFile(const std::string& path, const std::string& rows);

    // Where rows go: "" (the default) = events.csv in the folder given to Append, or nowhere
    // when that folder is empty; "-" = standard output (the header before the first row);
    // anything else = that file.
    void SetPath(const std::string& path) { m_strPath = path; }
    // Hands every row to sink instead of writing it (for a caller that orders rows itself).
    void SetRowSink(std::function<void(const std::string& row)> sink) { m_rowSink = std::move(sink); }

    // Writes the row of outcome. False when the log could not be written (then m_strFailedPath
    // names it); true when written or when there is nowhere to write.
    bool Append(const EventOutcome& outcome, const std::string& folder);

    std::string m_strFailedPath;

private:
    std::string m_strPath;
    std::function<void(const std::string&)> m_rowSink;
    bool m_bStdoutHeaderWritten = false;
};

}  // namespace tonmira
