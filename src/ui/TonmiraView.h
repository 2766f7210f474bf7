#pragma once
// CTonmiraView: the main window's form. It owns the core objects (through ViewCore) and the Qt
// host; its controls stand where FormLayout puts them; it paints what GraphPaint computes and
// forwards every command and control change to the core.
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "ui/QtHost.h"
#include "base/Changes.h"
#include "ui/ViewDialogs.h"
#include "view/FormLayout.h"
#include "view/ViewCore.h"

class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QSlider;

namespace tonmira {
class LocalClock;
class MessageSink;
class WaveBackend;
}  // namespace tonmira

namespace tonmira::ui {

class UpDownControl;

class CTonmiraView : public QWidget {
    Q_OBJECT
public:
    CTonmiraView(MessageSink& sink, WaveBackend& backend, const LocalClock& clock, QWidget* parent = nullptr);
    ~CTonmiraView() override;

    // The document changed outside the session's commands (a test's load): the session's
    // initial update, which the window then follows.
    void OnInitialUpdate();
    // The form's size in pixels.
    QSize sizeHint() const override;
    // The view's own commands; the frame's command bindings call them once the state allows.
    void OnStop();
    void OnTruncate();
    void OnUndo();
    void ToggleGraphType();
    void ShowDetectLevel();
    // What a dialog of the view opens over and works on.
    DialogContext Dialogs() { return DialogContext{this, *m_pCore}; }
    // The window closes: the session shuts down (a recording becomes the take, an event in flight
    // is finished without recording again). Returns when no device is open and no worker runs.
    void StopForClose();

    view::ViewCore& Core() { return *m_pCore; }
    QtHost& Host() { return m_host; }
    const view::FormLayout& Layout() const { return m_layout; }
    QWidget* Control(int id) const;
    // Called after every change of the transport's state (menus and tool bar follow it).
    std::function<void()> m_onStateChanged;

    // After every publication of the session: the menus and tool bar follow the document's state.
    void TransportChanged();
    // The take's samples changed outside the transport (a dialog's edit): announced as an edit.
    void TakeEdited();

    // Moves the slider to position and the position with it, as letting the thumb go there does
    // (the overview pane's clicks take this path).
    void MoveToSliderPosition(UINT position);
    // Moves to the time text names (m:ss.fff, h:mm:ss.fff or seconds) the slider's way. False,
    // nothing moved, after a message naming the forms or the take's range.
    bool GoToTime(const std::string& text);

    // The five fundamental-frequency boxes (for the detection-level window).
    void ShowFundamentals(const FundamentalBoxes& boxes);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void PlaceControls();
    // The frame around the view resized so that the view is the form's size.
    void ResizeParentToFit();
    void ConnectControls();
    void OnTimer(int id);
    // Subscriber of the session: the controls, lists and graphs follow what changed.
    void OnSessionChanged(ChangeSet changes);
    void SetSliderRange(UINT min, UINT max);
    void SetSliderPosition(UINT position);
    void UpdateControlsFromMembers();
    void BeginWaitCursor();
    void EndWaitCursor();
    void OnSliderAction(int action);
    void OnFftSizeChosen(int index);
    void OnMaxSpin(int pos, int delta, bool* refuse);
    void OnMinSpin(int pos, int delta, bool* refuse);
    void OnFrequencyEdited(bool maxEdit);
    void OnFrequencyLeft(bool maxEdit);
    void AfterRangeStep();
    void InvalidateGraphs();
    void PaintGraphs(class QPainter& painter);

    QtHost m_host;
    std::unique_ptr<view::ViewCore> m_pCore;
    view::FormLayout m_layout;
    std::map<int, QWidget*> m_controls;
    QFrame* m_pWaveFrame = nullptr;
    QFrame* m_pSpectrumFrame = nullptr;
    QSlider* m_pSlider = nullptr;
    QLineEdit* m_pPositionEdit = nullptr;
    QComboBox* m_pFftCombo = nullptr;
    QLineEdit* m_pMinEdit = nullptr;
    QLineEdit* m_pMaxEdit = nullptr;
    UpDownControl* m_pMinSpin = nullptr;
    UpDownControl* m_pMaxSpin = nullptr;
    QListWidget* m_pLists[5] = {};
    std::size_t m_nSubscription = 0;
    bool m_bInRangeMessage = false;
    int m_nWaitCursor = 0;
};

}  // namespace tonmira::ui
