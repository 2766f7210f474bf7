#include "ui/dialogs/DataExchange.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "view/DialogExchange.h"
#include "base/MessageSink.h"
#include "base/Messages.h"
#include "ui/dialogs/ControlId.h"

namespace tonmira::ui {

namespace {

// The text of an edit or a static.
std::string EditText(QWidget* dialog, int id)
{
    if (auto* edit = FindControl<QLineEdit>(dialog, id))
        return edit->text().toStdString();
    if (auto* label = FindControl<QLabel>(dialog, id))
        return label->text().toStdString();
    return {};
}

void SetEditText(QWidget* dialog, int id, const std::string& text)
{
    if (auto* edit = FindControl<QLineEdit>(dialog, id))
        edit->setText(QString::fromStdString(text));
    else if (auto* label = FindControl<QLabel>(dialog, id))
        label->setText(QString::fromStdString(text));
}

}  // namespace

void FocusAndSelectAll(QWidget* control)
{
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void SetButtonChecked(QAbstractButton* button, bool checked)
{
    // Exclusive groups refuse to uncheck their checked button; lift that for a moment so a
    // group can be left with no button checked.
    QButtonGroup* group = button->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (group)
        group->setExclusive(false);
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(autoExclusive);
    if (group)
        group->setExclusive(groupExclusive);
}

DataExchange::DataExchange(QWidget* dialog, MessageSink& sink, bool save)
    : m_pDialog(dialog), m_sink(sink), m_bSave(save)
{
}

void DataExchange::Fail(int id, const std::string& message)
{
    m_bFailed = true;
    m_sink.Message(message);
    FocusAndSelectAll(FindControl(m_pDialog, id));
}

void DataExchange::Int(int id, int& value)
{
    if (!Active())
        return;
    if (!m_bSave) {
        SetEditText(m_pDialog, id, FormatDialogInt(value));
        return;
    }
    auto parsed = ParseDialogInt(EditText(m_pDialog, id));
    if (!parsed)
        return Fail(id, msg::kEnterInteger);
    value = *parsed;
}

void DataExchange::MinMaxInt(int id, int value, int min, int max)
{
    if (!Active() || !m_bSave)
        return;
    if (value < min || value > max)
        Fail(id, IntegerRangeMessage(min, max));
}

void DataExchange::Real(int id, float& value)
{
    if (!Active())
        return;
    if (!m_bSave) {
        SetEditText(m_pDialog, id, FormatDialogReal(value));
        return;
    }
    auto parsed = ParseDialogReal(EditText(m_pDialog, id));
    if (!parsed)
        return Fail(id, msg::kEnterNumber);
    value = *parsed;
}

void DataExchange::Text(int id, std::string& value)
{
    if (!Active())
        return;
    if (m_bSave)
        value = EditText(m_pDialog, id);
    else
        SetEditText(m_pDialog, id, value);
}

void DataExchange::Validated(int id, const std::function<bool(const std::string&, std::string&)>& rule,
                             const std::function<std::string()>& show)
{
    if (!Active())
        return;
    if (!m_bSave) {
        SetEditText(m_pDialog, id, show());
        return;
    }
    std::string message;
    if (!rule(EditText(m_pDialog, id), message))
        Fail(id, message);
}

void DataExchange::Check(int id, int& value)
{
    if (!Active())
        return;
    auto* button = FindControl<QAbstractButton>(m_pDialog, id);
    if (!button)
        return;
    if (m_bSave)
        value = button->isChecked() ? 1 : 0;
    else
        button->setChecked(value != 0);
}

void DataExchange::Radio(std::initializer_list<int> ids, int& value)
{
    if (!Active())
        return;
    int index = 0;
    if (m_bSave) {
        value = -1;
        for (int id : ids) {
            auto* button = FindControl<QAbstractButton>(m_pDialog, id);
            if (button && button->isChecked()) {
                value = index;
                break;
            }
            ++index;
        }
        return;
    }
    for (int id : ids) {
        if (auto* button = FindControl<QAbstractButton>(m_pDialog, id))
            SetButtonChecked(button, index == value);
        ++index;
    }
}

void DataExchange::Slider(int id, int& value)
{
    if (!Active())
        return;
    auto* slider = FindControl<QAbstractSlider>(m_pDialog, id);
    if (!slider)
        return;
    if (m_bSave)
        value = slider->value();
    else
        slider->setValue(value);
}

void DataExchange::ComboIndex(int id, int& value)
{
    if (!Active())
        return;
    auto* combo = FindControl<QComboBox>(m_pDialog, id);
    if (!combo)
        return;
    if (m_bSave)
        value = combo->currentIndex();
    else
        combo->setCurrentIndex(value);
}

}  // namespace tonmira::ui
