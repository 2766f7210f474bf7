#pragma once
// The event list: the rows of an event log (events.csv, as collect/EventLog writes it) read back
// for display, filtered by verdict, sorted by a column, and what a row leads to (the input at the
// event's offset, or the event's own file). Qt-free; the pane only shows it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tonmira::view {

struct EventLogRow {
    std::string dateTime;
    std::string input;       // the collection's input file; "" for a live event
    std::string offset;      // seconds into the input, as written ("" for a live event)
    std::string frames, peak, integration, points, stddev;
    bool accepted = false;
    std::string rejectedBy;  // the conditions that rejected it ("none" when accepted)
    std::string file;        // the event's file; "" when there is none
    bool amplified = false;
};

// A text field as it was before the writer guarded it: the apostrophe before =, +, -, @, tab or
// CR taken off, every "\xHH" back to its byte.
std::string DecodeLogText(std::string_view field);

struct EventLogContents {
    std::vector<EventLogRow> rows;
    std::size_t skipped = 0;  // lines that are no whole row (cut, or written by something else)
    bool isLog = false;       // the first line names the event log's columns
};
// Reads a whole log (its header line first; CR LF or LF line ends, an optional byte-order mark).
EventLogContents ParseEventLog(std::string_view text);
// One row of the log's column order, as EventLog::FormatRow makes it.
std::optional<EventLogRow> ParseEventLogRow(std::string_view line);

// Where a row leads: an offline event to its input at its offset, a live one to its file.
struct EventJump {
    enum class Kind { None, OpenAtOffset, Open };
    Kind kind = Kind::None;
    std::string path;
    std::string offset;  // OpenAtOffset: seconds, a time the go-to-time entry reads
};
// A relative path is taken as written when it exists from here, else from the log's folder.
EventJump JumpFor(const EventLogRow& row, const std::string& logFolder);

class EventLogTable {
public:
    enum class Filter { All, Accepted, Rejected };
    enum class Column { Time, Input, Verdict, Figures };

    void SetRows(std::vector<EventLogRow> rows) { m_rows = std::move(rows); }
    void Append(EventLogRow row) { m_rows.push_back(std::move(row)); }
    void SetFilter(Filter filter) { m_filter = filter; }
    // Stable: rows equal in the column keep their log order.
    void SortBy(Column column, bool ascending);
    // The rows shown, as indices into Row(), in display order.
    std::vector<std::size_t> Visible() const;
    const EventLogRow& Row(std::size_t index) const { return m_rows[index]; }
    std::size_t Size() const { return m_rows.size(); }

private:
    std::vector<EventLogRow> m_rows;
    Filter m_filter = Filter::All;
    std::optional<Column> m_sort;
    bool m_bAscending = true;
};

}  // namespace tonmira::view
