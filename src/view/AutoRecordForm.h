#pragma once
// The collection settings dialog without its widgets: its copy of the settings, the copy in from and
// out to the view, the data exchange with its validation, and the handlers' rules for enabling
// controls and loading/saving .ars files. The Qt dialog owns the widgets and calls these.
// UI thread only.
#include <optional>
#include <string>

#include "view/AutoRecordControls.h"
#include "collect/CollectSettings.h"
#include "base/Types.h"

namespace tonmira {

class MessageSink;

// Texts of the dialog's file and folder choosers.
inline const char* const kArsFileFilter = "Auto Record Setup Files(*.ars)|*.ars|All Files(*.*)|*.*||";
inline const char* const kArsDefaultExtension = "ars";
inline const char* const kArsSaveTitle = "自動集音設定の保存";
inline const char* const kArsLoadTitle = "自動集音設定の読込み";
inline const char* const kBrowseFolderTitle = "Waveファイルを作成するフォルダの選択";
inline const char* const kAutoRecordCaption = "自動集音設定";

// Every setting under its own name, plus the dialog's own members.
class AutoRecordForm : public CollectSettings {
public:
    struct ExchangeFailure {
        int m_nControlId;       // the first control whose text did not pass
        std::string m_strMessage;
    };

    int m_nBits = 16;        // quantisation bits of the document when the dialog opened; chooses spin ranges
    BOOL m_bInitialized = 0; // the play-count handler does nothing until the dialog is initialised

    // Opening the dialog: bits from the document (sign-extended 16-bit field), every view
    // setting copied; a view band upper edge of 0 is shown as rate / 2.
    void CopyFromView(const CollectSettings& view, WORD wBitsPerSample, DWORD nSamplesPerSec);
    // OK: the values go back to the view in the dialog's order. A non-zero collection level
    // switches the automatic start level off. The band upper edge is stored only when it differs
    // from rate / 2, so a view value of 0 ("half the rate, whatever it is") survives.
    void CopyToView(CollectSettings& view, int& nAutoStartLevel, DWORD nSamplesPerSec) const;

    // Members -> controls (texts and check boxes).
    void DataToControls(AutoRecordControls& controls) const;
    // Controls -> members in the exchange order; stops at the first control that fails. Members
    // exchanged before it keep their new values; a control that fails only its range check has
    // already stored the out-of-range value, one whose text does not parse has not.
    std::optional<ExchangeFailure> ControlsToData(const AutoRecordControls& controls);
    // The framework's validated exchange: on failure shows the message, puts the focus on the
    // offending control and returns false.
    bool UpdateData(AutoRecordControls& controls, MessageSink& sink);

    // The checks OK would make on these settings, for settings that reach the engine without
    // the dialog (a settings file given to the command line): a continuous time outside
    // 0..10000, a play count outside 0..1000, a pre-trigger time outside 0..5000 or a bound that
    // is not a finite number fail with the dialog's message. Other values are taken as they are, as the dialog takes them.
    static std::optional<ExchangeFailure> Validate(const CollectSettings& settings);
    // What the dialog does to the levels when it opens for a take of `bits` bits: an 8-bit
    // sample never exceeds 128 in magnitude, so both levels are lowered to 127.
    static void LimitLevelsToBits(CollectSettings& settings, int bits);

    // Dialog initialisation: fill controls, amplification group from the play count, spin ranges;
    // for 8-bit the two levels are lowered to 127.
    void OnInitDialog(AutoRecordControls& controls);
    // Every text change of the play count (only once initialised): enables the amplification
    // group for a positive count and checks the radio matching m_bAlwaysMax.
    void OnChangePlayCount(AutoRecordControls& controls);
    void OnAlwaysMax(AutoRecordControls& controls);
    void OnByFactor(AutoRecordControls& controls);

    // "設定読込": path empty = the file dialog was cancelled. After a successful read, and after a
    // cancel, the controls are refreshed from the members (discarding unsaved edits). A file error
    // shows its message and leaves members and controls alone. Returns false only on that error.
    bool OnLoadSettings(const std::string& path, AutoRecordControls& controls, MessageSink& sink);
    // "設定保存": path empty = cancelled. Exchanges the controls first (a validation message may
    // appear, the file is written anyway), then writes the 332-byte record.
    bool OnSaveSettings(const std::string& path, AutoRecordControls& controls, MessageSink& sink);

private:
    void SetAmplificationGroup(AutoRecordControls& controls, bool enabled) const;
    void SetRadios(AutoRecordControls& controls) const;
};

}  // namespace tonmira
