#include "ui/dialogs/TemplateDialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <memory>

#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/DataExchange.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

TemplateDialog::TemplateDialog(int templateId, const char* caption, int widthDlu, int heightDlu, MessageSink& sink,
                               QWidget* parent)
    : QDialog(parent), m_sink(sink), m_units(font()), m_nTemplateId(templateId)
{
    setWindowTitle(Tr(caption));
    setProperty("templateId", templateId);
    setFixedSize(m_units.Size(widthDlu, heightDlu));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

bool TemplateDialog::UpdateData(bool save)
{
    DataExchange dx(this, m_sink, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

void TemplateDialog::OnInitDialog() { UpdateData(false); }

void TemplateDialog::OnOK()
{
    if (UpdateData(true))
        accept();
}

void TemplateDialog::showEvent(QShowEvent* event)
{
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
        SelectFirstFocusedEdit();
    }
    QDialog::showEvent(event);
}

void TemplateDialog::SelectFirstFocusedEdit()
{
    // The edit that takes the focus as the dialog opens has its text selected, so typing
    // replaces the value; Qt selects only when the focus comes by Tab.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(qApp, &QApplication::focusChanged, this, [this, connection](QWidget*, QWidget* now) {
        if (!now || now->window() != this)
            return;
        disconnect(*connection);
        if (auto* edit = qobject_cast<QLineEdit*>(now))
            edit->selectAll();
    });
}

QLabel* TemplateDialog::AddStatic(int id, const char* text, int x, int y, int w, int h, Qt::Alignment align)
{
    auto* label = new QLabel(Tr(text), this);
    if (id)
        SetControlId(label, id);
    label->setAlignment(align | Qt::AlignVCenter);
    m_units.Place(label, x, y, w, h);
    return label;
}

QLineEdit* TemplateDialog::AddEdit(int id, int x, int y, int w, int h, bool readOnly)
{
    auto* edit = new QLineEdit(this);
    SetControlId(edit, id);
    edit->setReadOnly(readOnly);
    m_units.Place(edit, x, y, w, h);
    return edit;
}

QPushButton* TemplateDialog::AddButton(int id, const char* text, int x, int y, int w, int h, bool isDefault)
{
    auto* button = new QPushButton(Tr(text), this);
    SetControlId(button, id);
    button->setDefault(isDefault);
    // Enter presses the button that has the focus, and the default one otherwise.
    button->setAutoDefault(true);
    m_units.Place(button, x, y, w, h);
    if (id == kIdOk)
        connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
    else if (id == kIdCancel)
        connect(button, &QPushButton::clicked, this, &QDialog::reject);
    return button;
}

QCheckBox* TemplateDialog::AddCheck(int id, const char* text, int x, int y, int w, int h)
{
    auto* check = new QCheckBox(Tr(text), this);
    SetControlId(check, id);
    m_units.Place(check, x, y, w, h);
    return check;
}

QRadioButton* TemplateDialog::AddRadio(QButtonGroup* group, int id, const char* text, int x, int y, int w, int h)
{
    auto* radio = new QRadioButton(Tr(text), this);
    SetControlId(radio, id);
    radio->setAutoExclusive(false);
    group->addButton(radio);
    m_units.Place(radio, x, y, w, h);
    return radio;
}

QGroupBox* TemplateDialog::AddGroup(const char* text, int x, int y, int w, int h)
{
    auto* box = new QGroupBox(Tr(text), this);
    box->setFocusPolicy(Qt::NoFocus);
    m_units.Place(box, x, y, w, h);
    box->lower();  // a frame only: the controls inside are the dialog's own
    return box;
}

QSlider* TemplateDialog::AddSlider(int id, Qt::Orientation orientation, int x, int y, int w, int h)
{
    auto* slider = new QSlider(orientation, this);
    SetControlId(slider, id);
    slider->setFocusPolicy(Qt::StrongFocus);
    m_units.Place(slider, x, y, w, h);
    return slider;
}

QComboBox* TemplateDialog::AddDropList(int id, std::initializer_list<const char*> items, int x, int y, int w, int h)
{
    auto* combo = new QComboBox(this);
    SetControlId(combo, id);
    for (const char* item : items)
        combo->addItem(Tr(item));
    combo->setCurrentIndex(-1);
    // h is the height with the list dropped down; the closed box is one edit line high.
    m_units.Place(combo, x, y, w, 12);
    (void)h;
    return combo;
}

QButtonGroup* TemplateDialog::NewRadioGroup()
{
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    return group;
}

}  // namespace tonmira::ui
