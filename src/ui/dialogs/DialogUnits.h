#pragma once
// Dialog units -> pixels through the base units of the dialog's font: one horizontal unit is a
// quarter of the font's average character width, one vertical unit an eighth of its height.
// Every fixed layout of the program (dialogs and the main form) is written in dialog units and
// placed through this, so it scales with the font as the templates did. UI thread only.
#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace tonmira::ui {

class DialogUnits {
public:
    // Base units of font: average width of the 52 Latin letters (rounded as the platform
    // did, (total / 26 + 1) / 2) and the font's line height.
    explicit DialogUnits(const QFont& font);
    // Base units given directly (tests, fixed metrics).
    DialogUnits(int baseX, int baseY) : m_nBaseX(baseX), m_nBaseY(baseY) {}

    int X(int dlu) const;  // horizontal dialog units -> pixels, rounded to nearest
    int Y(int dlu) const;  // vertical dialog units -> pixels
    QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

    // Puts child at the dialog-unit rectangle (x, y, w, h) of its parent.
    void Place(QWidget* child, int x, int y, int w, int h) const;

    int m_nBaseX;
    int m_nBaseY;
};

}  // namespace tonmira::ui
