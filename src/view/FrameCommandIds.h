#pragma once
// Command ids of the frame that the document's availability rules do not cover.
#include "doc/CommandIds.h"

namespace tonmira::view {

inline constexpr int kCmdGraphType = 32772;
inline constexpr int kCmdProperties = 32788;
inline constexpr int kCmdDetectLevel = 32802;
inline constexpr int kCmdRecentFile = 57616;  // first entry of the recent-file list
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdHelpFinder = 57667;
inline constexpr int kCmdViewToolBar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;
// The overview pane's switch in the 表示 menu (an addition: no id of the frame uses it).
inline constexpr int kCmdViewOverview = 32900;
// Keys of the framework's edit and pane commands; nothing in the program handles them.
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditUndo = 57643;
inline constexpr int kCmdNextPane = 57680;
inline constexpr int kCmdPrevPane = 57681;

}  // namespace tonmira::view
