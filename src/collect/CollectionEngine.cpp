#include "collect/CollectionEngine.h"

#include <system_error>

#include "collect/EventHost.h"

namespace tonmira {

namespace {

// What the steps ask of the screen is noted in the event; the owner does it afterwards.
class NotingEventHost : public EventHost {
public:
    explicit NotingEventHost(CollectEvent& event) : m_event(event) {}
    void ReplayEvent(int nPlayCount) override { m_event.m_nReplays = nPlayCount; }
    void ShowRejectedEvent() override { m_event.m_bRejectedShown = true; }

private:
    CollectEvent& m_event;
};

}  // namespace

CCollectionEngine::~CCollectionEngine() { Finish(); }

void CCollectionEngine::ProcessEvent(CollectEvent& event) const
{
    NotingEventHost host(event);
    EventProcessor processor(event.m_take, event.m_settings, *event.m_pFft, event.m_pSpectrum.get(), m_clock,
                             event.m_messages, host);
    processor.m_bAmplifyTake = event.m_bAmplifyTake;
    event.m_outcome = processor.Process(event.m_nDetectLevel);
}

bool CCollectionEngine::Start(std::unique_ptr<CollectEvent>& event, std::function<void()> onDone)
{
    m_bDone.store(false, std::memory_order_relaxed);  // no worker runs: nothing to order with
    CollectEvent* owned = event.get();
    try {
        m_worker = std::thread([this, owned, onDone = std::move(onDone)] {
            ProcessEvent(*owned);
            m_bDone.store(true, std::memory_order_release);  // pairs with IsDone's acquire
            if (onDone)
                onDone();
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_pEvent = std::move(event);
    return true;
}

std::unique_ptr<CollectEvent> CCollectionEngine::Finish()
{
    if (m_worker.joinable())
        m_worker.join();
    return std::move(m_pEvent);
}

}  // namespace tonmira
