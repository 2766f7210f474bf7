// The event log's rows: whole or absent when the disk fills up, one header however many runs
// create the log at once, and text fields that a spreadsheet program cannot run as formulas and
// that stay UTF-8.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TestUtil.h"
#include "collect/EventLog.h"
#include "collect/EventProcessor.h"

using namespace tonmira;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;
using tonmira::test::WriteFileBytes;

namespace {

std::string Row(const std::string& input, const std::string& file = "/srv/events/20240305140709.WAV")
{
    EventOutcome o;
    o.m_when = LocalDateTime{2024, 3, 5, 14, 7, 9};
    o.m_strInput = input;
    o.m_strFinalPath = file;
    o.m_dOffsetSeconds = 1.5;
    o.m_nFrames = 4410;
    return EventLog::FormatRow(o);
}

// Appends in a child process whose files may not grow past limit bytes, as on a disk that
// fills up: the write that crosses the limit comes back short, the next fails (SIGXFSZ ignored).
bool AppendNearlyFull(const std::string& path, const std::string& rows, rlim_t limit)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(EventLog::AppendToFile(path, rows) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size())
        ++n;
    return n;
}

}  // namespace

TEST(EventLogRows, ARowIsWholeOrAbsentWhenTheDiskFillsUp)
{
    TempDir dir;
    const std::string log = dir.File("events.csv");
    // A log that cannot be created at all does not appear without its header.
    EXPECT_FALSE(AppendNearlyFull(log, Row("/in/a.wav"), 0));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

    ASSERT_TRUE(EventLog::AppendToFile(log, Row("/in/a.wav") + Row("/in/b.wav")));
    const std::string before = ReadFileBytes(log);
    EXPECT_EQ(before, EventLog::Header() + Row("/in/a.wav") + Row("/in/b.wav"));
    EXPECT_FALSE(AppendNearlyFull(log, Row("/in/c.wav"), before.size() + 20));
    EXPECT_EQ(ReadFileBytes(log), before) << "a cut row was left in the log";

    // A fragment that some other program left: the next row still starts a line of its own.
    WriteFileBytes(log, before + "2024-03-05T14:07:09+01:00,/in/cut");
    ASSERT_TRUE(EventLog::AppendToFile(log, Row("/in/d.wav")));
    EXPECT_EQ(ReadFileBytes(log), before + "2024-03-05T14:07:09+01:00,/in/cut\r\n" + Row("/in/d.wav"));
}

TEST(EventLogRows, RunsCreatingTheLogAtOnceWriteOneHeader)
{
    constexpr int kRuns = 6;
    for (int round = 0; round < 15; ++round) {
        TempDir dir;
        const std::string log = dir.File("events.csv");
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> runs;
        for (int i = 0; i < kRuns; ++i) {
            const pid_t child = fork();
            if (child == 0) {
                close(gate[1]);
                char c;
                (void)!read(gate[0], &c, 1);  // all go when the gate closes
                _exit(EventLog::AppendToFile(log, Row("/in/" + std::to_string(i) + ".wav")) ? 0 : 1);
            }
            runs.push_back(child);
        }
        close(gate[0]);
        close(gate[1]);
        for (pid_t child : runs) {
            int status = 0;
            waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const std::string text = ReadFileBytes(log);
        ASSERT_EQ(text.compare(0, std::string(EventLog::Header()).size(), EventLog::Header()), 0) << text;
        ASSERT_EQ(Count(text, EventLog::Header()), 1) << "round " << round << ":\n" << text;
        EXPECT_EQ(Count(text, "\r\n"), kRuns + 1);
    }
}

TEST(EventLogRows, TextFieldsCannotRunAsFormulasAndStayUtf8)
{
    const std::string tail = ",4410,0,0.00,0.00,0.00,rejected,ratio+points+deviation+play level,";
    const std::string head = "2024-03-05T14:07:09";
    auto fieldsAfterTime = [&](const std::string& input, const std::string& file = "/srv/e.WAV") {
        const std::string row = Row(input, file);
        // The time's offset from UTC depends on the machine; what follows it is checked.
        EXPECT_EQ(row.compare(0, head.size(), head), 0);
        return row.substr(row.find(',') + 1);
    };
    // A name that a spreadsheet would run, and the other characters that start a formula.
    EXPECT_EQ(fieldsAfterTime("=HYPERLINK(\"http://x.example\";\"y\")"),
              "\"'=HYPERLINK(\"\"http://x.example\"\";\"\"y\"\")\",1.500" + tail + "/srv/e.WAV,no\r\n");
    for (const std::string lead : {"+", "-", "@", "\t"})
        EXPECT_EQ(fieldsAfterTime(lead + "1.wav"), "'" + lead + "1.wav,1.500" + tail + "/srv/e.WAV,no\r\n");
    EXPECT_EQ(fieldsAfterTime("\r1.wav"), "\"'\r1.wav\",1.500" + tail + "/srv/e.WAV,no\r\n");
    EXPECT_EQ(fieldsAfterTime("in.wav", "=x.WAV"), "in.wav,1.500" + tail + "'=x.WAV,no\r\n");
    // Bytes that are not UTF-8 (Latin-1, a cut sequence, an overlong slash, a surrogate) become
    // \xHH; a backslash that would read as such an escape is escaped itself; UTF-8 stays.
    EXPECT_EQ(fieldsAfterTime("/in/caf\xE9-\xE3\x81-\xC0\xAF-\xED\xA0\x80.wav"),
              "/in/caf\\xE9-\\xE3\\x81-\\xC0\\xAF-\\xED\\xA0\\x80.wav,1.500" + tail + "/srv/e.WAV,no\r\n");
    EXPECT_EQ(fieldsAfterTime("/in/\\x41 \\y \\x4 \xE9\x9F\xB3.wav"),
              "/in/\\x5Cx41 \\y \\x4 \xE9\x9F\xB3.wav,1.500" + tail + "/srv/e.WAV,no\r\n");
    // Everything else is written as it always was.
    EXPECT_EQ(fieldsAfterTime("/in/a-b=c@d.wav"), "/in/a-b=c@d.wav,1.500" + tail + "/srv/e.WAV,no\r\n");
}
