#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "TakeFactory.h"
#include "TestUtil.h"
#include "collect/EventFile.h"
#include "collect/LocalClock.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"

using namespace tonmira;
using tonmira::test::LoadTakeBytes;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;
using tonmira::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

const LocalDateTime kWhen{2024, 3, 5, 14, 7, 9};

std::string Le32(std::uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}
std::string Le16(std::uint16_t v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; }

}  // namespace

TEST(EventFile, NamesFromTheClockAndTheFigures)
{
    EXPECT_EQ(PlainEventFileName("/rec", 2024, 3, 5, 14, 7, 9), "/rec/20240305140709.WAV");
    EXPECT_EQ(ValuesEventFileName("/rec", 2024, 3, 5, 14, 7, 9, 4567, 0, 0), "/rec/20240305140709-4567-0000-00000000.WAV");
    EXPECT_EQ(FiguresEventFileName("/rec/20240305140709.WAV", 12345, 4567, 3210, 12345.6f),
              "/rec/20240305140709-12345-4567-3210-00012345.WAV");
    EXPECT_EQ(FiguresEventFileName("/rec/20240305140709-4567-0000-00000000.WAV", 12345, 4567, 3210, 12345.6f),
              "/rec/20240305140709-4567-0000-00000000-12345-4567-3210-00012345.WAV");
    // Widths are minimums; 100 % is five digits; a band without bins has no deviation.
    EXPECT_EQ(FiguresEventFileName("/r/x.WAV", 32768, 10000, 0, std::nanf("")), "/r/x-32768-10000-0000-NaN.WAV");
    EXPECT_EQ(FiguresEventFileName("/r/x.WAV", 128, 0, 5, 0.99f), "/r/x-00128-0000-0005-00000000.WAV");
    EXPECT_EQ(StdDevFigure(123456789.0f, 8), "123456792");
    EXPECT_EQ(StdDevFigure(7.9f, 0), "7");
}

TEST(EventFile, WritesHeaderAndSamplesWithoutPadByte)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    // Three 8-bit mono frames: an odd data size gets no pad byte.
    LoadTakeBytes(doc, std::string("\x80\x01\xff"), 1, 8, 11025);
    EventFile file;
    FixedLocalClock clock(kWhen);
    ASSERT_EQ(file.WriteEventFile(doc, dir.Path().string(), clock, sink, 0, 0, 7), 1);  // value3 alone: plain name
    EXPECT_EQ(file.m_strEventFile, dir.File("20240305140709.WAV"));
    std::string expected = "RIFF" + Le32(39) + "WAVE" + "fmt " + Le32(16) + Le16(1) + Le16(1) + Le32(11025) +
                           Le32(11025) + Le16(1) + Le16(8) + "data" + Le32(3) + "\x80\x01\xff";
    EXPECT_EQ(ReadFileBytes(file.m_strEventFile), expected);
    EXPECT_TRUE(sink.m_messages.empty());

    // After a format change the derived header fields follow it.
    LoadTakeBytes(doc, std::string(8, '\x11'), 2, 16, 48000);
    ASSERT_EQ(file.WriteEventFile(doc, dir.Path().string() + "/", clock, sink, 4567, 0, 0), 1);
    EXPECT_EQ(file.m_strEventFile, dir.Path().string() + "//20240305140709-4567-0000-00000000.WAV");
    std::string bytes = ReadFileBytes(file.m_strEventFile);
    ASSERT_EQ(bytes.size(), 44u + 8u);
    EXPECT_EQ(bytes.substr(28, 6), Le32(192000) + Le16(4));
    EXPECT_EQ(doc.m_header.nBlockAlign, 4);
    EXPECT_EQ(doc.m_header.dataSize, 8u);
}

TEST(EventFile, RenameMarkAndDelete)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTakeBytes(doc, std::string(4, '\0'), 1, 16, 8000);
    FixedLocalClock clock(kWhen);
    EventFile file;
    ASSERT_EQ(file.WriteEventFile(doc, dir.Path().string(), clock, sink, 0, 0, 0), 1);
    std::string content = ReadFileBytes(file.m_strEventFile);

    file.RenameWithFigures(300, 1299, 5000, 42.0f);
    EXPECT_EQ(file.m_strEventFile, dir.File("20240305140709-00300-1299-5000-00000042.WAV"));
    EXPECT_EQ(ReadFileBytes(file.m_strEventFile), content);
    EXPECT_FALSE(fs::exists(dir.File("20240305140709.WAV")));

    // The mark renames the file but not the remembered path.
    EXPECT_TRUE(file.MarkRejected());
    EXPECT_EQ(file.m_strMarkedFile, file.m_strEventFile + "A");
    EXPECT_TRUE(fs::exists(file.m_strEventFile + "A"));
    EXPECT_FALSE(fs::exists(file.m_strEventFile));
    EXPECT_EQ(file.m_strEventFile, dir.File("20240305140709-00300-1299-5000-00000042.WAV"));
}

TEST(EventFile, TakenNamesAreNumberedAndNothingIsReplaced)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTakeBytes(doc, std::string("\x01\x02\x03\x04", 4), 1, 16, 8000);
    FixedLocalClock clock(kWhen);
    const std::string plain = dir.File("20240305140709.WAV");
    const std::string figures = dir.File("20240305140709-00300-1299-5000-00000042.WAV");
    // Files of an earlier run under every name this event will want.
    for (const auto& taken : {plain, figures, figures + "A"})
        WriteFileBytes(taken, "earlier event");

    EventFile file;
    ASSERT_EQ(file.WriteEventFile(doc, dir.Path().string(), clock, sink, 0, 0, 0), 1);
    EXPECT_EQ(file.m_strEventFile, dir.File("20240305140709-2.WAV"));
    const std::string content = ReadFileBytes(file.m_strEventFile);
    EXPECT_EQ(content.size(), 48u);
    // The figures follow the name asked for, the number goes last.
    file.RenameWithFigures(300, 1299, 5000, 42.0f);
    EXPECT_EQ(file.m_strEventFile, dir.File("20240305140709-00300-1299-5000-00000042-2.WAV"));
    EXPECT_EQ(ReadFileBytes(file.m_strEventFile), content);
    EXPECT_TRUE(file.MarkRejected());
    EXPECT_EQ(file.m_strMarkedFile, dir.File("20240305140709-00300-1299-5000-00000042-2.WAVA"));

    // A second event of that second: its own numbers; deleting it touches no other file.
    EventFile second;
    ASSERT_EQ(second.WriteEventFile(doc, dir.Path().string(), clock, sink, 0, 0, 0), 1);
    EXPECT_EQ(second.m_strEventFile, dir.File("20240305140709-2.WAV"));  // free again since the rename
    second.RenameWithFigures(300, 1299, 5000, 42.0f);
    // "-2.WAV" is free again: the first event's file carries the mark now.
    EXPECT_EQ(second.m_strEventFile, dir.File("20240305140709-00300-1299-5000-00000042-2.WAV"));
    EXPECT_TRUE(second.Delete());
    for (const auto& taken : {plain, figures, figures + "A"})
        EXPECT_EQ(ReadFileBytes(taken), "earlier event") << taken;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 4);
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST(EventFile, NoFolderAndUnwritableFolder)
{
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    LoadTakeBytes(doc, std::string(4, '\0'), 1, 16, 8000);
    FixedLocalClock clock(kWhen);
    EventFile file;
    file.m_strEventFile = "/stale/path.WAV";
    EXPECT_EQ(file.WriteEventFile(doc, "", clock, sink, 0, 0, 0), 1);
    EXPECT_EQ(file.m_strEventFile, "");
    file.RenameWithFigures(1, 2, 3, 4.0f);
    EXPECT_EQ(file.m_strEventFile, "");
    EXPECT_FALSE(file.MarkRejected());
    EXPECT_TRUE(sink.m_messages.empty());

    TempDir dir;
    std::string missing = dir.File("not-there");
    EXPECT_EQ(file.WriteEventFile(doc, missing, clock, sink, 0, 0, 0), 0);
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"Wavファイルの保存に失敗しました。"});
    EXPECT_EQ(file.m_strEventFile, missing + "/20240305140709.WAV");  // the attempted path
    file.RenameWithFigures(1, 2, 3, 4.0f);  // fails quietly, moves on
    EXPECT_EQ(file.m_strEventFile, missing + "/20240305140709-00001-0002-0003-00000004.WAV");
    EXPECT_FALSE(file.Delete());
    EXPECT_EQ(sink.m_messages.size(), 1u);

    // A write that fails leaves the path on a name another event's file may hold: the later
    // steps must not act on that file.
    const std::string other = dir.File("20240305140709.WAV");
    WriteFileBytes(other, "other event");
    BYTE* const samples = doc.m_pData;
    doc.m_pData = nullptr;  // planted: frames without their samples, not written
    EXPECT_EQ(file.WriteEventFile(doc, dir.Path().string(), clock, sink, 0, 0, 0), 0);
    doc.m_pData = samples;
    EXPECT_EQ(file.m_strEventFile, other);
    EXPECT_FALSE(file.Delete());
    EXPECT_FALSE(file.MarkRejected());
    EXPECT_EQ(ReadFileBytes(other), "other event");
    file.RenameWithFigures(1, 2, 3, 4.0f);
    EXPECT_EQ(ReadFileBytes(other), "other event");
    EXPECT_FALSE(fs::exists(dir.File("20240305140709-00001-0002-0003-00000004.WAV")));
}

TEST(LocalClock, ParsesTheClockOption)
{
    LocalDateTime t;
    ASSERT_TRUE(ParseLocalDateTime("2024-02-29 23:59:59", t));
    EXPECT_EQ(t, (LocalDateTime{2024, 2, 29, 23, 59, 59}));
    for (const char* bad : {"2023-02-29 00:00:00", "2024-13-01 00:00:00", "2024-01-01 24:00:00",
                            "2024-01-01T00:00:00", "2024-1-01 00:00:00", "", "0000-01-01 00:00:00"})
        EXPECT_FALSE(ParseLocalDateTime(bad, t)) << bad;
    EXPECT_EQ(t, (LocalDateTime{2024, 2, 29, 23, 59, 59}));
}
