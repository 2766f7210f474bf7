// The view's commands and control notifications: each goes to the core, then the screen follows.
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>
#include <QThread>

#include "dsp/FftSize.h"
#include "ui/ViewDialogs.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/UpDownControl.h"
#include "view/FrequencyRange.h"

namespace tonmira::ui {

void CTonmiraView::OnTimer(int id)
{
    m_pCore->m_transport.OnTimer(id);
    TransportChanged();
}

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
    m_pCore->m_transport.OnHScroll(code, static_cast<UINT>(m_pSlider->sliderPosition()));
    // The slider shows the position the transport chose, not its own step.
    m_pSlider->setSliderPosition(static_cast<int>(doc.m_pData ? doc.m_nPosition : before));
    TransportChanged();
}

void CTonmiraView::OnFftSizeChosen(int index)
{
    view::ViewCore& core = *m_pCore;
    if (!core.ChangeFftSize(index)) {
        for (int k = 0; k < kFftSizeCount; ++k)
            if ((kMinFftSize << k) == core.m_analysis.m_nFftSize)
                m_pFftCombo->setCurrentIndex(k);
        TransportChanged();
        return;
    }
    const CTonmiraDoc& doc = core.m_doc;
    const UINT n = static_cast<UINT>(core.m_analysis.m_nFftSize);
    SetSliderRange(0, doc.m_nSamples > n ? doc.m_nSamples - n : 0);
    if (doc.m_nState == TransportState::Idle)
        SetSliderPosition(doc.m_nPosition);
    InvalidateAnalysis();
    TransportChanged();
}

void CTonmiraView::AfterRangeStep()
{
    UpdateControlsFromMembers();
    m_pCore->m_analysis.m_bRecalcPeaks = 0;
    InvalidateGraphs();
}

void CTonmiraView::OnMaxSpin(int pos, int delta, bool* refuse)
{
    WindowAnalysis& a = m_pCore->m_analysis;
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
    WindowAnalysis& a = m_pCore->m_analysis;
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
    (maxEdit ? m_pCore->m_analysis.m_nMaxFreq : m_pCore->m_analysis.m_nMinFreq) = value;
    (maxEdit ? m_pMaxSpin : m_pMinSpin)->SetPos(value);
}

void CTonmiraView::OnFrequencyLeft(bool maxEdit)
{
    WindowAnalysis& a = m_pCore->m_analysis;
    a.m_nMaxFreq = m_pMaxEdit->text().toInt();
    a.m_nMinFreq = m_pMinEdit->text().toInt();
    const std::string message = view::RangeMessageOnLeave(a.m_nMinFreq, a.m_nMaxFreq, maxEdit);
    if (message.empty()) {
        a.m_bRecalcPeaks = 0;
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
    if (event->type() == QEvent::FocusOut && !m_bInRangeMessage) {
        if (watched == m_pMaxEdit && !m_pMaxEdit->isReadOnly())
            QMetaObject::invokeMethod(this, [this] { OnFrequencyLeft(true); }, Qt::QueuedConnection);
        else if (watched == m_pMinEdit && !m_pMinEdit->isReadOnly())
            QMetaObject::invokeMethod(this, [this] { OnFrequencyLeft(false); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void CTonmiraView::OnTruncate()
{
    view::ViewCore& core = *m_pCore;
    CTonmiraDoc& doc = core.m_doc;
    BeginWaitCursor();
    if (doc.TruncateToMarks()) {
        doc.SetModifiedFlag();
        const UINT n = static_cast<UINT>(core.m_analysis.m_nFftSize);
        SetSliderRange(0, doc.m_nSamples > n ? doc.m_nSamples - n : 0);
        SetSliderPosition(0);
        core.m_transport.SetPositionText("00:00.000");
        UpdateControlsFromMembers();
        InvalidateAnalysis();
    }
    EndWaitCursor();
}

void CTonmiraView::ToggleGraphType()
{
    m_pCore->m_bLogGraph = !m_pCore->m_bLogGraph;
    InvalidateGraphs();
}

void CTonmiraView::ShowDetectLevel()
{
    m_pCore->m_analysis.m_bRecalcPeaks = 1;
    InvalidateGraphs();
    ShowFreqLevelWindow(Dialogs());
}

void CTonmiraView::StopForClose()
{
    if (!m_pCore)
        return;
    view::ViewCore& core = *m_pCore;
    if (core.m_pEngine)
        core.m_pEngine->m_bFinishing.store(true, std::memory_order_release);  // pairs with the worker's acquire
    // A busy worker needs this thread to run its calls: keep serving them until it is done.
    while (core.IsCollectBusy()) {
        if (core.m_doc.m_nState == TransportState::Playing)
            core.m_transport.OnStop();  // ends a replay; the worker goes on
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    if (core.m_pEngine)
        core.m_pEngine->JoinWorker();
    if (core.m_doc.m_nState != TransportState::Idle)
        core.m_transport.OnStop();
    if (core.m_doc.m_nState != TransportState::Idle)
        core.m_transport.OnDestroy();  // the take could not grow: the devices close all the same
    m_host.KillTimer(kTransportTimer);
}

}  // namespace tonmira::ui
