#pragma once
// Numeric ids of the menu and tool-bar commands whose availability the document decides.
namespace tonmira {

inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdFileSaveAs = 57604;
inline constexpr int kCmdSavePcmData = 32771;
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
inline constexpr int kCmdLock = 32789;
inline constexpr int kCmdStartMark = 32790;
inline constexpr int kCmdEndMark = 32793;
inline constexpr int kCmdRecordSetup = 32794;
inline constexpr int kCmdTruncate = 32798;
inline constexpr int kCmdRangeExpand = 32799;
inline constexpr int kCmdSaveSpectrumTransition = 32800;
inline constexpr int kCmdSaveMonoData = 32803;

}  // namespace tonmira
