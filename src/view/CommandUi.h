#pragma once
// Whether each command of the window can be used and shows checked right now: the document's
// rules for the commands it decides, the frame's own rules for the rest. Menu items, tool-bar
// buttons and keys all ask this one function, so they can never disagree.
#include "doc/CommandState.h"

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::view {

struct FrameFlags {
    bool m_bCollectBusy = false;  // the collection worker owns the take
    bool m_bToolBarVisible = true;
    bool m_bStatusBarVisible = true;
    bool m_bHasRecentFiles = false;
};

// m_bHandled false: the window has no handler for the id (always disabled).
CommandState QueryCommandUi(const CTonmiraDoc& doc, int id, const FrameFlags& flags);

}  // namespace tonmira::view
