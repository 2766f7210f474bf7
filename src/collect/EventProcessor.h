#pragma once
// The steps of one event after its capture has stopped and the take is in the document:
// write the event file, analyse (amplifying the take), write the amplified take instead when so
// configured, give the file its figures name, then replay an accepted event or delete or mark
// the file of a rejected one. Used by the collection worker and by the event command.
// Keeps no state between calls and shares none between objects: one processor per event, on
// whichever thread processes it, with the document, engine and spectrum reserved for it.
#include <string>

#include "collect/EventAnalysis.h"
#include "collect/LocalClock.h"

namespace tonmira {

class CFftEngine;
class CTonmiraDoc;
class EventHost;
class LocalClock;
class MessageSink;
struct CollectSettings;

struct EventOutcome {
    EventFigures m_figures;
    // The event file path as the later steps know it (the figures name, without a mark);
    // "" when no folder is set.
    std::string m_strEventFile;
    // Where the event's file is at the end ("" when there is none: no folder, a failed write,
    // or deleted as rejected).
    std::string m_strFinalPath;
    bool m_bWriteFailed = false;  // a write failed and its message was shown

    // For the event log.
    LocalDateTime m_when;            // the local time the event file is named by
    UINT m_nFrames = 0;              // frames of the event (the take when it was analysed)
    bool m_bPlayLevelMet = false;    // P reached the play level
    bool m_bAmplified = false;       // the file holds the amplified take
    // Set by a collection from a file: the input and the event's start in it, in seconds
    // (negative: live, no input).
    std::string m_strInput;
    double m_dOffsetSeconds = -1.0;
};

class EventProcessor {
public:
    // The settings are read, never changed; spectrum holds fft.m_nSize / 2 ints.
    EventProcessor(CTonmiraDoc& doc, const CollectSettings& settings, CFftEngine& fft, int* spectrum,
                   const LocalClock& clock, MessageSink& sink, EventHost& host);

    // detectLevel: the detection level L (0..50) that picks the band peak test.
    EventOutcome Process(int detectLevel);

    // False when nothing plays or keeps the take after the event (only an amplified event file
    // needs the whole take amplified then).
    bool m_bAmplifyTake = true;

private:
    CTonmiraDoc& m_doc;
    const CollectSettings& m_settings;
    CFftEngine& m_fft;
    int* m_pSpectrum;
    const LocalClock& m_clock;
    MessageSink& m_sink;
    EventHost& m_host;
};

// The line printed for a processed event: final path (or "-"), P, integration x100,
// points x100, truncated standard deviation (or "NaN"), "accepted" or "rejected".
std::string FormatEventLine(const EventOutcome& outcome);

}  // namespace tonmira
