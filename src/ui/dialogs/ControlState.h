#pragma once
// Copies the controls of a dialog to and from the core's picture of them (edit texts, check
// states, enabled flags, spin ranges and positions, the control to focus), by control id.
// UI thread only.
#include "view/AutoRecordControls.h"

class QWidget;

namespace tonmira::ui {

// Every edit's text and every check box's and radio's state.
void ReadControlState(const QWidget* dialog, AutoRecordControls& state);

enum ControlStateParts {
    kStateTexts = 1,
    kStateChecks = 2,
    kStateEnabled = 4,
    kStateSpins = 8,
    kStateAll = 15,
};
// Writes the listed parts back; texts are written only where they differ, so no change
// notification fires for an unchanged edit. A set focus id gets the focus with its text selected.
void ApplyControlState(QWidget* dialog, const AutoRecordControls& state, int parts = kStateAll);

}  // namespace tonmira::ui
