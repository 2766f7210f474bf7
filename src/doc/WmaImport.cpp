#include "doc/WmaImport.h"

#include "doc/MessageSink.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

// Placeholder until the FFmpeg-based reader lands: refuses every WMA file with a clear message.
BOOL LoadWmaFile(CTonmiraDoc& doc)
{
    doc.m_sink.Message("WMA import is not available in this build.");
    return 0;
}

}  // namespace tonmira
