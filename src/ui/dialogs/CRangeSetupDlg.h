#pragma once
// "ﾚﾝｼﾞ拡張" (template 137, 63 x 163 dialog units): a vertical trackbar choosing the peak the take
// is expanded to. Position 0 is at the top and stands for the full quantisation maximum.
#include <functional>

#include "collect/RangeExpansion.h"
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::ui {

inline constexpr int kIdcRangeSlider = 1057;

class CRangeSetupDlg : public TemplateDialog {
    Q_OBJECT
public:
    CRangeSetupDlg(MessageSink& sink, QWidget* parent = nullptr);

    int m_nPeakLevel = 0;   // on entry the current peak, after OK the chosen one
    int m_nFullScale = 0;   // 32767 or 127
    QSlider* m_slider;

protected:
    void OnInitDialog() override;
    void OnOK() override;
};

// The range-expansion command: measures the peak when it is not known, asks for the new one and
// expands the take. `repaint` runs right after OK, before the samples are scaled. Returns true when
// the take changed. `expand`, when given, does the expansion instead of ExpandRange.
bool RunRangeExpansion(CTonmiraDoc& doc, MessageSink& sink, QWidget* parent, const std::function<void()>& repaint,
                       const std::function<bool(int peak, int level)>& expand = {});

}  // namespace tonmira::ui
