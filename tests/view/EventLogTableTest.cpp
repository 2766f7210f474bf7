// The event list read back from logs the program's own writer made: every text field as it was
// before the writer guarded it, rows filtered and sorted, and where a row leads.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "collect/EventLog.h"
#include "collect/EventProcessor.h"
#include "view/EventLogTable.h"

namespace tonmira::view {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

EventOutcome Outcome(const std::string& input, double offset, const std::string& file, bool accepted, int peak,
                     int second = 9)
{
    EventOutcome o;
    o.m_when = LocalDateTime{2024, 3, 5, 14, 7, second};
    o.m_strInput = input;
    o.m_dOffsetSeconds = offset;
    o.m_strFinalPath = file;
    o.m_nFrames = 4410;
    o.m_figures.m_nPeak = peak;
    o.m_figures.m_nIntegration100 = 4567;
    o.m_figures.m_nPoints100 = 1200;
    o.m_figures.m_fStdDev = accepted ? 3.25f : std::numeric_limits<float>::quiet_NaN();
    o.m_figures.m_bIntegMet = o.m_figures.m_bPointsMet = o.m_figures.m_bStdDevMet = accepted;
    o.m_figures.m_bAccepted = accepted;
    o.m_bPlayLevelMet = true;
    return o;
}

TEST(EventLogTable, ReadsBackWhatTheWriterWrote)
{
    TempDir dir;
    const std::string log = dir.File("events.csv");
    // Names a spreadsheet would run as a formula, with the log's separators, quotes and line ends,
    // bytes that are not UTF-8, and a backslash text that looks like an escape.
    const std::vector<std::string> inputs = {"=HYPERLINK(\"x\").wav", "-take, \"two\"\r\nline.wav",
                                             std::string("raw\xFF\xFE.wav"), "dir\\x41\\a.wav", "plain.wav"};
    for (std::size_t i = 0; i < inputs.size(); ++i)
        ASSERT_TRUE(EventLog::AppendToFile(log, EventLog::FormatRow(Outcome(inputs[i], 10.0 * i + 0.25, "",
                                                                            i % 2 == 0, 1000 + int(i)))));
    const EventOutcome live = Outcome("", -1.0, "/srv/@event.WAV", false, 77);
    ASSERT_TRUE(EventLog::AppendToFile(log, EventLog::FormatRow(live)));

    const EventLogContents contents = ParseEventLog(ReadFileBytes(log));
    ASSERT_TRUE(contents.isLog);
    EXPECT_EQ(contents.skipped, 0u);
    ASSERT_EQ(contents.rows.size(), inputs.size() + 1);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const EventLogRow& row = contents.rows[i];
        EXPECT_EQ(row.input, inputs[i]) << i;
        EXPECT_EQ(std::stod(row.offset), 10.0 * i + 0.25);
        EXPECT_EQ(row.accepted, i % 2 == 0);
        EXPECT_EQ(row.rejectedBy, i % 2 == 0 ? "none" : "ratio+points+deviation");
        EXPECT_EQ(row.peak, std::to_string(1000 + i));
        EXPECT_EQ(row.integration, "45.67");
        EXPECT_EQ(row.dateTime.substr(0, 19), "2024-03-05T14:07:09");
    }
    const EventLogRow& liveRow = contents.rows.back();
    EXPECT_EQ(liveRow.input, "");
    EXPECT_EQ(liveRow.offset, "");
    EXPECT_EQ(liveRow.file, "/srv/@event.WAV");
    EXPECT_EQ(liveRow.stddev, "NaN");

    // A row as the running collection hands it over reads the same as from the file.
    const std::optional<EventLogRow> one = ParseEventLogRow(EventLog::FormatRow(Outcome(inputs[1], 3, "", true, 5)));
    ASSERT_TRUE(one);
    EXPECT_EQ(one->input, inputs[1]);
}

TEST(EventLogTable, OtherFilesCutRowsAndMovedColumns)
{
    EXPECT_FALSE(ParseEventLog("").isLog);
    EXPECT_FALSE(ParseEventLog("a,b,c\r\n1,2,3\r\n").isLog);
    const std::string header = EventLog::Header();
    const std::string row = EventLog::FormatRow(Outcome("a.wav", 1, "", true, 5));
    // A row cut short by a program that did not take it back, a stray line, LF line ends and a
    // byte-order mark a spreadsheet may add.
    std::string text = "\xEF\xBB\xBF" + header + row + row.substr(0, 20) + "\r\nnot,a,row\n\n" + row;
    const EventLogContents contents = ParseEventLog(text);
    ASSERT_TRUE(contents.isLog);
    EXPECT_EQ(contents.rows.size(), 2u);
    EXPECT_EQ(contents.skipped, 2u);
    // Columns found by their names: the verdict column moved to the front still reads.
    const EventLogContents moved = ParseEventLog(
        "verdict,datetime,input,offset_s,frames,peak,integration_pct,points_pct,stddev,rejected_by,file,amplified\n"
        "rejected,2024-01-01T00:00:00+00:00,b.wav,2.000,10,5,1.00,2.00,3.00,ratio,,no\n");
    ASSERT_EQ(moved.rows.size(), 1u);
    EXPECT_FALSE(moved.rows[0].accepted);
    EXPECT_EQ(moved.rows[0].input, "b.wav");
    EXPECT_EQ(moved.rows[0].offset, "2.000");
}

TEST(EventLogTable, FiltersAndSortsByValueNotByText)
{
    EventLogTable table;
    std::vector<EventLogRow> rows;
    for (const auto& [offset, accepted, peak, second] :
         std::vector<std::tuple<double, bool, int, int>>{{9.5, true, 900, 3}, {10.25, false, 10000, 1},
                                                          {100.0, true, 80, 2}, {2.0, false, 900, 4}})
        rows.push_back(*ParseEventLogRow(EventLog::FormatRow(Outcome("in.wav", offset, "", accepted, peak, second))));
    table.SetRows(rows);
    EXPECT_EQ(table.Visible(), (std::vector<std::size_t>{0, 1, 2, 3}));

    table.SortBy(EventLogTable::Column::Input, true);
    EXPECT_EQ(table.Visible(), (std::vector<std::size_t>{3, 0, 1, 2}));  // 2 < 9.5 < 10.25 < 100
    table.SortBy(EventLogTable::Column::Figures, false);
    EXPECT_EQ(table.Visible(), (std::vector<std::size_t>{1, 0, 3, 2}));  // equal peaks keep log order
    table.SortBy(EventLogTable::Column::Time, true);
    EXPECT_EQ(table.Visible(), (std::vector<std::size_t>{1, 2, 0, 3}));

    table.SetFilter(EventLogTable::Filter::Rejected);
    EXPECT_EQ(table.Visible(), (std::vector<std::size_t>{1, 3}));
    table.SetFilter(EventLogTable::Filter::Accepted);
    table.SortBy(EventLogTable::Column::Verdict, true);
    EXPECT_EQ(table.Visible(), (std::vector<std::size_t>{0, 2}));
}

TEST(EventLogTable, OfflineRowsLeadToTheirInputAndLiveRowsToTheirFile)
{
    TempDir dir;
    WriteFileBytes(dir.File("take.wav"), "x");
    EventLogRow offline;
    offline.input = "take.wav";  // as given to the command line, next to the log
    offline.offset = "12.345";
    EventJump jump = JumpFor(offline, dir.Path().string());
    EXPECT_EQ(jump.kind, EventJump::Kind::OpenAtOffset);
    EXPECT_EQ(std::filesystem::path(jump.path), dir.Path() / "take.wav");
    EXPECT_EQ(jump.offset, "12.345");
    offline.input = "/abs/take.wav";
    EXPECT_EQ(JumpFor(offline, dir.Path().string()).path, "/abs/take.wav");

    EventLogRow live;
    live.file = "/srv/20240305140709.WAV";
    EXPECT_EQ(JumpFor(live, dir.Path().string()).kind, EventJump::Kind::Open);
    EXPECT_EQ(JumpFor(live, dir.Path().string()).path, live.file);
    live.file.clear();  // rejected and deleted: nothing to open
    EXPECT_EQ(JumpFor(live, dir.Path().string()).kind, EventJump::Kind::None);
}

}  // namespace
}  // namespace tonmira::view
