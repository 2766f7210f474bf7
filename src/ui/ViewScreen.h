#pragma once
// What the transport and the collection engine change on the screen, as the view widget
// implements it. QtHost forwards the core's host calls here; every call arrives on the UI thread.
#include <string>

#include "audio/RecordSetupValues.h"
#include "base/Types.h"

namespace tonmira::ui {

class ViewScreen {
public:
    virtual ~ViewScreen() = default;
    virtual void SetSliderRange(UINT min, UINT max) = 0;
    virtual void SetSliderPosition(UINT position) = 0;
    virtual void SetControlText(int id, const std::string& text) = 0;
    virtual void EnableControl(int id, bool enable) = 0;
    virtual void InvalidateAnalysis() = 0;
    virtual void UpdateControlsFromMembers() = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual bool RunRecordSetupDialog(RecordSetupValues& values) = 0;
    virtual bool RunBalanceDialog(int& balance) = 0;
    virtual bool RunSpeedDialog(int& speed) = 0;
    virtual void ApplyRateChange(int fftSizeIndex) = 0;
    // After any transport change: the menus and tool bar follow the document's state.
    virtual void TransportChanged() = 0;
};

}  // namespace tonmira::ui
