// A file read on a worker for the thread that owns the session: the take arrives whole, the
// format question is asked on the owner's thread while the worker waits, the read's messages
// reach the owner in their order, and a cancel ends even a wait for an answer.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "TestUtil.h"
#include "base/MessageSink.h"
#include "doc/DocTestUtil.h"
#include "session/TakeLoad.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

// The owner's event queue: the worker posts, the test's thread runs what was posted.
class OwnerQueue {
public:
    TakeLoad::Post Poster()
    {
        return [this](std::function<void()> fn) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_calls.push_back(std::move(fn));
        };
    }
    // Runs what was posted until done() or 10 s have passed.
    bool RunUntil(const std::function<bool()>& done)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done() && std::chrono::steady_clock::now() < until) {
            std::function<void()> fn;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (!m_calls.empty()) {
                    fn = std::move(m_calls.front());
                    m_calls.pop_front();
                }
            }
            if (fn)
                fn();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return done();
    }
    std::size_t Pending()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls.size();
    }

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
};

// Answers the format question and notes the thread that asked it.
class ThreadNotingPrompt : public ScriptedPrompt {
public:
    using ScriptedPrompt::ScriptedPrompt;
    bool Ask(FormatAnswer& answer) override
    {
        m_asker = std::this_thread::get_id();
        return ScriptedPrompt::Ask(answer);
    }
    std::thread::id m_asker;
};

std::string TextTake(int frames)
{
    std::string text;
    for (int i = 0; i < frames; ++i)
        text += std::to_string(i * 100 - 1000) + "\r\n";
    return text;
}

// Starts load on path and runs the owner's queue until the read has ended.
void ReadToEnd(TakeLoad& load, const std::string& path, CTonmiraDoc& current, OwnerQueue& owner)
{
    bool finished = false;
    load.Start(path, current, [&] { finished = true; });
    ASSERT_TRUE(owner.RunUntil([&] { return finished; }));
    load.Join();
}

// A file to read, the owner's queue, its message sink and its document (which a read leaves alone).
class TakeLoadTest : public ::testing::Test {
protected:
    std::string File(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    TempDir dir;
    CapturingMessageSink ownerSink;
    OwnerQueue owner;
    CTonmiraDoc current{ownerSink};
};

}  // namespace

TEST_F(TakeLoadTest, ReadsOnAWorkerAndAsksTheFormatOnTheOwnersThread)
{
    ThreadNotingPrompt prompt(8000, 0);
    TakeLoad load(ownerSink, &prompt, owner.Poster());
    ReadToEnd(load, File("take.txt", TextTake(40)), current, owner);

    EXPECT_EQ(prompt.m_nAsked, 1);
    EXPECT_EQ(prompt.m_asker, std::this_thread::get_id());
    ASSERT_TRUE(load.Succeeded());
    const CTonmiraDoc& doc = load.Document();
    ASSERT_EQ(doc.m_nSamples, 40u);
    EXPECT_EQ(doc.m_header.nSamplesPerSec, 8000u);
    EXPECT_EQ(static_cast<std::int16_t>(doc.m_pData[2] | doc.m_pData[3] << 8), -900);
    EXPECT_DOUBLE_EQ(load.Progress(), 1.0);
    EXPECT_TRUE(load.TakeMessages().empty());
    EXPECT_TRUE(ownerSink.m_messages.empty());
    EXPECT_FALSE(current.HasTake()) << "the owner's document is not the one read into";
}

TEST_F(TakeLoadTest, AFailedReadLeavesItsMessagesForTheOwnerInTheirOrder)
{
    TakeLoad load(ownerSink, nullptr, owner.Poster());
    ReadToEnd(load, File("bad.wav", "RIFF....WAVEjunk"), current, owner);

    EXPECT_FALSE(load.Succeeded());
    const std::vector<std::string> messages = load.TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], dir.File("bad.wav") + " へのアクセス中に不明なエラーが発生しました。");
    EXPECT_TRUE(ownerSink.m_messages.empty()) << "nothing is shown from the worker";
}

TEST_F(TakeLoadTest, CancelEndsAWaitForTheFormatAnswer)
{
    ScriptedPrompt prompt(8000, 0);
    TakeLoad load(ownerSink, &prompt, owner.Poster());
    load.Start(File("take.txt", TextTake(40)), current, [] {});
    // The question waits in the owner's queue, which is not run: the worker waits for its answer.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (owner.Pending() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(owner.Pending(), 1u);

    load.Cancel();
    auto joined = std::async(std::launch::async, [&] { load.Join(); });
    ASSERT_EQ(joined.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "the worker still waits";

    // The question posted before the cancel is dropped, not asked of nobody.
    ASSERT_TRUE(owner.RunUntil([&] { return owner.Pending() == 0; }));
    EXPECT_EQ(prompt.m_nAsked, 0);
    EXPECT_FALSE(load.Succeeded());
    EXPECT_FALSE(load.Document().HasTake());
    EXPECT_TRUE(load.TakeMessages().empty());
}
