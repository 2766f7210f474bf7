#include "session/TonmiraSession.h"


namespace tonmira {

TonmiraSession::TonmiraSession(TransportHost& view, WaveBackend& backend, CollectHost& collectHost,
                               const LocalClock& clock)
    : m_view(view),
      m_doc(view),
      m_transport(m_doc, m_analysis, view, backend),
      m_engine(m_transport, m_doc, m_analysis, view, m_settings, clock, collectHost)
{
}

}  // namespace tonmira
