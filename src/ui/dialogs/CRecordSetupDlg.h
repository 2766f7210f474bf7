#pragma once
// "録音設定" (template 134): format of the next recording and the automatic start level.
// The format controls are disabled when the take already holds data.
#include "audio/RecordSetupValues.h"
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira::ui {

enum RecordSetupControlId {
    kIdcRecordRate = 1032,
    kIdcRecord16Bit = 1038,
    kIdcRecord8Bit = 1039,
    kIdcRecordStereo = 1040,
    kIdcRecordMono = 1041,
    kIdcRecordLevel = 1055,
};

class CRecordSetupDlg : public TemplateDialog {
    Q_OBJECT
public:
    CRecordSetupDlg(MessageSink& sink, QWidget* parent = nullptr);

    int m_bHasData = 0;
    QSlider* m_sliderLevel;
    int m_nRateIndex = -1;
    int m_nBitsRadio = -1;
    int m_nChannelRadio = -1;
    int m_nStartLevel = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnInitDialog() override;
};

// The transport's dialog hook: shows the dialog filled from values; true = OK (values updated).
bool RunRecordSetupDialog(RecordSetupValues& values, MessageSink& sink, QWidget* parent);

}  // namespace tonmira::ui
