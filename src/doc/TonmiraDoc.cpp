#include "doc/TonmiraDoc.h"

#include <cstdlib>

namespace tonmira {

CTonmiraDoc::CTonmiraDoc(MessageSink& sink) : m_sink(sink) {}

CTonmiraDoc::~CTonmiraDoc()
{
    if (m_pMono != m_pData)
        std::free(m_pMono);
    std::free(m_pData);
    std::free(m_pReverse);
}

}  // namespace tonmira
