#pragma once
// "検出条件算出" (template 142): the detection figures of the spectrum on screen for a band, so
// the conditions of automatic collection can be worked out from examples. Nothing goes back to
// the view.
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira::ui {

enum SekibunRitsuControlId {
    kIdcCalcBandLow = 1016,
    kIdcCalcBandHigh = 1017,
    kIdcCalcExclude = 1024,
    kIdcCalcIntegration = 1018,
    kIdcCalcStdDev = 1027,
    kIdcCalcAbove = 1020,
    kIdcCalcButton = 1019,
};

class CSekibunRitsu : public TemplateDialog {
    Q_OBJECT
public:
    CSekibunRitsu(MessageSink& sink, QWidget* parent = nullptr);

    const int* m_pSpectrum = nullptr;  // m_nFftSize / 2 magnitudes; null = nothing computed yet
    int m_nFftSize = 0;
    int m_nRate = 0;
    int m_nBits = 16;
    int m_nBandLowHz = 0;
    int m_nBandHighHz = 0;
    int m_nExcludeHz = 0;

    // "算出": reads the three edits, checks the band edges, shows the three figures.
    void OnCalc();

protected:
    void DoDataExchange(DataExchange& dx) override;
};

}  // namespace tonmira::ui
