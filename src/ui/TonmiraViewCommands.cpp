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
#include "view/FrameCommandIds.h"
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
    core.m_session.Command(
        [&] {
            if (!doc.TruncateToMarks())
                return;
            doc.SetModifiedFlag();
            const UINT n = static_cast<UINT>(core.m_analysis.m_nFftSize);
            core.m_transport.SetShownRange(doc.m_nSamples > n ? doc.m_nSamples - n : 0, 0);
            core.m_transport.SetPositionText("00:00.000");
            core.m_transport.ShowFieldsFromMembers();
            core.m_session.Command([] {}, kChangeTakeEdited | kChangeAnalysis);
        },
        kChangeTransport);
    EndWaitCursor();
}

void CTonmiraView::OnCommand(int id)
{
    view::ViewCore& core = *m_pCore;
    TonmiraSession& session = core.m_session;
    CTransport& t = core.m_transport;
    const DialogContext ctx{this, core};
    auto command = [&](void (CTransport::*fn)()) { session.Command([&] { (t.*fn)(); }); };
    switch (id) {
    case kCmdPlay: command(&CTransport::OnPlay); break;
    case kCmdStop:
        // Moving a long recording into the take takes a while.
        BeginWaitCursor();
        command(&CTransport::OnStop);
        EndWaitCursor();
        break;
    case kCmdPause: command(&CTransport::OnPause); break;
    case kCmdRecord: session.OnRecord(); break;
    case kCmdToStart: command(&CTransport::OnGoTop); break;
    case kCmdToEnd: command(&CTransport::OnGoEnd); break;
    case kCmdReverse: command(&CTransport::OnReverse); break;
    case kCmdBalance: {
        int balance = core.m_doc.m_nBalance;
        if (RunBalanceDialog(ctx, balance))
            session.Command([&] { t.ApplyBalance(balance); });
        break;
    }
    case kCmdSpeed: {
        int speed = t.Speed();
        if (RunSpeedDialog(ctx, speed))
            t.SetSpeed(speed);  // applies from the next play command
        break;
    }
    case kCmdLock: command(&CTransport::OnLock); break;
    case kCmdStartMark: command(&CTransport::OnStartMark); break;
    case kCmdEndMark: command(&CTransport::OnEndMark); break;
    case kCmdRecordSetup:
        session.Command([&] { t.OnRecordSetup([&](RecordSetupValues& values) { return RunRecordSetupDialog(ctx, values); }); });
        break;
    case kCmdTruncate: OnTruncate(); break;
    case kCmdRangeExpand: RunRangeExpansionDialog(ctx); break;
    case kCmdAutoRecordSetup: RunAutoRecordDialog(ctx); break;
    case kCmdDetectionCalc: RunDetectionCalcDialog(ctx); break;
    case kCmdSavePcmData: RunSavePcmData(ctx); break;
    case kCmdSaveSpectrumData: RunSaveSpectrumData(ctx); break;
    case kCmdSaveSpectrumTransition: RunSaveSpectrumTransition(ctx); break;
    case kCmdSaveMonoData: RunSaveMonoData(ctx); break;
    case view::kCmdProperties: RunPropertyDialog(ctx); break;
    case view::kCmdGraphType:
        core.m_bLogGraph = !core.m_bLogGraph;
        InvalidateGraphs();
        break;
    case view::kCmdDetectLevel:
        // The window's spectrum goes to the detection-level window as it is computed.
        session.Command([] {}, kChangeAnalysis);
        ShowFreqLevelWindow(ctx);
        break;
    default:
        return;
    }
    TransportChanged();
}

void CTonmiraView::StopForClose()
{
    if (m_pCore)
        m_pCore->m_session.ShutDown();
}

void CTonmiraView::TakeEdited() { m_pCore->m_session.Command([] {}, kChangeTakeEdited | kChangeAnalysis); }

}  // namespace tonmira::ui
