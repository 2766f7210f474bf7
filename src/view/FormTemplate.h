#pragma once
// The controls of the main view's form (template 101) in dialog units, in template order.
#include <span>

namespace tonmira::view {

enum class ControlKind { Frame, Slider, ReadOnlyEdit, Label, DropList, NumberEdit, Spin, ListBox };

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // caption of a label, UTF-8; empty for other controls
    int x, y, w, h;    // dialog units; a drop-down list's h includes its open list
};

// Control ids of the form.
inline constexpr int kIdcWaveFrame = 1009;
inline constexpr int kIdcSpectrumFrame = 1010;
inline constexpr int kIdcSlider = 1000;
inline constexpr int kIdcPositionEdit = 1018;
inline constexpr int kIdcFftCombo = 1001;
inline constexpr int kIdcMinFreqEdit = 1003;
inline constexpr int kIdcMaxFreqEdit = 1002;
inline constexpr int kIdcMinFreqSpin = 1059;
inline constexpr int kIdcMaxFreqSpin = 1060;
inline constexpr int kIdcFundamentalList[5] = {1042, 1043, 1044, 1045, 1046};
inline constexpr int kIdcCounterEdits[4] = {1019, 1020, 1021, 1022};
inline constexpr int kIdcCounterLabels[4] = {1023, 1024, 1025, 1026};

std::span<const ControlTemplate> FormTemplate101();
const ControlTemplate* FindControlTemplate(int id);

// The form's own size in dialog units: the controls' extent plus the margin they keep on the
// left and top.
inline constexpr int kFormWidthDlu = 320;
inline constexpr int kFormHeightDlu = 282;

// Height of a closed drop-down list, in dialog units.
inline constexpr int kDropListClosedHeightDlu = 12;

}  // namespace tonmira::view
