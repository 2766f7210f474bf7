#pragma once
// Base of the program's dialogs: a fixed-size dialog built from a numbered template whose
// controls are placed in dialog units and carry their control ids; creation order is the tab
// order. OK runs the validated data exchange and closes only when it passes; the first showing
// runs OnInitDialog (members -> controls). UI thread only.
#include <QDialog>
#include <initializer_list>
#include <string>

#include "ui/dialogs/DialogUnits.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tonmira {
class MessageSink;
}

namespace tonmira::ui {

class DataExchange;

class TemplateDialog : public QDialog {
    Q_OBJECT
public:
    // Caption and size (dialog units) of template `templateId`; messages go to sink.
    TemplateDialog(int templateId, const char* caption, int widthDlu, int heightDlu, MessageSink& sink,
                   QWidget* parent);

    // members <-> controls; false when a control failed validation (its message was shown).
    virtual bool UpdateData(bool save = true);

    int TemplateId() const { return m_nTemplateId; }

protected:
    virtual void DoDataExchange(DataExchange& /*dx*/) {}
    // Fills the controls from the members; dialogs extend it with their enable rules.
    virtual void OnInitDialog();
    // The OK button: exchange, then close with OK when every control passed.
    virtual void OnOK();
    void showEvent(QShowEvent* event) override;

    // Controls at dialog-unit rectangles, in tab order.
    QLabel* AddStatic(int id, const char* text, int x, int y, int w, int h, Qt::Alignment align = Qt::AlignLeft);
    QLineEdit* AddEdit(int id, int x, int y, int w, int h, bool readOnly = false);
    QPushButton* AddButton(int id, const char* text, int x, int y, int w, int h, bool isDefault = false);
    QCheckBox* AddCheck(int id, const char* text, int x, int y, int w, int h);
    QRadioButton* AddRadio(QButtonGroup* group, int id, const char* text, int x, int y, int w, int h);
    QGroupBox* AddGroup(const char* text, int x, int y, int w, int h);
    QSlider* AddSlider(int id, Qt::Orientation orientation, int x, int y, int w, int h);
    QComboBox* AddDropList(int id, std::initializer_list<const char*> items, int x, int y, int w, int h);
    QButtonGroup* NewRadioGroup();

    MessageSink& m_sink;
    DialogUnits m_units;

private:
    void SelectFirstFocusedEdit();

    int m_nTemplateId;
    bool m_bInitialized = false;
};

}  // namespace tonmira::ui
