#pragma once
// Dialog units -> pixels through the base units of the dialog's font: one horizontal unit is a
// quarter of the font's average character width, one vertical unit an eighth of its height.
// Every fixed layout of the program (the main form and the dialogs) is written in dialog units and
// placed through view::DialogUnitsToPixels with these base units. UI thread only.
#include <QFont>
#include <QRect>
#include <QSize>

#include "view/PixelRect.h"

class QWidget;

namespace tonmira::ui {

// Base units of font: the average width of the 52 Latin letters, rounded as the platform did
// ((total / 26 + 1) / 2), and the font's line height.
view::BaseUnits DialogBaseUnits(const QFont& font);

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) : m_units(DialogBaseUnits(font)) {}
    explicit DialogUnits(view::BaseUnits units) : m_units(units) {}

    int X(int dlu) const;  // a horizontal length, rounded to nearest
    int Y(int dlu) const;  // a vertical length
    // The rectangle's corners are mapped, as templates are, so adjacent controls stay adjacent.
    QRect Rect(int x, int y, int w, int h) const;
    QSize Size(int w, int h) const { return QSize(X(w), Y(h)); }

    // Puts child at the dialog-unit rectangle (x, y, w, h) of its parent.
    void Place(QWidget* child, int x, int y, int w, int h) const;

    view::BaseUnits m_units;
};

}  // namespace tonmira::ui
