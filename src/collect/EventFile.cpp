#include "collect/EventFile.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "collect/LocalClock.h"
#include "base/MessageSink.h"
#include "doc/SafeFileWriter.h"
#include "doc/TonmiraDoc.h"
#include "doc/WavFile.h"

namespace tonmira {

namespace {

std::string Format(const char* pattern, auto... args)
{
    // Every name fits the buffer; a second pass only serves a text that does not.
    char buffer[128];
    int n = std::snprintf(buffer, sizeof buffer, pattern, args...);
    if (n < 0)
        return {};
    if (static_cast<std::size_t>(n) < sizeof buffer)
        return std::string(buffer, static_cast<std::size_t>(n));
    std::vector<char> longer(static_cast<std::size_t>(n) + 1);
    std::snprintf(longer.data(), longer.size(), pattern, args...);
    return std::string(longer.data(), static_cast<std::size_t>(n));
}

}  // namespace

std::string PlainEventFileName(const std::string& folder, int year, int month, int day, int hour, int minute,
                               int second)
{
    // Always one separator after the folder, even when it already ends in one.
    return folder + "/" + Format("%04d%02d%02d%02d%02d%02d.WAV", year, month, day, hour, minute, second);
}

std::string ValuesEventFileName(const std::string& folder, int year, int month, int day, int hour, int minute,
                                int second, int value1, int value2, int value3)
{
    return folder + "/" +
           Format("%04d%02d%02d%02d%02d%02d-%04d-%04d-%08d.WAV", year, month, day, hour, minute, second, value1,
                  value2, value3);
}

std::string StdDevFigure(float stdDev, int width)
{
    if (std::isnan(stdDev))
        return kStdDevNotANumber;
    // Converting an out-of-range float to int is undefined; the figure cannot get that large
    // from a spectrum normalised to 100000, but the bound keeps the name well-formed regardless.
    double clamped = std::trunc(static_cast<double>(stdDev));
    if (clamped > std::numeric_limits<int>::max())
        clamped = std::numeric_limits<int>::max();
    if (clamped < std::numeric_limits<int>::min())
        clamped = std::numeric_limits<int>::min();
    return Format("%0*d", width, static_cast<int>(clamped));
}

std::string FiguresEventFileName(const std::string& path, int peak, int integration100, int points100, float stdDev)
{
    std::string stem = path.size() >= 4 ? path.substr(0, path.size() - 4) : std::string();
    return stem + Format("-%05d-%04d-%04d-", peak, integration100, points100) + StdDevFigure(stdDev, 8) + ".WAV";
}

int EventFile::WriteEventFile(CTonmiraDoc& doc, const std::string& folder, const LocalClock& clock,
                              MessageSink& sink, int value1, int value2, int value3)
{
    if (folder.empty()) {
        m_strEventFile.clear();
        return 1;
    }
    LocalDateTime t = clock.Now();
    if (value1 == 0 && value2 == 0)
        m_strEventFile = PlainEventFileName(folder, t.m_nYear, t.m_nMonth, t.m_nDay, t.m_nHour, t.m_nMinute,
                                            t.m_nSecond);
    else
        m_strEventFile = ValuesEventFileName(folder, t.m_nYear, t.m_nMonth, t.m_nDay, t.m_nHour, t.m_nMinute,
                                             t.m_nSecond, value1, value2, value3);

    WavHeader& h = doc.m_header;
    FillWavHeader(h, h.nChannels, h.nSamplesPerSec, h.wBitsPerSample, doc.m_nSamples);
    m_strWrittenName = m_strEventFile;
    m_bWritten = false;
    if (doc.m_nSamples > 0 && !doc.m_pData) {
        sink.Message(kMsgEventFileFailed);
        return 0;
    }

    std::string placed;
    auto write = [&](CArchive& ar) { return WriteWavData(ar, h, doc.m_pData, doc.m_nSamples); };
    if (!WriteNewFileSafely(m_strEventFile, write, placed)) {
        sink.Message(kMsgEventFileFailed);
        return 0;
    }
    m_strEventFile = placed;
    m_bWritten = true;
    return 1;
}

namespace {

// Renames from to the first free one of to, to-2, to-3, ... (numbered before the extension,
// or before a trailing mark when one is given). Returns the name taken, "" on failure.
std::string RenameToFreeName(const std::string& from, const std::string& to, const std::string& mark = "")
{
    for (int n = 1; n < 10000; ++n) {
        std::string name = (n == 1 ? to : NumberedName(to, n)) + mark;
        if (RenameNoReplace(from, name))
            return name;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

}  // namespace

void EventFile::RenameWithFigures(int peak, int integration100, int points100, float stdDev)
{
    if (m_strEventFile.empty())
        return;
    const std::string& written = m_strWrittenName.empty() ? m_strEventFile : m_strWrittenName;
    std::string renamed = FiguresEventFileName(written, peak, integration100, points100, stdDev);
    // A failure is not reported; the path moves on to the new name even then. A file that was
    // not written is not looked for: the name may belong to another event's file.
    if (m_bWritten) {
        std::string placed = RenameToFreeName(m_strEventFile, renamed);
        if (placed.empty() && access(m_strEventFile.c_str(), F_OK) == 0)
            return;  // still there under its name, which stays the event's path
        if (!placed.empty()) {
            renamed = placed;
            SyncFolderOf(placed);  // the figures name survives a power loss, as the log's row does
        } else {
            m_bWritten = false;
        }
    }
    m_strEventFile = renamed;
    m_strWrittenName.clear();
}

bool EventFile::MarkRejected()
{
    if (m_strEventFile.empty() || !m_bWritten)
        return false;
    m_strMarkedFile = RenameToFreeName(m_strEventFile, m_strEventFile, "A");
    if (m_strMarkedFile.empty())
        return false;
    SyncFolderOf(m_strMarkedFile);
    return true;
}

bool EventFile::Delete() const
{
    if (m_strEventFile.empty() || !m_bWritten)
        return false;
    if (unlink(m_strEventFile.c_str()) != 0)
        return false;
    SyncFolderOf(m_strEventFile);
    return true;
}

}  // namespace tonmira
