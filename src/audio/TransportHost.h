#pragma once
// What the transport needs from the screen it runs under (the main view in the GUI, a timer loop
// in the CLI, a recorder in tests). Every call comes from the thread that runs the transport's
// commands and timer. Controls a host does not have are ignored by the default bodies.
#include <string>

#include "audio/RecordSetupValues.h"
#include "base/MessageSink.h"
#include "base/Types.h"

namespace tonmira {

// Control ids the transport addresses.
constexpr int kIdcFftSize = 1001;        // FFT-size combo box
constexpr int kIdcPosition = 1018;       // position edit
constexpr int kIdcWriteCount = 1019;     // "Write"
constexpr int kIdcReadCount = 1020;      // "Read"
constexpr int kIdcDoneCount = 1021;      // "Done"
constexpr int kIdcLastSize = 1022;       // "LastSize"

class TransportHost : public MessageSink {
public:
    // Timer 1 drives the transport: after `ms` milliseconds the host calls CTransport::OnTimer(id)
    // once; arming again replaces the pending time.
    virtual void SetTimer(int id, UINT ms) = 0;
    virtual void KillTimer(int id) = 0;

    // The position slider (control 1000).
    virtual void SetSliderRange(UINT /*min*/, UINT /*max*/) {}
    virtual void SetSliderPosition(UINT /*position*/) {}
    // The text of an edit (the position edit, the stream counters).
    virtual void SetControlText(int /*id*/, const std::string& /*text*/) {}
    virtual void EnableControl(int /*id*/, bool /*enable*/) {}
    // Recompute the analysis at the position and redraw the waveform and spectrum areas.
    virtual void InvalidateAnalysis() {}
    // Show every control's value from the members (the view's data exchange towards the screen).
    virtual void UpdateControlsFromMembers() {}
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}

    // The recording settings dialog, filled from `values`; true = OK (values hold the choice).
    virtual bool RunRecordSetupDialog(RecordSetupValues& /*values*/) { return false; }
    // The balance (0..100) and speed (-12..12) dialogs; true = OK.
    virtual bool RunBalanceDialog(int& /*balance*/) { return false; }
    virtual bool RunSpeedDialog(int& /*speed*/) { return false; }
    // The rate changed: the analysis already holds the new N (engine, spectrum and
    // detection-level window set up) and the range 0 .. rate / 2. Select entry `fftSizeIndex`
    // of the FFT-size combo and set the frequency spins to the range. The transport then
    // updates the controls from the members and invalidates the analysis.
    virtual void ApplyRateChange(int /*fftSizeIndex*/) {}
};

}  // namespace tonmira
