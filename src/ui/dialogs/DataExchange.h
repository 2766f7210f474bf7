#pragma once
// The dialog data exchange of the desktop program: members <-> controls, found by control id.
// Saving parses and validates with the core's rules and messages (view/DialogExchange.h);
// the first control that fails shows its message, gets the focus with its whole text selected,
// and stops the exchange: members exchanged before it keep their new values, later ones are
// untouched. UI thread only.
#include <functional>
#include <initializer_list>
#include <string>

class QAbstractButton;
class QWidget;

namespace tonmira {
class MessageSink;
}

namespace tonmira::ui {

class DataExchange {
public:
    // save = true: controls -> members with validation; false: members -> controls.
    DataExchange(QWidget* dialog, MessageSink& sink, bool save);

    // Edit as a signed decimal integer ("整数を入力してください。").
    void Int(int id, int& value);
    // After Int when saving: value must lie in min..max, else the range message with both limits.
    // The value has already been stored, as the framework does.
    void MinMaxInt(int id, int value, int min, int max);
    // Edit as a real, shown "%.*g" with 6 digits ("数字を入力してください。").
    void Real(int id, float& value);
    void Text(int id, std::string& value);
    // Edit checked by a rule of the core: rule(text, message) stores the value and returns true,
    // or returns false with the message to show.
    void Validated(int id, const std::function<bool(const std::string&, std::string&)>& rule,
                   const std::function<std::string()>& show);
    // Check box: 0 or 1.
    void Check(int id, int& value);
    // Radio group in order: the index of the checked button, -1 when none is checked.
    void Radio(std::initializer_list<int> ids, int& value);
    // Slider (trackbar) position.
    void Slider(int id, int& value);
    // Drop-down list selection index, -1 for none.
    void ComboIndex(int id, int& value);

    // Shows message, focuses control id with its text selected, and stops the exchange.
    void Fail(int id, const std::string& message);

    bool Saving() const { return m_bSave; }
    bool Failed() const { return m_bFailed; }

private:
    bool Active() const { return !m_bFailed; }

    QWidget* m_pDialog;
    MessageSink& m_sink;
    bool m_bSave;
    bool m_bFailed = false;
};

// Checks or clears a check box or radio, also the checked radio of an exclusive group.
void SetButtonChecked(QAbstractButton* button, bool checked);

// Gives the control the focus and selects its whole text (edits and editable combos).
void FocusAndSelectAll(QWidget* control);

}  // namespace tonmira::ui
