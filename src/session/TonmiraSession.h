#pragma once
// TonmiraSession: the one object a front end owns. It holds the document, the analysis of the
// window at the position, the transport, the collection settings and the collection engine,
// wired to each other once. Each fact lives in one of them: N (the FFT size and device buffer
// length) and the displayed frequency range in the analysis, the take and its format in the
// document, the collection's figures in the settings. The front end supplies what is its own:
// the screen and timer 1 (TransportHost, also the document's message sink), the device backend,
// the collection worker's way back to the owner's thread (CollectHost) and the local time.
// Those outlive the session.
//
// Threads: one thread owns the session (the UI thread of the desktop program, the main loop of
// tonmira-cli): it constructs and destroys it, calls everything on it, and runs every host call
// and timer tick. Two other threads exist: the device callback, which touches only the wave
// device's atomics, and the collection worker, which runs while Transport().IsCollectBusy() is
// set. The worker reaches the owner's thread through CollectHost::RunOnUiThread and meanwhile
// owns the document's samples and the analysis's FFT engine and spectrum: the owner must not
// compute a spectrum or draw the take while Engine().IsProcessing().
#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "base/Types.h"
#include "collect/CollectSettings.h"
#include "collect/CollectionEngine.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira {

class CollectHost;
class LocalClock;
class WaveBackend;

class TonmiraSession {
public:
    TonmiraSession(TransportHost& view, WaveBackend& backend, CollectHost& collectHost, const LocalClock& clock);
    // Waits for a collection worker that has finished (see CCollectionEngine::JoinWorker), then
    // closes the devices.
    ~TonmiraSession() = default;
    TonmiraSession(const TonmiraSession&) = delete;
    TonmiraSession& operator=(const TonmiraSession&) = delete;

    CTonmiraDoc& Doc() { return m_doc; }
    const CTonmiraDoc& Doc() const { return m_doc; }
    WindowAnalysis& Analysis() { return m_analysis; }
    const WindowAnalysis& Analysis() const { return m_analysis; }
    CTransport& Transport() { return m_transport; }
    const CTransport& Transport() const { return m_transport; }
    CCollectionEngine& Engine() { return m_engine; }
    // Change, then ApplyCollectSettings. The engine gives each worker its own copy.
    CollectSettings& Settings() { return m_settings; }

    // N = size (16..131072, a power of two), for the take's format: the analysis's engine,
    // spectrum and detection-level window, and from the next start the device buffers.
    // Returns 0 for a size outside the list, or after the memory message.
    BOOL SetFftSize(int size) { return m_analysis.SetFftSize(size, m_doc, m_view); }

    // The settings' level and continuous time into the recording timer; collection is on while
    // the level is not 0.
    void ApplyCollectSettings() { m_engine.ApplySettings(); }

private:
    TransportHost& m_view;
    CTonmiraDoc m_doc;
    WindowAnalysis m_analysis;
    CTransport m_transport;
    CollectSettings m_settings;
    // Last: it is destroyed first, joining its worker while the rest still exists.
    CCollectionEngine m_engine;
};

}  // namespace tonmira
