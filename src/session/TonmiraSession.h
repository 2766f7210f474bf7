#pragma once
// TonmiraSession: the one object a front end owns, and the one API of the core for the window and
// the command line. It holds the document, the analysis of the window at the position, the
// transport, the collection settings and the collection cycle, wired to each other once. Each
// fact lives in one of them: N and the displayed frequency range in the analysis, the take and
// its format in the document, the collection's figures in the settings. The front end supplies
// what is its own: timers and messages (TransportHost), the device backend, the worker's post to
// the owner's thread (CollectHost) and the local time. Those outlive the session.
//
// Announcing: commands and timer ticks go through the session (Command, OnTimer); what they
// changed is collected and published once at their end, after the analysis has been recomputed
// when one of its inputs (position, N, range, balance, take) changed and Follow(true) is set.
// Subscribers are called in the order they subscribed, each with the whole set of changes; the
// session itself acts first (analysis, collection cycle), so a subscriber always reads results
// that match the changes it hears about.
//
// Threads: one thread owns the session (the UI thread of the desktop program, the main loop of
// tonmira-cli): it constructs and destroys it, calls everything on it, and runs every host call,
// timer tick and subscriber. Two other threads exist: the device callback, which touches only the
// wave device's atomics, and the collection worker, which touches only the event it was given.
#include <functional>

#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "base/Changes.h"
#include "base/Types.h"
#include "collect/CollectSettings.h"
#include "doc/TonmiraDoc.h"
#include "dsp/Fundamentals.h"
#include "dsp/WindowAnalysis.h"
#include "session/CollectionCycle.h"

namespace tonmira {

class CollectHost;
class LocalClock;
class WaveBackend;

class TonmiraSession {
public:
    TonmiraSession(TransportHost& host, WaveBackend& backend, CollectHost& collectHost, const LocalClock& clock);
    // Joins a collection worker still computing (it needs nothing from this thread), then closes
    // the devices. Call ShutDown first to have the event logged.
    ~TonmiraSession();
    TonmiraSession(const TonmiraSession&) = delete;
    TonmiraSession& operator=(const TonmiraSession&) = delete;

    CTonmiraDoc& Doc() { return m_doc; }
    const CTonmiraDoc& Doc() const { return m_doc; }
    WindowAnalysis& Analysis() { return m_analysis; }
    const WindowAnalysis& Analysis() const { return m_analysis; }
    CTransport& Transport() { return m_transport; }
    const CTransport& Transport() const { return m_transport; }
    CollectionCycle& Collection() { return m_cycle; }
    // Change, then ApplyCollectSettings. Each event is processed with its own copy.
    CollectSettings& Settings() { return m_settings; }

    // --- What changed ---
    ChangePublisher& Changes() { return m_publisher; }
    // Whether the analysis follows its inputs (a window shows it); off by default, so that a
    // recording or collection without a screen computes no spectrum it does not need.
    void Follow(bool follow) { m_bFollow = follow; }
    // The five fundamental boxes of the last recomputation.
    const FundamentalBoxes& Fundamentals() const { return m_boxes; }

    // --- Commands (owner's thread) ---
    // Runs fn as one command: what it changes (through the transport, or named in `changes`
    // for what the caller changed itself) is published once when it returns.
    void Command(const std::function<void()>& fn, ChangeSet changes = kChangeTransport);
    // Timer ticks from the host: the transport's timer 1 and the collection's pause.
    void OnTimer(int id);
    // Every New and Open ends here, once: format from the input device when the document has
    // neither a take nor a valid format, range and N from the format, transport members reset,
    // the slider over the take. Returns 0 after the memory message.
    BOOL InitialUpdate();
    // N = size (16..131072, a power of two), for the take's format: the analysis's engine,
    // spectrum and detection-level window, and from the next start the device buffers.
    // Returns 0 for a size outside the list, or after the memory message.
    BOOL SetFftSize(int size);
    // The settings' level and continuous time into the recording timer; collection is on while
    // the level is not 0.
    void ApplyCollectSettings();
    // The record command: the worker's detection level follows the detection-level window.
    void OnRecord();
    // The program ends: a recording or playback stops (a recording becomes the take), the event
    // in flight is finished and logged but not replayed, nothing records again, no device stays
    // open and no worker runs.
    void ShutDown();

private:
    // The transport's host: timers and messages go to the front end, changes into the command.
    class Link : public TransportHost {
    public:
        explicit Link(TonmiraSession& session) : m_session(session) {}
        void Message(const std::string& text) override { m_session.m_host.Message(text); }
        void SetTimer(int id, UINT ms) override { m_session.m_host.SetTimer(id, ms); }
        void KillTimer(int id) override { m_session.m_host.KillTimer(id); }
        void Changed(ChangeSet changes) override { m_session.Changed(changes); }

    private:
        TonmiraSession& m_session;
    };

    void Changed(ChangeSet changes);
    void Flush();
    void Recompute();

    TransportHost& m_host;
    Link m_link{*this};
    ChangePublisher m_publisher;
    ChangeSet m_nPending = 0;
    int m_nDepth = 0;
    bool m_bFlushing = false;
    bool m_bFollow = false;
    FundamentalBoxes m_boxes;

    CTonmiraDoc m_doc;
    WindowAnalysis m_analysis;
    CTransport m_transport;
    CollectSettings m_settings;
    // Last: it is destroyed first, joining its worker while the rest still exists.
    CollectionCycle m_cycle;
};

}  // namespace tonmira
