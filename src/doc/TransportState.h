#pragma once
// What the document's take is doing: CTonmiraDoc::m_nState, and the transport's m_nTransport as
// the collection worker sees it. The values are the ones the program has always stored.

namespace tonmira {

enum class TransportState : int { Idle = 0, Playing = 1, Recording = 2 };

}  // namespace tonmira
