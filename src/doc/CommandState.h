#pragma once
// Which commands can be used, and which show checked, in the document's present state.
// The desktop program asks this for every menu item and tool-bar button it updates.
#include "doc/CommandIds.h"

namespace tonmira {

class CTonmiraDoc;

struct CommandState {
    bool m_bHandled = false;  // false: the document has no rule for this id
    bool m_bEnable = false;
    bool m_bSetCheck = false;  // false: leave the check mark as it is
    bool m_bCheck = false;
};

CommandState GetCommandState(const CTonmiraDoc& doc, int commandId);

}  // namespace tonmira
