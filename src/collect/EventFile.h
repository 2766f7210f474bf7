#pragma once
// The WAV file of one collected event: written under a name made of the local date and time,
// renamed to carry the event's figures, then kept, marked as rejected or deleted.
// No step ever replaces or cuts a file: the file appears under its name only once it is complete
// (written through a temporary file), and when a name is taken the event's file takes the first
// free one of "name-2.WAV", "name-3.WAV", ... so that both are kept.
// One object per event; objects share nothing, so two events may be handled on two threads.
#include <string>

#include "base/Messages.h"

namespace tonmira {

class CTonmiraDoc;
class LocalClock;
class MessageSink;

inline const char* const kMsgEventFileFailed = msg::kWavSaveFailed;
// The last figure of a name when the standard deviation is not a number (an empty detection
// band, or one whose magnitudes are all zero). Letters, so it can never pass for a measurement.
inline const char* const kStdDevNotANumber = "NaN";

class EventFile {
public:
    // Writes the document's take (header of its current format, then the samples, nothing after)
    // into the folder. value1 and value2 both 0 give the plain name "YYYYMMDDhhmmss.WAV",
    // otherwise "YYYYMMDDhhmmss-v1-v2-v3.WAV" (numbered when taken). m_strEventFile receives the
    // name the file got or, when the write fails, the name it was meant to get, so later steps
    // move the path on as usual but touch no file. An empty folder writes nothing, empties
    // m_strEventFile and returns 1. A file error shows its message, leaves nothing behind and
    // returns 0.
    // Also fills every field of the document's m_header from its format.
    int WriteEventFile(CTonmiraDoc& doc, const std::string& folder, const LocalClock& clock, MessageSink& sink,
                       int value1, int value2, int value3);

    // Renames the file to "<name written without .WAV>-PPPPP-IIII-QQQQ-SSSSSSSS.WAV" (numbered when
    // taken; the name written is the one before any number) and keeps the new path, also when
    // the file was missing or not written. Nothing happens while m_strEventFile is empty.
    void RenameWithFigures(int peak, int integration100, int points100, float stdDev);
    // Renames the file to its path followed by "A" (numbered before the "A" when taken) and puts
    // that path into m_strMarkedFile; m_strEventFile keeps the unmarked path. Returns whether
    // the rename worked.
    bool MarkRejected();
    // Removes the event's own file; returns whether it did.
    bool Delete() const;

    std::string m_strEventFile;   // path of the event's file, "" when there is none
    std::string m_strMarkedFile;  // path after MarkRejected, "" before

private:
    std::string m_strWrittenName;  // the name asked for by the write, before any number
    bool m_bWritten = false;       // m_strEventFile is this event's own file
};

// Name parts, for callers that print or predict names.
std::string PlainEventFileName(const std::string& folder, int year, int month, int day, int hour, int minute,
                               int second);
std::string ValuesEventFileName(const std::string& folder, int year, int month, int day, int hour, int minute,
                                int second, int value1, int value2, int value3);
std::string FiguresEventFileName(const std::string& path, int peak, int integration100, int points100, float stdDev);
// The standard deviation as a name and the event line carry it: truncated toward zero,
// zero-padded to width (0 = no padding), or kStdDevNotANumber.
std::string StdDevFigure(float stdDev, int width);

}  // namespace tonmira
