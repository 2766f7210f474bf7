#pragma once
// Helpers for the dialog tests: answers for the modal dialogs a command opens (run from the
// event loop while the dialog's own loop runs), a file chooser that answers from a list, and
// typing into controls found by id.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/FileChooser.h"

namespace tonmira::test {

// Each step handles one modal dialog, in the order they open; a step must close its dialog.
class ModalScript {
public:
    using Step = std::function<void(QDialog*)>;
    explicit ModalScript(std::vector<Step> steps) : m_steps(steps.begin(), steps.end())
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start(5);
    }
    std::size_t Remaining() const { return m_steps.size(); }

private:
    void Poll()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // Active as well as visible: a step that checks the focus needs the window activated,
        // which the platform does a moment after showing it.
        if (!dialog || dialog == m_pCurrent.data() || m_steps.empty() || !dialog->isVisible() ||
            !dialog->isActiveWindow())
            return;
        m_pCurrent = dialog;
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(dialog);
    }

    std::deque<Step> m_steps;
    QPointer<QDialog> m_pCurrent;
    QTimer m_timer;
};

// Answers file and folder questions from lists ("" = cancel) and keeps what was asked.
class ScriptedChooser : public ui::FileChooser {
public:
    std::string ChooseFile(const ui::FileDialogSpec& spec, QWidget*) override
    {
        m_asked.push_back(spec);
        return Next();
    }
    std::string ChooseFolder(const char* title, QWidget*) override
    {
        m_folderTitles.push_back(title);
        return Next();
    }
    std::deque<std::string> m_answers;
    std::vector<ui::FileDialogSpec> m_asked;
    std::vector<std::string> m_folderTitles;

private:
    std::string Next()
    {
        if (m_answers.empty())
            return {};
        std::string answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
};

template <class T = QWidget>
T* Control(const QWidget* dialog, int id)
{
    T* control = ui::FindControl<T>(dialog, id);
    EXPECT_NE(control, nullptr) << "no control " << id;
    return control;
}

inline std::string Text(const QWidget* dialog, int id)
{
    return Control<QLineEdit>(dialog, id)->text().toStdString();
}

// Replaces an edit's text by typing, as a person would.
inline void Type(QWidget* dialog, int id, const char* text)
{
    auto* edit = Control<QLineEdit>(dialog, id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromUtf8(text));
}

// Replaces an edit's text in one change, as pasting does.
inline void Paste(QWidget* dialog, int id, const char* text)
{
    auto* edit = Control<QLineEdit>(dialog, id);
    edit->setFocus();
    edit->selectAll();
    edit->insert(QString::fromUtf8(text));
}

inline void Click(QWidget* dialog, int id) { QTest::mouseClick(Control(dialog, id), Qt::LeftButton); }

// The failing control has the focus and its whole text selected.
inline void ExpectFocusedAndSelected(QWidget* dialog, int id)
{
    auto* edit = Control<QLineEdit>(dialog, id);
    EXPECT_EQ(QApplication::focusWidget(), edit) << "focus not on " << id;
    EXPECT_EQ(edit->selectedText(), edit->text()) << "text of " << id << " not selected";
    EXPECT_TRUE(edit->hasSelectedText() || edit->text().isEmpty());
}

// Shows a dialog and waits until it is the active window, so focus can be checked.
inline void ShowActive(QWidget* dialog)
{
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
}

}  // namespace tonmira::test
