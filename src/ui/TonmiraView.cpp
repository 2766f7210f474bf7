#include "ui/TonmiraView.h"

#include <QApplication>
#include <algorithm>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QIntValidator>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QResizeEvent>
#include <QSlider>

#include "dsp/FftSize.h"
#include "ui/ViewDialogs.h"
#include "ui/dialogs/DialogUnits.h"
#include "ui/dialogs/UpDownControl.h"
#include "ui/i18n/Translation.h"
#include "view/FormTemplate.h"

namespace tonmira::ui {

using view::ControlKind;

CTonmiraView::CTonmiraView(MessageSink& sink, WaveBackend& backend, const LocalClock& clock, QWidget* parent)
    : QWidget(parent), m_host(sink, [this](int id) { OnTimer(id); }),
      m_pCore(std::make_unique<view::ViewCore>(sink, m_host, m_host, backend, clock)),
      m_layout(DialogBaseUnits(QApplication::font()))
{
    CreateControls();
    PlaceControls();
    ConnectControls();
    setMinimumSize(1, 1);
    // First among the window's subscribers: the frame and the overview pane read the controls.
    m_nSubscription = m_pCore->m_session.Changes().Subscribe([this](ChangeSet changes) { OnSessionChanged(changes); });
}

CTonmiraView::~CTonmiraView()
{
    // The frame around is being destroyed: what the shutdown announces goes to the controls only.
    m_onStateChanged = nullptr;
    StopForClose();
    m_pCore->m_session.Changes().Unsubscribe(m_nSubscription);
    m_pCore.reset();
}

QWidget* CTonmiraView::Control(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CTonmiraView::CreateControls()
{
    for (const view::ControlTemplate& t : view::FormTemplate101()) {
        QWidget* w = nullptr;
        switch (t.kind) {
        case ControlKind::Frame: {
            auto* frame = new QFrame(this);
            frame->setFrameShape(QFrame::Box);
            frame->setLineWidth(1);
            frame->setAttribute(Qt::WA_TransparentForMouseEvents);
            (t.id == view::kIdcWaveFrame ? m_pWaveFrame : m_pSpectrumFrame) = frame;
            w = frame;
            break;
        }
        case ControlKind::Slider:
            m_pSlider = new QSlider(Qt::Horizontal, this);
            m_pSlider->setTracking(false);
            w = m_pSlider;
            break;
        case ControlKind::ReadOnlyEdit: {
            auto* edit = new QLineEdit(this);
            edit->setReadOnly(true);
            if (t.id == view::kIdcPositionEdit)
                m_pPositionEdit = edit;
            w = edit;
            break;
        }
        case ControlKind::Label:
            w = new QLabel(Tr(t.text), this);
            break;
        case ControlKind::DropList:
            m_pFftCombo = new QComboBox(this);
            for (int k = 0; k < kFftSizeCount; ++k)
                m_pFftCombo->addItem(QString::number(kMinFftSize << k));
            w = m_pFftCombo;
            break;
        case ControlKind::NumberEdit: {
            auto* edit = new QLineEdit(this);
            edit->setAlignment(Qt::AlignRight);
            edit->setValidator(new QIntValidator(0, 9999999, edit));
            edit->setReadOnly(true);  // writable from the first update on
            edit->installEventFilter(this);
            (t.id == view::kIdcMaxFreqEdit ? m_pMaxEdit : m_pMinEdit) = edit;
            w = edit;
            break;
        }
        case ControlKind::Spin: {
            auto* spin = new UpDownControl(this);
            (t.id == view::kIdcMaxFreqSpin ? m_pMaxSpin : m_pMinSpin) = spin;
            w = spin;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(this);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            for (int i = 0; i < 5; ++i)
                if (view::kIdcFundamentalList[i] == t.id)
                    m_pLists[i] = list;
            w = list;
            break;
        }
        }
        w->setObjectName(QStringLiteral("idc%1").arg(t.id));
        m_controls[t.id] = w;
    }
    // The frames stay under the controls they share the area with.
    m_pWaveFrame->lower();
    m_pSpectrumFrame->lower();
}

void CTonmiraView::PlaceControls()
{
    for (const auto& [id, control] : m_layout.Controls()) {
        QWidget* w = m_controls.at(id);
        const view::PixelRect& r = control.rect;
        int left = r.left;
        int width = r.Width();
        // A caption wider in this font than its template place keeps its whole text: the labels
        // left of the edits grow to the left, the others to the right.
        if (qobject_cast<QLabel*>(w) && w->sizeHint().width() > width) {
            const int grown = w->sizeHint().width();
            if (id == 1011 || id == 1012 || id == 1013)
                left = r.right - grown;
            width = grown;
        }
        // The size list likewise grows to the right until "131072" is whole.
        if (w == m_pFftCombo)
            width = std::max(width, w->sizeHint().width());
        w->setGeometry(left, r.top, width, r.Height());
        w->setVisible(control.visible);
    }
}

void CTonmiraView::ConnectControls()
{
    connect(m_pSlider, &QSlider::actionTriggered, this, &CTonmiraView::OnSliderAction);
    connect(m_pSlider, &QSlider::sliderReleased, this, [this] {
        MoveToSliderPosition(static_cast<UINT>(m_pSlider->sliderPosition()));
    });
    connect(m_pFftCombo, qOverload<int>(&QComboBox::activated), this, &CTonmiraView::OnFftSizeChosen);
    connect(m_pMaxSpin, &UpDownControl::deltaPos, this, &CTonmiraView::OnMaxSpin);
    connect(m_pMinSpin, &UpDownControl::deltaPos, this, &CTonmiraView::OnMinSpin);
    connect(m_pMaxEdit, &QLineEdit::textEdited, this, [this] { OnFrequencyEdited(true); });
    connect(m_pMinEdit, &QLineEdit::textEdited, this, [this] { OnFrequencyEdited(false); });
}

void CTonmiraView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_layout.OnSize(event->size().width(), event->size().height())) {
        PlaceControls();
        update();
    }
}

void CTonmiraView::OnInitialUpdate() { m_pCore->InitialUpdate(); }

void CTonmiraView::OnSessionChanged(ChangeSet changes)
{
    const view::ViewCore& core = *m_pCore;
    const view::BandDisplay& d = core.m_display;
    const CTransport& t = core.m_transport;
    if (changes & kChangeFormat) {
        for (UpDownControl* spin : {m_pMinSpin, m_pMaxSpin})
            spin->SetRange(d.m_nMinFreq, d.m_nMaxFreq);
        m_pMaxSpin->SetPos(d.m_nMaxFreq);
        m_pMinSpin->SetPos(d.m_nMinFreq);
        m_pMinEdit->setReadOnly(false);
        m_pMaxEdit->setReadOnly(false);
    }
    if (changes & (kChangeFormat | kChangeFftSize))
        for (int k = 0; k < kFftSizeCount; ++k)
            if ((kMinFftSize << k) == core.m_analysis.m_nFftSize)
                m_pFftCombo->setCurrentIndex(k);
    if (changes & (kChangeTakeReplaced | kChangeTakeEdited | kChangeFftSize | kChangeFormat))
        SetSliderRange(0, t.PositionLimit());
    if (changes & (kChangePosition | kChangeTakeReplaced | kChangeTakeEdited | kChangeFftSize))
        SetSliderPosition(t.ShownPosition());
    if (changes & kChangePosition)
        m_pPositionEdit->setText(QString::fromStdString(t.PositionField()));
    if (changes & kChangeFields)
        UpdateControlsFromMembers();
    if (changes & kChangeTransport) {
        m_pFftCombo->setEnabled(core.m_doc.m_nState != TransportState::Recording);
        const CTransport::StreamCounters& c = t.Counters();
        if (c.m_bShown) {
            const DWORD values[4] = {c.m_nWrite, c.m_nRead, c.m_nDone, c.m_nLastSize};
            for (int i = 0; i < 4; ++i)
                if (auto* edit = qobject_cast<QLineEdit*>(Control(view::kIdcCounterEdits[i])))
                    edit->setText(QString::number(values[i]));
        }
    }
    if (changes & kChangeTakeReplaced) {
        // The view's update after the first document enables the relayout, and the frame is
        // fitted to the form once: from then on the user's sizes move the controls.
        if (!m_layout.m_bUpdated) {
            m_layout.OnUpdate();
            ResizeParentToFit();
        }
        update();
    }
    if (changes & kChangeAnalysis)
        ShowFundamentals(m_pCore->m_session.Fundamentals());
    if (changes & (kChangeAnalysis | kChangePosition | kChangeTakeEdited | kChangeFftSize | kChangeFormat))
        InvalidateGraphs();
    TransportChanged();
}

void CTonmiraView::ResizeParentToFit()
{
    QWidget* frame = window();
    const QSize form(m_layout.FormWidth(), m_layout.FormHeight());
    if (frame == this) {
        resize(form);
        return;
    }
    // Bars and borders keep their sizes; only the view's share changes.
    if (frame->layout())
        frame->layout()->activate();
    frame->resize(frame->size() + form - size());
}

QSize CTonmiraView::sizeHint() const { return {m_layout.FormWidth(), m_layout.FormHeight()}; }

void CTonmiraView::SetSliderRange(UINT min, UINT max)
{
    const QSignalBlocker block(m_pSlider);
    m_pSlider->setRange(static_cast<int>(min), static_cast<int>(max));
    m_pSlider->setPageStep(m_pCore->m_analysis.m_nFftSize);
}

void CTonmiraView::SetSliderPosition(UINT position)
{
    const QSignalBlocker block(m_pSlider);
    m_pSlider->setValue(static_cast<int>(position));
}

void CTonmiraView::MoveToSliderPosition(UINT position)
{
    m_pSlider->setSliderPosition(static_cast<int>(std::min<UINT>(position, static_cast<UINT>(m_pSlider->maximum()))));
    const auto to = static_cast<UINT>(m_pSlider->sliderPosition());
    m_pCore->m_session.Command([&] { m_pCore->m_transport.OnHScroll(ScrollCode::EndScroll, to); });
}

void CTonmiraView::InvalidateGraphs()
{
    const view::PixelRect& w = m_layout.m_rcWave;
    const view::PixelRect& s = m_layout.m_rcSpectrum;
    update(QRect(w.left, w.top, w.Width() + 1, w.Height() + 1));
    update(QRect(s.left, s.top, s.Width() + 1, s.Height() + 1));
}

void CTonmiraView::UpdateControlsFromMembers()
{
    const view::ViewCore& core = *m_pCore;
    m_pMaxEdit->setText(QString::number(core.m_display.m_nMaxFreq));
    m_pMinEdit->setText(QString::number(core.m_display.m_nMinFreq));
    m_pPositionEdit->setText(QString::fromStdString(core.m_transport.PositionText()));
}

void CTonmiraView::BeginWaitCursor()
{
    if (m_nWaitCursor++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CTonmiraView::EndWaitCursor()
{
    if (m_nWaitCursor > 0 && --m_nWaitCursor == 0)
        QApplication::restoreOverrideCursor();
}

void CTonmiraView::TransportChanged()
{
    if (m_onStateChanged)
        m_onStateChanged();
}

void CTonmiraView::ShowFundamentals(const FundamentalBoxes& boxes)
{
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        m_pLists[i]->clear();
        for (double hz : boxes[i])
            m_pLists[i]->addItem(QString::fromStdString(FormatFundamental(hz)));
    }
}

}  // namespace tonmira::ui
