#include "ui/dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace tonmira::ui {

namespace {

// a * b / c rounded to nearest, halves away from zero.
int MulDiv(int a, int b, int c)
{
    long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    QFontMetrics metrics(font);
    int total = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = (total / 26 + 1) / 2;
    m_nBaseY = metrics.height();
    if (m_nBaseX < 1)
        m_nBaseX = 1;
    if (m_nBaseY < 1)
        m_nBaseY = 1;
}

int DialogUnits::X(int dlu) const { return MulDiv(dlu, m_nBaseX, 4); }

int DialogUnits::Y(int dlu) const { return MulDiv(dlu, m_nBaseY, 8); }

void DialogUnits::Place(QWidget* child, int x, int y, int w, int h) const { child->setGeometry(Rect(x, y, w, h)); }

}  // namespace tonmira::ui
