#pragma once
// The main view's core: the session (document, analysis of the window at the position, transport
// on a wave backend, collection settings and cycle) with the view's own rules around it. The Qt
// view owns one, subscribes to the session's changes and only paints and forwards input; the tests
// drive it without a widget. UI thread only.
#include <functional>

#include "audio/Transport.h"
#include "collect/CollectSettings.h"
#include "collect/LocalClock.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "session/TonmiraSession.h"
#include "view/TakeUndo.h"
#include "view/BandDisplay.h"

namespace tonmira {
class CollectHost;
class MessageSink;
class TransportHost;
class WaveBackend;
}  // namespace tonmira

namespace tonmira::view {

class ViewCore {
public:
    // Nothing is owned but the core objects themselves; the input device's formats are asked once.
    // The analysis follows its inputs: the view shows it.
    ViewCore(MessageSink& sink, TransportHost& host, CollectHost& collectHost, WaveBackend& backend,
             const LocalClock& clock);
    ~ViewCore();
    ViewCore(const ViewCore&) = delete;
    ViewCore& operator=(const ViewCore&) = delete;

    // Every New and Open ends here, once: format from the input device when the document has
    // neither a take nor a valid format, then the session's initial update. Returns 0 after the
    // memory message.
    BOOL InitialUpdate();

    // The FFT-size choice (index k = 16 x 2^k). While playing the playback is paused, stopped and
    // restarted with buffers of the new size; a size larger than the take stops it with the
    // message and returns false (the caller puts the combo back).
    bool ChangeFftSize(int index);

    // Collection settings changed (the settings dialog's OK): the recording timer gets the level.
    void ApplyCollectSettings();

    // The edits that rewrite the whole take, each undoable once: truncation to the marks, and range
    // expansion from peak to level. False when the take stayed as it was.
    bool Truncate();
    bool ExpandRange(int peak, int level);
    // Puts the take back as it was before the last of those edits; any other change of the take
    // (an edit, open, new, a recording, a collection event) forgets it.
    bool CanUndo() const { return m_undo.CanUndo(); }
    bool Undo();

    // Between the hand-over of a collection event and the next recording.
    bool IsCollecting() const { return m_collection.IsRunning(); }

    // Graph type and other view flags.
    BOOL m_bLogGraph = 0;
    // The displayed range and the detection window's pick.
    BandDisplay m_display;

    MessageSink& m_sink;
    TonmiraSession m_session;
    // The session's parts under the view's names.
    CTonmiraDoc& m_doc;
    WindowAnalysis& m_analysis;
    CTransport& m_transport;
    CollectSettings& m_settings;
    CollectionCycle& m_collection;

private:
    // Runs edit (which returns whether the take changed) with a copy of the take kept for undo.
    bool UndoableEdit(const std::function<bool()>& edit);
    // The transport's slider, position text and fields for a take reshaped outside it.
    void ShowTakeAt(UINT position);

    TakeUndo m_undo;
    std::size_t m_nUndoSubscription = 0;
    // Inside an undoable edit or its undo: their own announcements do not forget the copy.
    bool m_bOwnEdit = false;
    std::size_t m_nBandSubscription = 0;
};

}  // namespace tonmira::view
