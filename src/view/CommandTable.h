#pragma once
// The window's commands as one table. A row holds everything about a command but its handler:
// id, menu text, status-bar prompt, tool tip, keys, and the rule that says whether it can be used
// and shows checked. The Qt frame builds its menus, keys and tool bar from the rows and binds one
// handler to each id; menu items, buttons and keys all ask the same rule, so they never disagree.
#include <array>
#include <span>
#include <string>

#include "doc/TransportState.h"
#include "view/CommandIds.h"

namespace tonmira {
class CTonmiraDoc;
}

namespace tonmira::view {

// What every rule reads: the take and the transport as the document holds them, and the frame's
// own state.
struct CommandContext {
    bool m_bTake = false;
    TransportState m_nState = TransportState::Idle;
    bool m_bLock = false;
    bool m_bPause = false;
    bool m_bReverse = false;
    bool m_bStereo = false;
    bool m_bStartMark = false;      // a start mark is set
    bool m_bEndMark = false;        // the end mark stands before the take's last frame
    bool m_bCollectBusy = false;    // the collection worker owns the take
    bool m_bLoading = false;        // a file is being read to replace the take
    bool m_bToolBarVisible = true;
    bool m_bStatusBarVisible = true;
    bool m_bOverviewVisible = false;
    bool m_bHasRecentFiles = false;
    bool m_bCanUndo = false;        // the last truncation or range expansion can be undone
    bool m_bEventListVisible = false;
};

// frame (the frame's own flags; defaults when not given) with the document's part filled in.
CommandContext DocumentContext(const CTonmiraDoc& doc, CommandContext frame = {});

struct CommandState {
    bool m_bHandled = false;   // false: nothing handles the id, it stays disabled
    bool m_bEnable = false;
    bool m_bSetCheck = false;  // false: leave the check mark as it is
    bool m_bCheck = false;
};

enum class Menu { None, File, Edit, Transport, Position, Options, View, Help };

struct Command {
    int id;
    Menu menu;             // the popup it stands in, in table order; None: reached by keys only
    bool separatorBefore;  // a separator line above its menu item
    const char* text;      // menu text, "&" marks the mnemonic
    const char* prompt;    // status-bar message; null for none
    const char* tip;       // tool tip; null: the prompt
    std::array<const char*, 2> keys;  // portable key names ("Ctrl+N", "Shift+Del"); the first is shown in the menu
    CommandState (*rule)(const CommandContext&) = nullptr;  // null: the command has no handler
    bool checkable = false;
    bool whileCollecting = false;  // stays usable while the collection worker owns the take or a file is read
};

std::span<const Command> Commands();
const Command* FindCommand(int id);
// The state a command shows now; an id without a row or rule is unhandled (always disabled).
CommandState QueryCommand(const CommandContext& context, int id);
// The menu item's text: the text, then a tab and the first key when there is one.
std::string MenuText(const Command& command);
const char* MenuTitle(Menu menu);
// The tool bar's entries in order; 0 is a separator.
std::span<const int> ToolBarEntries();

// The texts the graph-type item shows for a linear and a logarithmic axis.
inline constexpr const char* kGraphTypeToLog = "片対数ｸﾞﾗﾌ(&G)";
inline constexpr const char* kGraphTypeToLinear = "ﾘﾆｱｸﾞﾗﾌ(&G)";

}  // namespace tonmira::view
