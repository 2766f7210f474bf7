#include "ui/dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace tonmira::ui {

view::BaseUnits DialogBaseUnits(const QFont& font)
{
    const QFontMetrics fm(font);
    const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return view::BaseUnits{(width / 26 + 1) / 2, fm.height()};
}

int DialogUnits::X(int dlu) const { return view::DialogUnitsToPixels(0, 0, dlu, 0, m_units).Width(); }

int DialogUnits::Y(int dlu) const { return view::DialogUnitsToPixels(0, 0, 0, dlu, m_units).Height(); }

QRect DialogUnits::Rect(int x, int y, int w, int h) const
{
    const view::PixelRect r = view::DialogUnitsToPixels(x, y, w, h, m_units);
    return QRect(r.left, r.top, r.Width(), r.Height());
}

void DialogUnits::Place(QWidget* child, int x, int y, int w, int h) const { child->setGeometry(Rect(x, y, w, h)); }

}  // namespace tonmira::ui
