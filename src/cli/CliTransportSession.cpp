#include "cli/CliTransportSession.h"

#include <cstdint>

#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {
constexpr int kControlTimer = 2;  // the command's own poll, beside the transport's timer 1
constexpr std::uint32_t kControlMs = 20;
}  // namespace

CliTransportSession::CliTransportSession(MessageSink& sink)
    : m_loop(m_clock, [this](int id) {
          if (id != kControlTimer)
              m_session.OnTimer(id);
      }),
      m_host(m_loop, sink),
      m_collectHost(m_loop),
      m_session(m_host, m_backend, m_collectHost, m_localTime)
{
}

bool CliTransportSession::RunUntilIdle(const std::function<bool()>& shouldStop)
{
    bool stopped = true;
    CTonmiraDoc& doc = m_session.Doc();
    // Timer 2 only wakes the loop: the poll runs after every timer event.
    m_loop.SetTimer(kControlTimer, kControlMs);
    auto poll = [&] {
        if (doc.m_nState == TransportState::Idle)
            return true;
        if (shouldStop()) {
            m_session.Command([&] { m_session.Transport().OnStop(); });
            if (doc.m_nState != TransportState::Idle) {
                stopped = false;
                return true;
            }
        }
        return doc.m_nState == TransportState::Idle;
    };
    m_loop.RunUntil(poll, INT64_MAX);
    m_loop.KillTimer(kControlTimer);
    m_loop.KillTimer(kTransportTimer);
    return stopped;
}

}  // namespace tonmira::cli
