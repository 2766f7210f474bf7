#pragma once
// One level of undo for the edits that rewrite the whole take (truncation, range expansion): a
// copy of the take as it was before the edit, with everything the edit changes around it. Only
// the last such edit can be undone; one copy of the take is kept at most. UI thread only.
#include <optional>

#include "base/MallocBlock.h"
#include "base/Types.h"
#include "doc/WavHeader.h"

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::view {

class TakeUndo {
public:
    // Copies the take of doc, dropping any older copy first. False, without a message, when there
    // is no memory for the copy: the edit still goes ahead, it only cannot be undone.
    bool Capture(CTonmiraDoc& doc);
    bool CanUndo() const { return m_saved.has_value(); }
    void Clear() { m_saved.reset(); }
    // Puts the copied take back into doc (samples, format, marks, position, peak, modified flag)
    // and forgets it. The derived buffers are rebuilt at the document's balance. False when there
    // is nothing to undo.
    bool Restore(CTonmiraDoc& doc);

private:
    struct Saved {
        MallocBytes data;
        UINT samples = 0;
        WavHeader header{};
        UINT startMark = 0;
        UINT endMark = 0;
        UINT position = 0;
        int peak = 0;
        BOOL modified = 0;
    };
    std::optional<Saved> m_saved;
};

}  // namespace tonmira::view
