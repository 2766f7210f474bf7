#include <gtest/gtest.h>

#include <cmath>

#include "CollectionFixture.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr int kSoakSeconds = 20 * 60;  // the race detector is slow; the pattern repeats anyway
#else
constexpr int kSoakSeconds = 2 * 3600;
#endif
constexpr int kEverySeconds = 15;

// A burst every 15 s: 0.2 s of 1000 Hz, loud and quiet in turn (quiet ones miss the play level).
std::int16_t SoakSample(std::uint64_t i)
{
    const std::uint64_t period = std::uint64_t(kEverySeconds) * 8000;
    const std::uint64_t k = i / period, at = i % period;
    if (at < 40000 || at >= 41600)
        return 0;
    static const double kSine[8] = {0, 0.70710678, 1, 0.70710678, 0, -0.70710678, -1, -0.70710678};
    return static_cast<std::int16_t>(std::lround((k % 2 ? 3000 : 12000) * kSine[i % 8]));
}

using CollectionSoakTest = CollectionFixture;

TEST_F(CollectionSoakTest, HoursOfEventsLeaveOneFilePerKeptEventAndNothingBehind)
{
    settings.m_nPlayLevel = 5000;
    settings.m_nPlayCount = 1;
    const std::uint64_t bytes = std::uint64_t(kSoakSeconds) * kRate * 2;
    run->SetInput(
        [](BYTE* dst, std::size_t count, std::uint64_t offset) {
            for (std::size_t b = 0; b < count; b += 2) {
                std::uint16_t v = static_cast<std::uint16_t>(SoakSample((offset + b) / 2));
                dst[b] = static_cast<BYTE>(v & 0xFF);
                dst[b + 1] = static_cast<BYTE>(v >> 8);
            }
        },
        bytes, LocalDateTime{2024, 3, 5, 23, 0, 0});
    int accepted = 0;
    run->m_onEvent = [&](const EventOutcome& outcome) {
        accepted += outcome.m_figures.m_bAccepted;
        events.push_back({outcome, doc.m_nSamples});
    };
    ASSERT_TRUE(run->Run());
    EXPECT_TRUE(sink.m_messages.empty());
    const std::size_t expected = kSoakSeconds / kEverySeconds;
    ASSERT_EQ(events.size(), expected);
    EXPECT_EQ(accepted, static_cast<int>(expected / 2));
    EXPECT_EQ(Files().size(), expected / 2);
    for (std::size_t e = 0; e < events.size(); ++e)
        ASSERT_EQ(events[e].outcome.m_figures.m_nPeak, e % 2 ? 3000 : 12000) << e;
    // The last event is written past midnight of the recording's own day.
    EXPECT_EQ(std::filesystem::path(events.back().outcome.m_strEventFile).filename().string().substr(0, 8),
              kSoakSeconds > 3600 ? "20240306" : "20240305");
    EXPECT_FALSE(doc.HasTake());
    EXPECT_EQ(run->Transport().RecordedFrames(), 0u);
}

}  // namespace
