#pragma once
// The numeric control id of a widget, as the dialog templates number their controls. Kept as the
// property "controlId" and as the object name "idc<id>" so code and tests find a control by id.
#include <QString>
#include <QVariant>
#include <QWidget>

namespace tonmira::ui {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

inline void SetControlId(QWidget* widget, int id)
{
    widget->setProperty("controlId", id);
    widget->setObjectName(QStringLiteral("idc%1").arg(id));
}

inline int ControlIdOf(const QWidget* widget)
{
    return widget->property("controlId").toInt();
}

// The child of parent with control id `id`, or null.
template <class T = QWidget>
T* FindControl(const QWidget* parent, int id)
{
    return parent->findChild<T*>(QStringLiteral("idc%1").arg(id));
}

}  // namespace tonmira::ui
