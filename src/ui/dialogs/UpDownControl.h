#pragma once
// An up-down (spin) control: two arrow buttons that repeat while held, stepping by 1, then 10
// after a second, then 100 after two. It asks its owner before each step (deltaPos). With a buddy
// edit it also works as the dialogs' spins do: a step starts from the integer in the edit, and
// the new position is written into it; Up and Down in the edit step too. UI thread only.
#include <QElapsedTimer>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace tonmira::ui {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    // The position, limited to the range; with a buddy it is written into the edit.
    void SetPos(int pos);
    int Pos() const { return m_nPos; }
    int Min() const { return m_nMin; }
    int Max() const { return m_nMax; }

    // The edit whose integer the control steps and shows; null for none.
    void SetBuddy(QLineEdit* buddy);

    // A step of delta from the current position, as a held button makes it.
    void Step(int delta);

signals:
    // Before a step: the handler sets *refuse to keep the position as the handler left it.
    void deltaPos(int pos, int delta, bool* refuse);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Pressed(int direction);
    void ShowInBuddy();

    QToolButton* m_pUp;
    QToolButton* m_pDown;
    QLineEdit* m_pBuddy = nullptr;
    QElapsedTimer m_held;
    int m_nPos = 0;
    int m_nMin = 0;
    int m_nMax = 100;
};

}  // namespace tonmira::ui
