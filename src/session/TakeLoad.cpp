#include "session/TakeLoad.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace tonmira {

struct TakeLoad::Channel {
    std::mutex m_mutex;
    std::condition_variable m_wake;
};

TakeLoad::TakeLoad(MessageSink& sink, FormatPrompt* prompt, Post post)
    : m_ownerSink(sink), m_pOwnerPrompt(prompt), m_post(std::move(post)), m_pChannel(std::make_shared<Channel>())
{
    m_doc.m_pFormatPrompt = &m_relay;
}

TakeLoad::~TakeLoad()
{
    Cancel();
    Join();
}

void TakeLoad::Start(const std::string& path, const CTonmiraDoc& current, std::function<void()> onFinished)
{
    m_doc.m_header = current.m_header;
    m_doc.m_bLock = current.m_bLock;
    m_worker = std::thread([this, path, onFinished = std::move(onFinished)] {
        m_bRead = m_doc.OnOpenDocument(path) != 0;
        m_post(onFinished);
    });
}

void TakeLoad::Cancel()
{
    // Relaxed: the flag publishes nothing; the lock below orders it before the wake-up, so a
    // worker waiting for an answer cannot miss it.
    m_doc.m_bCancelLoad.store(true, std::memory_order_relaxed);
    { std::lock_guard<std::mutex> lock(m_pChannel->m_mutex); }
    m_pChannel->m_wake.notify_all();
}

void TakeLoad::Join()
{
    if (m_worker.joinable())
        m_worker.join();
}

double TakeLoad::Progress() const
{
    const std::uint64_t size = m_doc.m_nLoadSize.load(std::memory_order_relaxed);
    const std::uint64_t done = m_doc.m_nLoadedBytes.load(std::memory_order_relaxed);
    return size == 0 ? 0.0 : std::min(1.0, static_cast<double>(done) / static_cast<double>(size));
}

std::vector<std::string> TakeLoad::TakeMessages()
{
    if (IsCancelled())
        return {};
    return std::exchange(m_messages.m_messages, {});
}

bool TakeLoad::AskOwner(FormatAnswer& answer)
{
    auto question = std::make_shared<Question>();
    question->answer = answer;
    question->messages = std::exchange(m_messages.m_messages, {});
    m_post([channel = m_pChannel, question, sink = &m_ownerSink, prompt = m_pOwnerPrompt] {
        {
            std::lock_guard<std::mutex> lock(channel->m_mutex);
            if (question->abandoned)
                return;
        }
        for (const std::string& text : question->messages)
            sink->Message(text);
        FormatAnswer given = question->answer;
        const bool accepted = prompt && prompt->Ask(given);
        {
            std::lock_guard<std::mutex> lock(channel->m_mutex);
            question->answer = given;
            question->accepted = accepted;
            question->answered = true;
        }
        channel->m_wake.notify_all();
    });
    std::unique_lock<std::mutex> lock(m_pChannel->m_mutex);
    m_pChannel->m_wake.wait(lock, [&] { return question->answered || IsCancelled(); });
    if (!question->answered) {
        question->abandoned = true;
        return false;
    }
    answer = question->answer;
    return question->accepted;
}

}  // namespace tonmira
