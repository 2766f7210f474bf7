#include "view/CommandUi.h"

#include "doc/TonmiraDoc.h"
#include "view/FrameCommandIds.h"

namespace tonmira::view {

namespace {

CommandState Always(bool enable = true)
{
    CommandState s;
    s.m_bHandled = true;
    s.m_bEnable = enable;
    return s;
}

CommandState Checked(bool check)
{
    CommandState s = Always();
    s.m_bSetCheck = true;
    s.m_bCheck = check;
    return s;
}

// While a collection worker processes an event it reads and rewrites the take and the analysis;
// everything that would replace, edit, move through or play the take waits until it is done.
// Stop stays, to end a replay; so do the commands that only change the display.
bool BlockedWhileCollecting(int id)
{
    switch (id) {
    case kCmdStop:
    case kCmdGraphType:
    case kCmdDetectLevel:
    case kCmdViewToolBar:
    case kCmdViewStatusBar:
    case kCmdHelpFinder:
    case kCmdAppAbout:
    case kCmdAppExit:
        return false;
    default:
        return true;
    }
}

}  // namespace

CommandState QueryCommandUi(const CTonmiraDoc& doc, int id, const FrameFlags& flags)
{
    CommandState s = GetCommandState(doc, id);
    if (!s.m_bHandled) {
        switch (id) {
        case kCmdGraphType:
        case kCmdProperties:
        case kCmdDetectLevel:
        case kCmdAppExit:
        case kCmdAppAbout:
        case kCmdHelpFinder:
            s = Always();
            break;
        case kCmdViewToolBar:
            s = Checked(flags.m_bToolBarVisible);
            break;
        case kCmdViewStatusBar:
            s = Checked(flags.m_bStatusBarVisible);
            break;
        case kCmdRecentFile:
            s = Always(flags.m_bHasRecentFiles && doc.m_nState == 0);
            break;
        default:
            return s;  // no handler: the framework keeps it disabled
        }
    }
    if (flags.m_bCollectBusy && BlockedWhileCollecting(id))
        s.m_bEnable = false;
    return s;
}

}  // namespace tonmira::view
