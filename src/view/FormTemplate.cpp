#include "view/FormTemplate.h"

#include <array>

#include "view/PixelRect.h"

namespace tonmira::view {

namespace {

using K = ControlKind;

// The device-counter fields (1019..1026) are only seen until the first relayout hides them; the
// template gives their rows, and they are spread over the width in four label + edit pairs.
constexpr std::array kControls = {
    ControlTemplate{1009, K::Frame, "", 3, 4, 313, 104},
    ControlTemplate{1000, K::Slider, "", 3, 111, 263, 15},
    ControlTemplate{1018, K::ReadOnlyEdit, "", 276, 114, 40, 12},
    ControlTemplate{1011, K::Label, "ｻﾝﾌﾟﾙﾃﾞｰﾀ数", 7, 131, 40, 8},
    ControlTemplate{1001, K::DropList, "", 50, 127, 40, 61},
    ControlTemplate{1013, K::Label, "最小周波数", 12, 146, 35, 8},
    ControlTemplate{1003, K::NumberEdit, "", 50, 142, 30, 12},
    ControlTemplate{1059, K::Spin, "", 80, 142, 10, 14},
    ControlTemplate{1012, K::Label, "最大周波数", 12, 160, 35, 8},
    ControlTemplate{1002, K::NumberEdit, "", 50, 156, 30, 12},
    ControlTemplate{1060, K::Spin, "", 80, 156, 10, 14},
    ControlTemplate{1014, K::Label, "基音周波数1", 105, 131, 39, 8},
    ControlTemplate{1042, K::ListBox, "", 105, 140, 39, 27},
    ControlTemplate{1015, K::Label, "基音周波数2", 148, 131, 39, 8},
    ControlTemplate{1043, K::ListBox, "", 148, 140, 39, 27},
    ControlTemplate{1016, K::Label, "基音周波数3", 191, 131, 39, 8},
    ControlTemplate{1044, K::ListBox, "", 191, 140, 39, 27},
    ControlTemplate{1017, K::Label, "基音周波数4", 234, 131, 39, 8},
    ControlTemplate{1045, K::ListBox, "", 234, 140, 39, 27},
    ControlTemplate{1027, K::Label, "基音周波数5", 277, 131, 39, 8},
    ControlTemplate{1046, K::ListBox, "", 277, 140, 39, 27},
    ControlTemplate{1023, K::Label, "Write", 7, 181, 22, 8},
    ControlTemplate{1019, K::ReadOnlyEdit, "", 30, 179, 40, 12},
    ControlTemplate{1024, K::Label, "Read", 85, 181, 22, 8},
    ControlTemplate{1020, K::ReadOnlyEdit, "", 108, 179, 40, 12},
    ControlTemplate{1025, K::Label, "Done", 163, 181, 22, 8},
    ControlTemplate{1021, K::ReadOnlyEdit, "", 186, 179, 40, 12},
    ControlTemplate{1026, K::Label, "LastSize", 236, 181, 30, 8},
    ControlTemplate{1022, K::ReadOnlyEdit, "", 268, 179, 40, 12},
    ControlTemplate{1010, K::Frame, "", 3, 174, 313, 104},
};

int Scale(int value, int base, int divisor)
{
    // Rounded to the nearest pixel, as MulDiv does.
    return (value * base + divisor / 2) / divisor;
}

}  // namespace

PixelRect DialogUnitsToPixels(int x, int y, int w, int h, BaseUnits units)
{
    PixelRect r;
    r.left = Scale(x, units.cx, 4);
    r.top = Scale(y, units.cy, 8);
    r.right = Scale(x + w, units.cx, 4);
    r.bottom = Scale(y + h, units.cy, 8);
    return r;
}

std::span<const ControlTemplate> FormTemplate101() { return kControls; }

const ControlTemplate* FindControlTemplate(int id)
{
    for (const ControlTemplate& c : kControls)
        if (c.id == id)
            return &c;
    return nullptr;
}

}  // namespace tonmira::view
