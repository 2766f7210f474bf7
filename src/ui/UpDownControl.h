#pragma once
// An up-down control beside a number edit: two arrow buttons that repeat while held, stepping by
// 1, then 10 after a second, then 100 after two. It asks the view before each step.
#include <QElapsedTimer>
#include <QWidget>

class QToolButton;

namespace tonmira::ui {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    void SetPos(int pos) { m_nPos = pos; }
    int Pos() const { return m_nPos; }
    int Min() const { return m_nMin; }
    int Max() const { return m_nMax; }

    // A step of delta from the current position, as a held button makes it.
    void Step(int delta);

signals:
    // Before a step: the handler sets *refuse to keep the position as the handler left it.
    void deltaPos(int pos, int delta, bool* refuse);

private:
    void Pressed(int direction);

    QToolButton* m_pUp;
    QToolButton* m_pDown;
    QElapsedTimer m_held;
    int m_nPos = 0;
    int m_nMin = 0;
    int m_nMax = 100;
};

}  // namespace tonmira::ui
