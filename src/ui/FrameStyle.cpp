#include "ui/FrameStyle.h"

#include <QApplication>
#include <algorithm>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>
#include <QToolBar>
#include <qdrawutil.h>

namespace tonmira::ui {

namespace {

void DrawTick(const QStyleOption* option, QPainter* painter)
{
    const QRectF r = QRectF(option->rect).adjusted(2, 2, -2, -2);
    const qreal side = std::min(r.width(), r.height());
    const QRectF box(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    QPainterPath tick;
    tick.moveTo(box.left() + side * 0.15, box.top() + side * 0.5);
    tick.lineTo(box.left() + side * 0.4, box.top() + side * 0.78);
    tick.lineTo(box.left() + side * 0.88, box.top() + side * 0.2);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette::ColorRole role =
        (option->state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter->setPen(QPen(option->palette.color(role), std::max<qreal>(1.5, side / 6)));
    painter->drawPath(tick);
    painter->restore();
}

}  // namespace

void FrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    if (element == PE_IndicatorCheckBox && qobject_cast<const QMenu*>(widget)) {
        if (option->state & State_On)
            DrawTick(option, painter);
        return;
    }
    if (element == PE_PanelButtonTool && (option->state & State_On) && widget &&
        qobject_cast<const QToolBar*>(widget->parentWidget())) {
        // Held down: a tinted face inside a sunken edge, plain to see even without the mouse over it.
        QColor tint = option->palette.color(QPalette::Highlight);
        tint.setAlpha(90);
        painter->fillRect(option->rect, option->palette.color(QPalette::Button));
        painter->fillRect(option->rect, tint);
        qDrawShadePanel(painter, option->rect, option->palette, true, 1);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void UseFrameStyle()
{
    if (!dynamic_cast<FrameStyle*>(QApplication::style()))
        QApplication::setStyle(new FrameStyle);
}

}  // namespace tonmira::ui
