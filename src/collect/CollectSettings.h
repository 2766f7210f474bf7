#pragma once
// The settings of automatic sound collection, as the view holds them for the run.
// Every program start begins with these defaults; they persist only through .ars files, except
// the pre-trigger time below.
#include <string>

#include "base/Types.h"

namespace tonmira {

struct CollectSettings {
    // Level that starts and sustains an event, in sample units of the take
    // (|s| for 16-bit, |u - 128| for 8-bit); 0 = collection off.
    int m_nCollectLevel = 0;
    // An event is accepted (and replayed) only if its peak before amplification reaches this.
    int m_nPlayLevel = 0;
    // An event ends once no sample reached the level for longer than this, milliseconds.
    int m_nContinuousMs = 0;
    // Folder for event WAV files, UTF-8; empty = no files are written.
    std::string m_strOutputFolder;
    BOOL m_bSaveAmplified = 0;  // the event file holds the amplified take
    BOOL m_bSaveRejected = 0;   // keep (and mark) files of events that fail a condition
    int m_nPlayCount = 0;       // replays of an accepted event
    BOOL m_bAlwaysMax = 1;      // 1: scale the peak to full scale; 0: multiply by m_nAmpFactor
    int m_nAmpFactor = 1;
    int m_nBandLowHz = 0;       // detection band, Hz, both edges inclusive
    int m_nBandHighHz = 0;      // 0 = half the sampling rate of the take
    int m_nExcludeHz = 0;       // bins centred at or below this are left out of the integration total
    float m_fIntegLow = 0.0f;   // integration ratio bounds, whole percent
    float m_fIntegHigh = 100.0f;
    float m_fPointsLow = 0.0f;  // share of in-band points at or above the mean, whole percent
    float m_fPointsHigh = 100.0f;
    float m_fStdDevLow = 0.0f;  // standard deviation bounds; both <= 0 switches the test off
    float m_fStdDevHigh = 0.0f;
    // Not part of the .ars record (the window keeps it in its settings file): how much input
    // before the level was reached an event keeps, 0..5000 ms (0 = the event starts at the
    // buffer that reached it).
    int m_nPreTriggerMs = 0;

    bool operator==(const CollectSettings&) const = default;
};

}  // namespace tonmira
