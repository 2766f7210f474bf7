#pragma once
// The state of the collection settings dialog's controls, without Qt: edit texts,
// check states, enabled flags, spin ranges and positions, and the control that takes the focus
// after a failed exchange. The Qt dialog copies its widgets into this and back.
#include <map>
#include <string>
#include <utility>

namespace tonmira {

// Control ids of the collection settings dialog.
enum AutoRecordControlId {
    kIdcCollectLevel = 1007,
    kIdcCollectLevelSpin = 1025,
    kIdcContinuousMs = 1008,
    kIdcBandLow = 1014,
    kIdcBandHigh = 1015,
    kIdcExclude = 1024,
    kIdcIntegLow = 1020,
    kIdcIntegHigh = 1021,
    kIdcStdDevLow = 1027,
    kIdcStdDevHigh = 1028,
    kIdcPointsLow = 1022,
    kIdcPointsHigh = 1026,
    kIdcOutputFolder = 1009,
    kIdcBrowseFolder = 1001,
    kIdcSaveAmplified = 1013,
    kIdcSaveRejected = 1023,
    kIdcPlayCount = 1010,
    kIdcPlayCountSpin = 1003,
    kIdcPlayLevel = 1016,
    kIdcPlayLevelSpin = 1031,
    kIdcAlwaysMax = 1005,
    kIdcByFactor = 1006,
    kIdcAmpFactor = 1011,
    kIdcAmpFactorLabel = 1012,
    kIdcLoadSettings = 1029,
    kIdcSaveSettings = 1030,
    // Our addition beside the record's settings: the pre-trigger time, kept outside the .ars file.
    kIdcPreTriggerMs = 1032,
};

struct AutoRecordControls {
    std::map<int, std::string> m_texts;               // edits, UTF-8
    std::map<int, int> m_checks;                      // check boxes and radios, 0 or 1
    std::map<int, bool> m_enabled;                    // a control not listed is enabled
    std::map<int, std::pair<int, int>> m_spinRanges;  // spin id -> (lower, upper)
    std::map<int, int> m_spinPositions;
    int m_nFocusId = 0;  // edit to focus with its text selected after a failed exchange, 0 = none

    std::string Text(int id) const
    {
        auto it = m_texts.find(id);
        return it == m_texts.end() ? std::string() : it->second;
    }
    int Check(int id) const
    {
        auto it = m_checks.find(id);
        return it == m_checks.end() ? 0 : it->second;
    }
    bool IsEnabled(int id) const
    {
        auto it = m_enabled.find(id);
        return it == m_enabled.end() || it->second;
    }
};

}  // namespace tonmira
