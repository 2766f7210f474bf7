#pragma once
// Numeric ids of the window's commands, as its menu items, keys and tool-bar buttons carry them
// (the tool-bar icons are named after them too).
namespace tonmira::view {

inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdFileSaveAs = 57604;
inline constexpr int kCmdSavePcmData = 32771;
inline constexpr int kCmdGraphType = 32772;
inline constexpr int kCmdSaveSpectrumData = 32773;
inline constexpr int kCmdAutoRecordSetup = 32775;
inline constexpr int kCmdDetectionCalc = 32777;
inline constexpr int kCmdPlay = 32778;
inline constexpr int kCmdStop = 32779;
inline constexpr int kCmdPause = 32780;
inline constexpr int kCmdRecord = 32781;
inline constexpr int kCmdToStart = 32782;
inline constexpr int kCmdToEnd = 32783;
inline constexpr int kCmdReverse = 32785;
inline constexpr int kCmdBalance = 32786;
inline constexpr int kCmdSpeed = 32787;
inline constexpr int kCmdProperties = 32788;
inline constexpr int kCmdLock = 32789;
inline constexpr int kCmdStartMark = 32790;
inline constexpr int kCmdEndMark = 32793;
inline constexpr int kCmdRecordSetup = 32794;
inline constexpr int kCmdTruncate = 32798;
inline constexpr int kCmdRangeExpand = 32799;
inline constexpr int kCmdSaveSpectrumTransition = 32800;
inline constexpr int kCmdDetectLevel = 32802;
inline constexpr int kCmdSaveMonoData = 32803;
inline constexpr int kCmdRecentFile = 57616;  // first entry of the recent-file list
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;
inline constexpr int kCmdHelpFinder = 57667;
inline constexpr int kCmdViewToolBar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;
// The overview pane's switch in the 表示 menu (an addition: no id of the frame uses it).
inline constexpr int kCmdViewOverview = 32900;
// Additions of the 位置 and 表示 menus: go to a time, the event list pane.
inline constexpr int kCmdGoToTime = 32910;
inline constexpr int kCmdViewEventList = 32911;
// The overview pane's time axis back to the whole take (also in the pane's context menu).
inline constexpr int kCmdViewFitTake = 32912;
// Keys of the framework's edit and pane commands; nothing in the program handles them.
inline constexpr int kCmdEditCopy = 57634;
inline constexpr int kCmdEditCut = 57635;
inline constexpr int kCmdEditPaste = 57637;
inline constexpr int kCmdEditUndo = 57643;
inline constexpr int kCmdNextPane = 57680;
inline constexpr int kCmdPrevPane = 57681;

}  // namespace tonmira::view
