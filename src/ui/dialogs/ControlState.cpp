#include "ui/dialogs/ControlState.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"
#include "ui/dialogs/UpDownControl.h"

namespace tonmira::ui {

void ReadControlState(const QWidget* dialog, AutoRecordControls& state)
{
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
        if (int id = ControlIdOf(edit))
            state.m_texts[id] = edit->text().toStdString();
    }
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (int id = ControlIdOf(button); id && button->isCheckable())
            state.m_checks[id] = button->isChecked() ? 1 : 0;
    }
}

void ApplyControlState(QWidget* dialog, const AutoRecordControls& state, int parts)
{
    if (parts & kStateTexts) {
        for (const auto& [id, text] : state.m_texts) {
            auto* edit = FindControl<QLineEdit>(dialog, id);
            QString value = QString::fromStdString(text);
            if (edit && edit->text() != value)
                edit->setText(value);
        }
    }
    if (parts & kStateChecks) {
        for (const auto& [id, checked] : state.m_checks) {
            if (auto* button = FindControl<QAbstractButton>(dialog, id))
                SetButtonChecked(button, checked != 0);
        }
    }
    if (parts & kStateEnabled) {
        for (const auto& [id, enabled] : state.m_enabled) {
            if (QWidget* control = FindControl(dialog, id))
                control->setEnabled(enabled);
        }
    }
    if (parts & kStateSpins) {
        for (const auto& [id, range] : state.m_spinRanges) {
            if (auto* spin = FindControl<UpDownControl>(dialog, id))
                spin->SetRange(range.first, range.second);
        }
        for (const auto& [id, position] : state.m_spinPositions) {
            if (auto* spin = FindControl<UpDownControl>(dialog, id))
                spin->SetPos(position);
        }
    }
    if (state.m_nFocusId)
        FocusAndSelectAll(FindControl(dialog, state.m_nFocusId));
}

}  // namespace tonmira::ui
