#pragma once
// "自動集音設定" (template 135): the collection settings, with the folder browser and loading and
// saving of .ars files. The settings, their exchange order, validation and enable rules are the
// core's AutoRecordForm; this class owns the widgets and copies them to and from it.
#include "view/AutoRecordForm.h"
#include "ui/dialogs/TemplateDialog.h"

class QSettings;

namespace tonmira::ui {

class FileChooser;

class CAutoRecord : public TemplateDialog {
    Q_OBJECT
public:
    CAutoRecord(FileChooser& chooser, MessageSink& sink, QWidget* parent = nullptr);

    bool UpdateData(bool save = true) override;

    // The settings and the dialog's own members; filled by the caller before showing.
    AutoRecordForm m_form;

    void OnBrowseFolder();
    void OnChangePlayCount();
    void OnAlwaysMax();
    void OnByFactor();
    void OnLoadSettings();
    void OnSaveSettings();

protected:
    void OnInitDialog() override;

private:
    FileChooser& m_chooser;
};

// The collection-settings command: fills the dialog from the view's settings (band upper edge 0
// shown as rate / 2), and on OK copies them back (a non-zero level switches the automatic start
// level off) and keeps the pre-trigger time in the application's settings. Returns true on OK.
bool RunAutoRecordDialog(CollectSettings& settings, int& nAutoStartLevel, WORD wBitsPerSample, DWORD nSamplesPerSec,
                         FileChooser& chooser, MessageSink& sink, QWidget* parent);

// The pre-trigger time is no part of the .ars record: the window keeps it in its settings
// under this key, read at program start.
inline constexpr char kPreTriggerMsKey[] = "Collect/PreTriggerMs";
// The kept time in 0..5000 ms; 0 when the key is missing or not a number.
int ReadPreTriggerMs(const QSettings& settings);

}  // namespace tonmira::ui
