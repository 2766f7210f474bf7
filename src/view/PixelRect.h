#pragma once
// A rectangle in client pixels, as the window system keeps one: right and bottom are one past
// the last pixel inside it.
namespace tonmira::view {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect&) const = default;
};

// Dialog base units of the dialog font: the average character width and the character height in
// pixels. One horizontal dialog unit is a quarter of cx, one vertical unit an eighth of cy.
struct BaseUnits {
    int cx = 6;
    int cy = 13;
};

// x, y, w, h in dialog units to pixels, rounded as the window system maps dialog templates.
PixelRect DialogUnitsToPixels(int x, int y, int w, int h, BaseUnits units);

}  // namespace tonmira::view
