#include "view/ViewCore.h"

#include "audio/TransportHost.h"
#include "collect/RangeExpansion.h"
#include "dsp/FftSize.h"
#include "view/InitialFormat.h"

namespace tonmira::view {

ViewCore::ViewCore(MessageSink& sink, TransportHost& host, CollectHost& collectHost, WaveBackend& backend,
                   const LocalClock& clock)
    : m_sink(sink),
      m_session(host, backend, collectHost, clock),
      m_doc(m_session.Doc()),
      m_analysis(m_session.Analysis()),
      m_transport(m_session.Transport()),
      m_settings(m_session.Settings()),
      m_collection(m_session.Collection())
{
    m_session.Follow(true);
    // First subscriber: the range is right before the window hears of the change.
    m_nBandSubscription = m_session.Changes().Subscribe([this](ChangeSet changes) {
        if (changes & kChangeWholeBand)
            m_display.ShowWholeBand(m_doc.m_header.nSamplesPerSec);
    });
    DWORD formats = 0;
    if (m_transport.Device().QueryInputFormats(formats))
        m_transport.SetInputFormats(formats);
    m_nUndoSubscription = m_session.Changes().Subscribe([this](ChangeSet changes) {
        if (m_bOwnEdit)
            return;
        // A new or edited take, or a recording started: the copy no longer fits what is shown.
        if ((changes & (kChangeTakeReplaced | kChangeTakeEdited)) || m_doc.m_nState == TransportState::Recording)
            m_undo.Clear();
    });
}

ViewCore::~ViewCore()
{
    m_session.ShutDown();
    m_session.Changes().Unsubscribe(m_nBandSubscription);
    m_session.Changes().Unsubscribe(m_nUndoSubscription);
}

bool ViewCore::UndoableEdit(const std::function<bool()>& edit)
{
    m_bOwnEdit = true;
    bool changed = false;
    m_session.Command(
        [&] {
            m_undo.Capture(m_doc);
            changed = edit();
            if (!changed)
                m_undo.Clear();
        },
        kChangeTransport);
    m_bOwnEdit = false;
    return changed;
}

void ViewCore::ShowTakeAt(UINT position)
{
    const UINT n = static_cast<UINT>(m_analysis.m_nFftSize);
    const UINT limit = m_doc.m_nSamples > n ? m_doc.m_nSamples - n : 0;
    m_transport.SetShownRange(limit, std::min(position, limit));
    m_transport.ShowPosition(position);
    m_transport.ShowFieldsFromMembers();
}

bool ViewCore::Truncate()
{
    // Marks over the whole take leave nothing to truncate: no copy is made for it.
    if (!m_doc.HasTake() || m_doc.m_nEndMark - m_doc.m_nStartMark + 1 == m_doc.m_nSamples)
        return false;
    return UndoableEdit([&] {
        if (!m_doc.TruncateToMarks())
            return false;
        m_doc.SetModifiedFlag();
        const UINT n = static_cast<UINT>(m_analysis.m_nFftSize);
        m_transport.SetShownRange(m_doc.m_nSamples > n ? m_doc.m_nSamples - n : 0, 0);
        m_transport.SetPositionText("00:00.000");
        m_transport.ShowFieldsFromMembers();
        m_session.Command([] {}, kChangeTakeEdited | kChangeAnalysis);
        return true;
    });
}

bool ViewCore::ExpandRange(int peak, int level)
{
    if (!m_doc.HasTake() || level == peak)
        return false;
    return UndoableEdit([&] {
        if (!tonmira::ExpandRange(m_doc, peak, level))
            return false;
        m_session.Command([] {}, kChangeTakeEdited | kChangeAnalysis);
        return true;
    });
}

bool ViewCore::Undo()
{
    if (!m_undo.CanUndo() || m_doc.m_nState != TransportState::Idle)
        return false;
    m_bOwnEdit = true;
    m_session.Command(
        [&] {
            m_undo.Restore(m_doc);
            ShowTakeAt(m_doc.m_nPosition);
        },
        kChangeTakeEdited | kChangePosition | kChangeFields | kChangeTransport | kChangeAnalysis);
    m_bOwnEdit = false;
    return true;
}

BOOL ViewCore::InitialUpdate()
{
    if (!m_doc.HasTake() && !IsValidRecordFormat(m_doc.m_header)) {
        FormatFromInputBits(m_transport.InputFormats(), m_doc.m_header);
        m_display.ShowWholeBand(m_doc.m_header.nSamplesPerSec);
    }
    return m_session.InitialUpdate();
}

bool ViewCore::ChangeFftSize(int index)
{
    if (index < 0 || index >= kFftSizeCount)
        return false;
    const int size = kMinFftSize << index;
    bool ok = false;
    m_session.Command(
        [&] {
            const bool wasPlaying = m_doc.m_nState == TransportState::Playing;
            const BOOL wasPaused = m_doc.m_bPause;
            if (wasPlaying) {
                // Paused first, so that the stop keeps the position for the restart.
                if (!m_doc.m_bPause)
                    m_transport.OnPause();
                m_transport.OnStop();
                if (!WindowAnalysis::FftSizeFitsTake(m_doc, size, m_sink))
                    return;
            }
            ok = m_analysis.ChangeFftSize(m_doc, size, m_sink) != 0;
            if (wasPlaying) {
                m_doc.m_bPause = wasPaused;
                m_transport.OnPlay();
            }
            if (ok) {
                const UINT n = static_cast<UINT>(m_analysis.m_nFftSize);
                const bool idle = m_doc.m_nState == TransportState::Idle;
                const UINT shown = idle ? m_doc.m_nPosition : m_transport.ShownPosition();
                m_transport.SetShownRange(m_doc.m_nSamples > n ? m_doc.m_nSamples - n : 0, shown);
                // A larger N may have pulled the position back: its text follows.
                if (idle)
                    m_transport.ShowPosition(shown);
            }
        },
        kChangeFftSize | kChangePosition | kChangeTransport | kChangeAnalysis);
    return ok;
}

void ViewCore::ApplyCollectSettings() { m_session.ApplyCollectSettings(); }

}  // namespace tonmira::view
