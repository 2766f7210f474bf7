#pragma once
// Offline collection in-process on a generated recording: bursts of a 1000 Hz tone (its peak
// falls on a sample at 8000 Hz, so P is the burst's amplitude) in silence, fed through the
// simulated input device; every processed event is kept with its take length.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TakeFactory.h"
#include "TestUtil.h"
#include "collect/CollectSettings.h"
#include "collect/EventProcessor.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "session/OfflineCollection.h"

namespace tonmira::test {

struct Burst {
    double startS;
    double lengthS;
    int amplitude = 12000;
};

struct CollectedEvent {
    EventOutcome outcome;
    UINT frames = 0;  // the event's take
};

struct CollectionFixture : ::testing::Test {
    static constexpr DWORD kRate = 8000;
    static constexpr int kN = 256;  // 32 ms buffers

    CapturingMessageSink sink;
    std::unique_ptr<OfflineCollection> run = std::make_unique<OfflineCollection>(sink);
    // The session's own document and settings: what the tests change, the run uses.
    CTonmiraDoc& doc = run->Session().Doc();
    CollectSettings& settings = run->Session().Settings();
    TempDir dir;
    std::vector<BYTE> input;
    std::vector<CollectedEvent> events;
    bool started = false;

    CollectionFixture()
    {
        settings.m_nCollectLevel = 1000;
        settings.m_nContinuousMs = 200;
        settings.m_strOutputFolder = dir.Path().string();
        doc.m_header.nSamplesPerSec = kRate;
        doc.m_header.wBitsPerSample = 16;
        doc.m_header.nChannels = 1;
        EXPECT_TRUE(run->Session().SetFftSize(kN));
    }
    ~CollectionFixture() override { run.reset(); }

    // 16-bit mono input of `seconds` holding the bursts.
    void MakeInput(double seconds, const std::vector<Burst>& bursts)
    {
        const double pi = 2 * std::asin(1.0);
        std::vector<std::int16_t> s(static_cast<std::size_t>(seconds * kRate), 0);
        for (const Burst& b : bursts) {
            std::size_t from = static_cast<std::size_t>(b.startS * kRate);
            std::size_t to = from + static_cast<std::size_t>(b.lengthS * kRate);
            for (std::size_t i = from; i < to && i < s.size(); ++i)
                s[i] = static_cast<std::int16_t>(std::lround(b.amplitude * std::sin(2 * pi * 1000.0 * double(i) / kRate)));
        }
        input.resize(s.size() * 2);
        std::memcpy(input.data(), s.data(), input.size());
    }

    OfflineCollection& Start(const LocalDateTime& start = LocalDateTime{2024, 3, 5, 14, 7, 9})
    {
        run->SetInput(
            [this](BYTE* dst, std::size_t bytes, std::uint64_t offset) { std::memcpy(dst, input.data() + offset, bytes); },
            input.size(), start);
        started = true;
        run->m_onEvent = [this](const EventOutcome& outcome) { events.push_back({outcome, doc.m_nSamples}); };
        return *run;
    }

    // Counts the replays as the simulated output sees them start.
    void CountReplays(std::function<void()> alsoOnStep = nullptr)
    {
        // Each replay opens the output device once (one after another may follow in one tick).
        run->m_onStep = [this, alsoOnStep] {
            replays = run->Backend().OpenCount(WaveDirection::Output);
            if (alsoOnStep)
                alsoOnStep();
        };
    }
    int replays = 0;

    bool Collect()
    {
        if (!started)
            Start();
        return run->Run();
    }

    // The event files in the folder (not the event log).
    std::vector<std::string> Files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            if (entry.path().filename() != "events.csv")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Samples of a 16-bit event file's data whose magnitude reaches the level.
    static int LoudSamples(const std::string& path, int level)
    {
        std::string bytes = ReadFileBytes(path);
        int loud = 0;
        for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
            int v = static_cast<std::int16_t>(static_cast<BYTE>(bytes[i]) | (static_cast<BYTE>(bytes[i + 1]) << 8));
            loud += std::abs(v) >= level;
        }
        return loud;
    }
};

}  // namespace tonmira::test
