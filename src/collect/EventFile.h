#pragma once
// The WAV file of one collected event: written under a name made of the local date and time,
// renamed to carry the event's figures, then kept, marked as rejected or deleted.
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
    // otherwise "YYYYMMDDhhmmss-v1-v2-v3.WAV". The path is stored in m_strEventFile before
    // writing, so later steps act on it even if the write fails. An empty folder writes nothing,
    // empties m_strEventFile and returns 1. A file error shows its message, removes what was
    // written and returns 0.
    // Also fills every field of the document's m_header from its format.
    int WriteEventFile(CTonmiraDoc& doc, const std::string& folder, const LocalClock& clock, MessageSink& sink,
                       int value1, int value2, int value3);

    // Renames the file to "<path without .WAV>-PPPPP-IIII-QQQQ-SSSSSSSS.WAV" and keeps the new path,
    // also when the file was missing. When the new name is taken the file and the path stay as
    // they were, so nothing done later to this event touches the other file. Nothing happens
    // while m_strEventFile is empty.
    void RenameWithFigures(int peak, int integration100, int points100, float stdDev);
    // Renames the file to its path followed by "A"; m_strEventFile keeps the unmarked path.
    // Returns whether the rename worked.
    bool MarkRejected() const;
    // Removes the file; returns whether it did.
    bool Delete() const;

    std::string m_strEventFile;  // path of the event's file, "" when there is none
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
