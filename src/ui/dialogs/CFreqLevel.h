#pragma once
// "周波数検出ﾚﾍﾞﾙ設定" (template 141): the modeless detection-level window. Created once by the
// view and kept; "閉じる" only hides it. Every move of its slider re-picks the fundamentals of
// the spectrum the view last handed over and fills the view's five list boxes.
#include <functional>

#include "dsp/WindowAnalysis.h"
#include "view/FreqLevelPicker.h"
#include "ui/dialogs/TemplateDialog.h"

namespace tonmira::ui {

inline constexpr int kIdcFreqLevelSlider = 1061;

class CFreqLevel : public TemplateDialog {
    Q_OBJECT
public:
    using FillBoxes = std::function<void(const FundamentalBoxes&)>;

    // analysis: the view's, whose detection level, last pick and N the window uses; picker: the
    // view's, whose tables the window fills. fillBoxes: shows five boxes in the view's list boxes.
    CFreqLevel(WindowAnalysis& analysis, view::FreqLevelPicker& picker, FillBoxes fillBoxes, MessageSink& sink,
               QWidget* parent);

    // The level without a re-pick (the view's initial 5).
    void SetLevel(int level);
    int Level() const { return m_analysis.m_nDetectLevel; }

    QSlider* m_sliderLevel;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void OnLevelMoved(int position);

    WindowAnalysis& m_analysis;
    view::FreqLevelPicker& m_picker;
    FillBoxes m_fillBoxes;
};

}  // namespace tonmira::ui
