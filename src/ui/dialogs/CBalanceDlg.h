#pragma once
// "左右ﾊﾞﾗﾝｽ設定" (template 131) and "再生速度の設定" (template 132): one trackbar each, bound to
// the balance (0..100, L..R) and to the playback speed in semitones (-12..12).
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira::ui {

inline constexpr int kIdcBalanceSlider = 1020;
inline constexpr int kIdcSpeedSlider = 1021;

class CBalanceDlg : public TemplateDialog {
    Q_OBJECT
public:
    CBalanceDlg(MessageSink& sink, QWidget* parent = nullptr);

    QSlider* m_slider;
    int m_nBalance = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnInitDialog() override;
};

class CSpeedDlg : public TemplateDialog {
    Q_OBJECT
public:
    CSpeedDlg(MessageSink& sink, QWidget* parent = nullptr);

    QSlider* m_slider;
    int m_nSpeed = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnInitDialog() override;
};

// The transport's dialog hooks; true = OK, value updated.
bool RunBalanceDialog(int& balance, MessageSink& sink, QWidget* parent);
bool RunSpeedDialog(int& speed, MessageSink& sink, QWidget* parent);

}  // namespace tonmira::ui
