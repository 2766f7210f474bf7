#pragma once
// A transport on the simulated device with a host that records what the screen would show,
// driven by a timer loop in virtual time: each jump of the clock first moves the device on.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/SimulatedBackend.h"
#include "audio/TimerLoop.h"
#include "audio/Transport.h"
#include "audio/TransportHost.h"
#include "doc/TakeFigures.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftSize.h"
#include "dsp/WindowAnalysis.h"

namespace tonmira::test {

class RecordingHost : public TransportHost {
public:
    TimerLoop* m_pLoop = nullptr;
    const WindowAnalysis* m_pAnalysis = nullptr;
    std::vector<std::string> m_messages;
    int m_nInvalidations = 0;   // announcements that ask for the analysis afresh
    int m_nControlUpdates = 0;  // announcements that show the fields from the members
    std::vector<UINT> m_timerPeriods;  // every SetTimer(1, ...)
    std::deque<RecordSetupValues> m_setupAnswers;  // OK with these values; empty = Cancel
    std::vector<RecordSetupValues> m_setupShown;
    int m_nRateChangeIndex = -1;  // the FFT-size index announced with a new format
    bool m_bWholeBand = false;    // the displayed range was told to show the whole band

    void Message(const std::string& text) override { m_messages.push_back(text); }
    void SetTimer(int id, UINT ms) override
    {
        if (id == 1)
            m_timerPeriods.push_back(ms);
        m_pLoop->SetTimer(id, ms);
    }
    void KillTimer(int id) override { m_pLoop->KillTimer(id); }
    void Changed(ChangeSet changes) override
    {
        if (changes & kChangeAnalysis)
            ++m_nInvalidations;
        if (changes & kChangeFields)
            ++m_nControlUpdates;
        m_bWholeBand = m_bWholeBand || (changes & kChangeWholeBand);
        if ((changes & kChangeFormat) && m_pAnalysis)
            for (int k = 0; (kMinFftSize << k) <= m_pAnalysis->m_nFftSize; ++k)
                if ((kMinFftSize << k) == m_pAnalysis->m_nFftSize)
                    m_nRateChangeIndex = k;
    }
    bool RunRecordSetupDialog(RecordSetupValues& values)
    {
        m_setupShown.push_back(values);
        if (m_setupAnswers.empty())
            return false;
        values = m_setupAnswers.front();
        m_setupAnswers.pop_front();
        return true;
    }
};

class CollectProbe : public CollectHandOver {
public:
    bool OnCollectHandOver() override
    {
        ++m_nCalls;
        return true;
    }
    void ClearCollectLevel() override {}
    int m_nCalls = 0;
};

struct TransportFixture : ::testing::Test {
    SimulatedBackend backend;
    RecordingHost host;
    CTonmiraDoc doc{host};
    WindowAnalysis analysis;  // holds N
    VirtualClock clock;
    std::unique_ptr<CTransport> transport;
    std::unique_ptr<TimerLoop> loop;

    TransportFixture()
    {
        analysis.SetFftSize(4096, host);
        transport = std::make_unique<CTransport>(doc, analysis, host, backend);
        loop = std::make_unique<TimerLoop>(clock, [this](int id) { transport->OnTimer(id); });
        host.m_pLoop = loop.get();
        host.m_pAnalysis = &analysis;
        clock.m_onAdvance = [this](std::int64_t us) { backend.AdvanceTime(static_cast<std::uint64_t>(us)); };
    }
    ~TransportFixture() override { transport.reset(); }

    void SetFormat(DWORD rate, WORD bits, WORD channels, int fftSize)
    {
        doc.m_header.nSamplesPerSec = rate;
        doc.m_header.wBitsPerSample = bits;
        doc.m_header.nChannels = channels;
        ASSERT_TRUE(analysis.SetFftSize(fftSize, host));
    }

    // Puts a 16-bit take into the document as a load would.
    void LoadTake16(const std::vector<std::int16_t>& samples, WORD channels)
    {
        doc.m_header.nChannels = channels;
        doc.m_header.wBitsPerSample = 16;
        doc.m_pData = static_cast<BYTE*>(std::malloc(samples.size() * 2));
        std::memcpy(doc.m_pData, samples.data(), samples.size() * 2);
        doc.m_nSamples = static_cast<UINT>(samples.size() / channels);
        doc.m_nBalance = 50;
        doc.BuildMonoBuffer();
        doc.m_nEndMark = doc.m_nSamples - 1;
        doc.m_nPosition = 0;
        doc.m_nStartMark = 0;
    }

    // The record settings command, its dialog answered by the host.
    void RecordSetup()
    {
        transport->OnRecordSetup([this](RecordSetupValues& values) { return host.RunRecordSetupDialog(values); });
    }

    // Runs the timer until the transport is idle again (or `ms` of virtual time pass).
    bool RunUntilIdle(std::int64_t ms)
    {
        return loop->RunUntil([this] { return doc.m_nState == TransportState::Idle; }, clock.NowUs() + ms * 1000);
    }
    // Runs the timer for `ms` of virtual time.
    void RunFor(std::int64_t ms)
    {
        const std::int64_t limit = clock.NowUs() + ms * 1000;
        loop->RunUntil([] { return false; }, limit);
        clock.JumpTo(limit);
    }
};

}  // namespace tonmira::test
