#pragma once
// The main view's core: the session (document, analysis of the window at the position, transport
// on a wave backend, collection settings and engine) with the view's own rules around it. The Qt
// view owns one and only paints and forwards input; the tests drive it without a widget.
// UI thread only, except what the collection engine documents for its worker.
#include "audio/Transport.h"
#include "collect/CollectionEngine.h"
#include "collect/CollectSettings.h"
#include "collect/LocalClock.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "session/TonmiraSession.h"

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
    ViewCore(MessageSink& sink, TransportHost& host, CollectHost& collectHost, WaveBackend& backend,
             const LocalClock& clock);
    ~ViewCore();
    ViewCore(const ViewCore&) = delete;
    ViewCore& operator=(const ViewCore&) = delete;

    // Every New and Open ends here: format from the input device when the document has neither a
    // take nor a valid format, range and N from the format, transport members reset for the new
    // take. Returns 0 after the memory message.
    BOOL InitialUpdate();

    // The FFT-size choice (index k = 16 x 2^k). While playing the playback is paused, stopped and
    // restarted with buffers of the new size; a size larger than the take stops it with the
    // message and returns false (the caller puts the combo back).
    bool ChangeFftSize(int index);

    // The transport changed the rate (record settings); the analysis already holds the new N and
    // range. Nothing left to do here: kept for the screen's call.
    void ApplyRateChange() {}

    // Collection settings changed (the settings dialog's OK): the recording timer gets the level.
    void ApplyCollectSettings();

    // The record command: the worker's detection level follows the detection-level window.
    void OnRecord();

    // Whether the collection worker owns the take and the analysis at the moment.
    bool IsCollectBusy() const { return m_transport.IsCollectBusy(); }

    // Graph type and other view flags.
    BOOL m_bLogGraph = 0;

    MessageSink& m_sink;
    TonmiraSession m_session;
    // The session's parts under the view's names.
    CTonmiraDoc& m_doc;
    WindowAnalysis& m_analysis;
    CTransport& m_transport;
    CollectSettings& m_settings;
    CCollectionEngine* const m_pEngine;  // never null
};

}  // namespace tonmira::view
