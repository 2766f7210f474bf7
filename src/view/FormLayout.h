#pragma once
// Where every control of the main view's form stands, in client pixels, and how the form follows
// the window's size: the two graphs share the height change and take the whole width change.
// Plain data; the widget only places its controls where this says.
#include <map>

#include "view/PixelRect.h"

namespace tonmira::view {

class FormLayout {
public:
    struct Control {
        PixelRect rect;
        bool visible = true;
    };

    // Controls at their template places for the dialog font's base units, drawing rectangles
    // inside the two frames, the form's own size as the size of the last layout.
    explicit FormLayout(BaseUnits units);

    // Set by the view's first update; sizes before it only go to the window system.
    void OnUpdate() { m_bUpdated = true; }

    // A new client size. Returns true when the controls moved (the widget places them again and
    // repaints); a size of 0 x 0, a size before the first update and a height of 111 or less
    // change nothing.
    bool OnSize(int cx, int cy);

    const Control& Get(int id) const { return m_controls.at(id); }
    const std::map<int, Control>& Controls() const { return m_controls; }
    // The form's size at its template places, in pixels.
    int FormWidth() const { return m_nFormWidth; }
    int FormHeight() const { return m_nFormHeight; }

    PixelRect m_rcWave;      // waveform drawing rectangle
    PixelRect m_rcSpectrum;  // spectrum drawing rectangle
    bool m_bUpdated = false;
    int m_nPrevWidth = 0;
    int m_nPrevHeight = 0;

private:
    void Move(int id, int dx, int dy, int dw, int dh);

    std::map<int, Control> m_controls;
    int m_nFormWidth = 0;
    int m_nFormHeight = 0;
};

// The inside of a static frame, where its graph is drawn (one pixel of border all round).
PixelRect FrameInterior(const PixelRect& frame);

}  // namespace tonmira::view
