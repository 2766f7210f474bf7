// The view's commands and control notifications: each goes to the core, then the screen follows.
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>

#include "dsp/FftSize.h"
#include "ui/ViewDialogs.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/UpDownControl.h"
#include "view/FrequencyRange.h"

namespace tonmira::ui {

void CTonmiraView::OnTimer(int id) { m_pCore->m_session.OnTimer(id); }

void CTonmiraView::OnSliderAction(int action)
{
    ScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = ScrollCode::LineLeft;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = ScrollCode::LineRight;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = ScrollCode::PageLeft;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = ScrollCode::PageRight;
        break;
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        code = ScrollCode::EndScroll;
        break;
    default:
        return;  // thumb tracking: the position follows when the thumb is let go
    }
    const CTonmiraDoc& doc = m_pCore->m_doc;
    const UINT before = doc.m_nPosition;
    const auto thumb = static_cast<UINT>(m_pSlider->sliderPosition());
    m_pCore->m_session.Command([&] { m_pCore->m_transport.OnHScroll(code, thumb); });
    // The slider shows the position the transport chose, not its own step.
    m_pSlider->setSliderPosition(static_cast<int>(doc.m_pData ? doc.m_nPosition : before));
}

void CTonmiraView::OnFftSizeChosen(int index)
{
    // The session announces the size (or puts the combo back) and the slider over the take.
    m_pCore->ChangeFftSize(index);
}

void CTonmiraView::AfterRangeStep()
{
    // The range only redraws the spectrum; it is not an input of the transform.
    UpdateControlsFromMembers();
    InvalidateGraphs();
}

void CTonmiraView::OnMaxSpin(int pos, int delta, bool* refuse)
{
    view::BandDisplay& a = m_pCore->m_display;
    const int halfRate = static_cast<int>(m_pCore->m_doc.m_header.nSamplesPerSec / 2);
    const view::SpinStep step = view::StepMaxFrequency(pos, delta, a.m_nMinFreq, halfRate);
    a.m_nMaxFreq = step.value;
    if (!step.allowed) {
        m_pMaxSpin->SetPos(step.value);
        *refuse = true;
    }
    m_pMinSpin->SetRange(0, a.m_nMaxFreq - 1);
    AfterRangeStep();
}

void CTonmiraView::OnMinSpin(int pos, int delta, bool* refuse)
{
    view::BandDisplay& a = m_pCore->m_display;
    const view::SpinStep step = view::StepMinFrequency(pos, delta, a.m_nMaxFreq);
    a.m_nMinFreq = step.value;
    if (!step.allowed) {
        m_pMinSpin->SetPos(step.value);
        *refuse = true;
    }
    AfterRangeStep();
}

void CTonmiraView::OnFrequencyEdited(bool maxEdit)
{
    QLineEdit* edit = maxEdit ? m_pMaxEdit : m_pMinEdit;
    const int value = edit->text().toInt();
    (maxEdit ? m_pCore->m_display.m_nMaxFreq : m_pCore->m_display.m_nMinFreq) = value;
    (maxEdit ? m_pMaxSpin : m_pMinSpin)->SetPos(value);
}

void CTonmiraView::OnFrequencyLeft(bool maxEdit)
{
    view::BandDisplay& a = m_pCore->m_display;
    a.m_nMaxFreq = m_pMaxEdit->text().toInt();
    a.m_nMinFreq = m_pMinEdit->text().toInt();
    const std::string message = view::RangeMessageOnLeave(a.m_nMinFreq, a.m_nMaxFreq, maxEdit);
    if (message.empty()) {
        InvalidateGraphs();
        return;
    }
    if (m_bInRangeMessage)
        return;
    m_bInRangeMessage = true;
    m_host.Message(message);
    QLineEdit* edit = maxEdit ? m_pMaxEdit : m_pMinEdit;
    edit->selectAll();
    edit->setFocus();
    m_bInRangeMessage = false;
}

bool CTonmiraView::eventFilter(QObject* watched, QEvent* event)
{
    // The arrow keys in a frequency edit step its spin, as the spin's own buttons do.
    if (event->type() == QEvent::KeyPress && (watched == m_pMaxEdit || watched == m_pMinEdit)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            (watched == m_pMaxEdit ? m_pMaxSpin : m_pMinSpin)->Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    // Checked once the focus has moved on, as the edit's kill-focus notice arrives: the edit's
    // own focus-out handling (which drops the selection) is over by then.
    // Opening a menu takes the focus only for a while and is not leaving the edit.
    const auto leaving = [event] {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        return reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason;
    };
    if (event->type() == QEvent::FocusOut && !m_bInRangeMessage && leaving()) {
        if (watched == m_pMaxEdit && !m_pMaxEdit->isReadOnly())
            QMetaObject::invokeMethod(this, [this] { OnFrequencyLeft(true); }, Qt::QueuedConnection);
        else if (watched == m_pMinEdit && !m_pMinEdit->isReadOnly())
            QMetaObject::invokeMethod(this, [this] { OnFrequencyLeft(false); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void CTonmiraView::OnTruncate()
{
    BeginWaitCursor();
    m_pCore->Truncate();
    EndWaitCursor();
}

void CTonmiraView::OnUndo()
{
    // Copying a long take back takes a while.
    BeginWaitCursor();
    m_pCore->Undo();
    EndWaitCursor();
}

void CTonmiraView::OnStop()
{
    // Moving a long recording into the take takes a while.
    BeginWaitCursor();
    m_pCore->m_session.Command([this] { m_pCore->m_transport.OnStop(); });
    EndWaitCursor();
}

void CTonmiraView::ToggleGraphType()
{
    m_pCore->m_bLogGraph = !m_pCore->m_bLogGraph;
    InvalidateGraphs();
}

void CTonmiraView::ShowDetectLevel()
{
    // The window's spectrum goes to the detection-level window as it is computed.
    m_pCore->m_session.Command([] {}, kChangeAnalysis);
    ShowFreqLevelWindow(Dialogs());
}

void CTonmiraView::StopForClose()
{
    if (m_pCore)
        m_pCore->m_session.ShutDown();
}

void CTonmiraView::TakeEdited() { m_pCore->m_session.Command([] {}, kChangeTakeEdited | kChangeAnalysis); }

}  // namespace tonmira::ui
