#include "view/EventLogTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <tuple>

namespace tonmira::view {

namespace {

// The columns every log has, in the writer's order.
constexpr std::array<std::string_view, 12> kColumns = {"datetime",   "input",  "offset_s",        "frames",
                                                       "peak",       "integration_pct", "points_pct", "stddev",
                                                       "verdict",    "rejected_by",     "file",       "amplified"};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Splits CSV text into records of fields (RFC 4180: quoted fields may hold separators, quotes
// doubled, and line ends). A line end ends a record outside quotes; a final record without one
// is kept too.
std::vector<std::vector<std::string>> Records(std::string_view text)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            fields.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(fields));
            fields.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        fields.push_back(std::move(field));
        records.push_back(std::move(fields));
    }
    return records;
}

std::optional<EventLogRow> RowOf(const std::vector<std::string>& f, const std::array<std::size_t, 12>& at)
{
    for (std::size_t index : at)
        if (index >= f.size())
            return std::nullopt;
    const std::string& verdict = f[at[8]];
    if (verdict != "accepted" && verdict != "rejected")
        return std::nullopt;
    EventLogRow row;
    row.dateTime = f[at[0]];
    row.input = DecodeLogText(f[at[1]]);
    row.offset = f[at[2]];
    row.frames = f[at[3]];
    row.peak = f[at[4]];
    row.integration = f[at[5]];
    row.points = f[at[6]];
    row.stddev = f[at[7]];
    row.accepted = verdict == "accepted";
    row.rejectedBy = f[at[9]];
    row.file = DecodeLogText(f[at[10]]);
    row.amplified = f[at[11]] == "yes";
    return row;
}

constexpr std::array<std::size_t, 12> kWriterOrder = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

// A figure as a number for sorting; text that is none (NaN, empty) sorts after every number.
double Number(const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !std::isnan(value) ? value : HUGE_VAL;
}

}  // namespace

std::string DecodeLogText(std::string_view field)
{
    static constexpr std::string_view kGuarded = "=+-@\t\r";
    if (field.size() >= 2 && field[0] == '\'' && kGuarded.find(field[1]) != std::string_view::npos)
        field.remove_prefix(1);
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] == 'x' && HexValue(field[i + 2]) >= 0 &&
            HexValue(field[i + 3]) >= 0) {
            out += static_cast<char>(HexValue(field[i + 2]) * 16 + HexValue(field[i + 3]));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

EventLogContents ParseEventLog(std::string_view text)
{
    EventLogContents contents;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const std::vector<std::vector<std::string>> records = Records(text);
    if (records.empty())
        return contents;
    // The columns by their names, so that a log a spreadsheet saved with columns moved still reads.
    std::array<std::size_t, 12> at{};
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        const auto& header = records[0];
        const auto found = std::find(header.begin(), header.end(), kColumns[c]);
        if (found == header.end())
            return contents;
        at[c] = static_cast<std::size_t>(found - header.begin());
    }
    contents.isLog = true;
    for (std::size_t r = 1; r < records.size(); ++r) {
        if (records[r].size() == 1 && records[r][0].empty())
            continue;  // an empty line
        if (std::optional<EventLogRow> row = RowOf(records[r], at))
            contents.rows.push_back(std::move(*row));
        else
            ++contents.skipped;
    }
    return contents;
}

std::optional<EventLogRow> ParseEventLogRow(std::string_view line)
{
    const std::vector<std::vector<std::string>> records = Records(line);
    if (records.size() != 1)
        return std::nullopt;
    return RowOf(records[0], kWriterOrder);
}

EventJump JumpFor(const EventLogRow& row, const std::string& logFolder)
{
    namespace fs = std::filesystem;
    const auto resolve = [&](const std::string& path) {
        std::error_code error;
        if (fs::path(path).is_absolute() || logFolder.empty() || fs::exists(path, error))
            return path;
        return (fs::path(logFolder) / path).string();
    };
    EventJump jump;
    if (!row.input.empty() && !row.offset.empty()) {
        jump.kind = EventJump::Kind::OpenAtOffset;
        jump.path = resolve(row.input);
        jump.offset = row.offset;
    } else if (!row.file.empty()) {
        jump.kind = EventJump::Kind::Open;
        jump.path = resolve(row.file);
    }
    return jump;
}

void EventLogTable::SortBy(Column column, bool ascending)
{
    m_sort = column;
    m_bAscending = ascending;
}

std::vector<std::size_t> EventLogTable::Visible() const
{
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const bool accepted = m_rows[i].accepted;
        if (m_filter == Filter::All || accepted == (m_filter == Filter::Accepted))
            shown.push_back(i);
    }
    if (!m_sort)
        return shown;
    const auto less = [this](std::size_t a, std::size_t b) {
        const EventLogRow& x = m_rows[a];
        const EventLogRow& y = m_rows[b];
        switch (*m_sort) {
        case Column::Time:
            return x.dateTime < y.dateTime;
        case Column::Input:
            return std::make_tuple(x.input, Number(x.offset)) < std::make_tuple(y.input, Number(y.offset));
        case Column::Verdict:
            return std::make_tuple(!x.accepted, x.rejectedBy) < std::make_tuple(!y.accepted, y.rejectedBy);
        case Column::Figures:
            return Number(x.peak) < Number(y.peak);
        }
        return false;
    };
    std::stable_sort(shown.begin(), shown.end(), [&](std::size_t a, std::size_t b) {
        return m_bAscending ? less(a, b) : less(b, a);
    });
    return shown;
}

}  // namespace tonmira::view
