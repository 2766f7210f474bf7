#include "ui/dialogs/CAutoRecord.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <algorithm>

#include "ui/dialogs/ControlId.h"
#include "ui/dialogs/ControlState.h"
#include "ui/dialogs/DataExchange.h"
#include "ui/dialogs/FileChooser.h"
#include "ui/dialogs/UpDownControl.h"

namespace tonmira::ui {

namespace {

// Columns of the condition rows, dialog units.
constexpr int kLabelX = 7, kLabelW = 62;
constexpr int kEdit1X = 70, kUnit1X = 113, kEdit2X = 145, kUnit2X = 188;
constexpr int kEditW = 40, kUnitW = 30;

}  // namespace

CAutoRecord::CAutoRecord(FileChooser& chooser, MessageSink& sink, QWidget* parent)
    : TemplateDialog(135, kAutoRecordCaption, 300, 222, sink, parent), m_chooser(chooser)
{
    auto spinFor = [this](QLineEdit* buddy, int id, int x, int y) {
        auto* spin = new UpDownControl(this);
        spin->SetBuddy(buddy);
        SetControlId(spin, id);
        m_units.Place(spin, x, y, 10, 12);
    };
    auto row = [this](int y, const char* label, int id1, const char* unit1, int id2, const char* unit2) {
        if (label)
            AddStatic(0, label, kLabelX, y + 2, kLabelW, 8);
        AddEdit(id1, kEdit1X, y, kEditW, 12);
        AddStatic(0, unit1, kUnit1X, y + 2, id2 ? kUnitW : 120, 8);
        if (id2) {
            AddEdit(id2, kEdit2X, y, kEditW, 12);
            AddStatic(0, unit2, kUnit2X, y + 2, kUnitW, 8);
        }
    };

    AddStatic(0, "自動録音集音レベル", kLabelX, 9, kLabelW, 8);
    spinFor(AddEdit(kIdcCollectLevel, kEdit1X, 7, kEditW, 12), kIdcCollectLevelSpin, kEdit1X + kEditW, 7);
    row(23, "連続とみなす時間", kIdcContinuousMs, "ﾐﾘ秒", 0, nullptr);
    row(41, "検出条件", kIdcBandLow, "Hz 以上", kIdcBandHigh, "Hz 以下");
    row(57, nullptr, kIdcExclude, "Hz 以下のデータを除外", 0, nullptr);
    row(73, "積分率", kIdcIntegLow, "%以上", kIdcIntegHigh, "%以下");
    row(89, "標準偏差", kIdcStdDevLow, "以上", kIdcStdDevHigh, "以下");
    row(105, "平均i以上の点数", kIdcPointsLow, "%以上", kIdcPointsHigh, "%以下");

    AddStatic(0, "出力フォルダ", kLabelX, 123, kLabelW, 8);
    AddEdit(kIdcOutputFolder, kEdit1X, 121, 190, 12);
    QPushButton* browse = AddButton(kIdcBrowseFolder, "...", 263, 121, 16, 12);
    AddCheck(kIdcSaveAmplified, "増幅後のファイルを保存", kEdit1X, 138, 100, 10);
    AddCheck(kIdcSaveRejected, "条件外データを保存", 175, 138, 100, 10);

    AddStatic(0, "再生回数", kLabelX, 155, kLabelW, 8);
    QLineEdit* playCount = AddEdit(kIdcPlayCount, kEdit1X, 153, kEditW, 12);
    spinFor(playCount, kIdcPlayCountSpin, kEdit1X + kEditW, 153);
    AddStatic(0, "再生レベル", 130, 155, 45, 8);
    spinFor(AddEdit(kIdcPlayLevel, 178, 153, kEditW, 12), kIdcPlayLevelSpin, 178 + kEditW, 153);

    AddGroup("増幅方法", kLabelX, 169, 226, 30);
    QButtonGroup* method = NewRadioGroup();
    QRadioButton* alwaysMax = AddRadio(method, kIdcAlwaysMax, "常に最大", 14, 182, 50, 10);
    QRadioButton* byFactor = AddRadio(method, kIdcByFactor, "倍率を指定", 70, 182, 55, 10);
    AddEdit(kIdcAmpFactor, 128, 181, 30, 12);
    AddStatic(kIdcAmpFactorLabel, "倍", 161, 183, 12, 8);

    AddButton(kIdOk, "OK", 243, 7, 50, 14, true);
    AddButton(kIdCancel, "キャンセル", 243, 24, 50, 14);
    QPushButton* load = AddButton(kIdcLoadSettings, "設定読込", 243, 169, 50, 14);
    QPushButton* save = AddButton(kIdcSaveSettings, "設定保存", 243, 186, 50, 14);
    // Our addition, in a row of its own below the others (the dialog grew by it), last in the
    // tab order.
    row(203, "ﾌﾟﾘﾄﾘｶﾞ", kIdcPreTriggerMs, "ﾐﾘ秒", 0, nullptr);

    connect(browse, &QPushButton::clicked, this, &CAutoRecord::OnBrowseFolder);
    connect(playCount, &QLineEdit::textChanged, this, &CAutoRecord::OnChangePlayCount);
    connect(alwaysMax, &QRadioButton::clicked, this, &CAutoRecord::OnAlwaysMax);
    connect(byFactor, &QRadioButton::clicked, this, &CAutoRecord::OnByFactor);
    connect(load, &QPushButton::clicked, this, &CAutoRecord::OnLoadSettings);
    connect(save, &QPushButton::clicked, this, &CAutoRecord::OnSaveSettings);
}

bool CAutoRecord::UpdateData(bool save)
{
    AutoRecordControls state;
    if (!save) {
        m_form.DataToControls(state);
        ApplyControlState(this, state, kStateTexts | kStateChecks);
        return true;
    }
    ReadControlState(this, state);
    if (m_form.UpdateData(state, m_sink))
        return true;
    FocusAndSelectAll(FindControl(this, state.m_nFocusId));
    return false;
}

void CAutoRecord::OnInitDialog()
{
    AutoRecordControls state;
    m_form.OnInitDialog(state);
    ApplyControlState(this, state);
}

void CAutoRecord::OnChangePlayCount()
{
    if (!m_form.m_bInitialized)
        return;
    // The whole text is selected, so the next keystroke replaces it.
    FindControl<QLineEdit>(this, kIdcPlayCount)->selectAll();
    AutoRecordControls state;
    ReadControlState(this, state);
    m_form.OnChangePlayCount(state);
    ApplyControlState(this, state, kStateChecks | kStateEnabled);
}

void CAutoRecord::OnAlwaysMax()
{
    AutoRecordControls state;
    m_form.OnAlwaysMax(state);
    ApplyControlState(this, state, kStateChecks | kStateEnabled);
}

void CAutoRecord::OnByFactor()
{
    AutoRecordControls state;
    m_form.OnByFactor(state);
    ApplyControlState(this, state, kStateChecks | kStateEnabled);
}

void CAutoRecord::OnBrowseFolder()
{
    std::string folder = m_chooser.ChooseFolder(kBrowseFolderTitle, this);
    if (!folder.empty())
        FindControl<QLineEdit>(this, kIdcOutputFolder)->setText(QString::fromStdString(folder));
}

void CAutoRecord::OnLoadSettings()
{
    std::string path = m_chooser.ChooseFile({kArsLoadTitle, kArsFileFilter, kArsDefaultExtension, true}, this);
    AutoRecordControls state;
    ReadControlState(this, state);
    if (m_form.OnLoadSettings(path, state, m_sink))
        ApplyControlState(this, state, kStateTexts | kStateChecks | kStateEnabled);
}

void CAutoRecord::OnSaveSettings()
{
    std::string path = m_chooser.ChooseFile({kArsSaveTitle, kArsFileFilter, kArsDefaultExtension, false}, this);
    if (path.empty())
        return;
    AutoRecordControls state;
    ReadControlState(this, state);
    m_form.OnSaveSettings(path, state, m_sink);
    if (state.m_nFocusId)
        FocusAndSelectAll(FindControl(this, state.m_nFocusId));
}

bool RunAutoRecordDialog(CollectSettings& settings, int& nAutoStartLevel, WORD wBitsPerSample, DWORD nSamplesPerSec,
                         FileChooser& chooser, MessageSink& sink, QWidget* parent)
{
    CAutoRecord dlg(chooser, sink, parent);
    dlg.m_form.CopyFromView(settings, wBitsPerSample, nSamplesPerSec);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    dlg.m_form.CopyToView(settings, nAutoStartLevel, nSamplesPerSec);
    QSettings().setValue(QString::fromLatin1(kPreTriggerMsKey), settings.m_nPreTriggerMs);
    return true;
}

int ReadPreTriggerMs(const QSettings& settings)
{
    return std::clamp(settings.value(QString::fromLatin1(kPreTriggerMsKey), 0).toInt(), 0, 5000);
}

}  // namespace tonmira::ui
