#pragma once
// An up-down (spin) control attached to the edit before it: its arrows, and the Up and Down
// keys in the edit, step the integer in the edit within the range and write it back. It reads
// the edit's text first, so typed values are stepped from. UI thread only.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tonmira::ui {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    UpDownControl(QLineEdit* buddy, QWidget* parent);

    void SetRange(int lower, int upper);
    int Lower() const { return m_nLower; }
    int Upper() const { return m_nUpper; }
    // Sets the position (limited to the range) and writes it into the edit.
    void SetPos(int position);
    int Pos() const { return m_nPos; }
    // One step up (+1) or down (-1) from the edit's value.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_pBuddy;
    QToolButton* m_pUp;
    QToolButton* m_pDown;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};

}  // namespace tonmira::ui
