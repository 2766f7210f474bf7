#include "view/CommandTable.h"

#include <algorithm>

#include "doc/TonmiraDoc.h"

namespace tonmira::view {

namespace {

CommandState Enable(bool enable)
{
    CommandState state;
    state.m_bHandled = true;
    state.m_bEnable = enable;
    return state;
}

CommandState EnableCheck(bool enable, bool check)
{
    CommandState state = Enable(enable);
    state.m_bSetCheck = true;
    state.m_bCheck = check;
    return state;
}

bool Idle(const CommandContext& c) { return c.m_nState == TransportState::Idle; }

CommandState Always(const CommandContext&) { return Enable(true); }
CommandState WhenIdle(const CommandContext& c) { return Enable(Idle(c)); }
CommandState WithTake(const CommandContext& c) { return Enable(c.m_bTake); }
CommandState WithTakeIdle(const CommandContext& c) { return Enable(c.m_bTake && Idle(c)); }
CommandState WithStereoTakeIdle(const CommandContext& c) { return Enable(c.m_bTake && c.m_bStereo && Idle(c)); }
CommandState Play(const CommandContext& c)
{
    return EnableCheck(c.m_bTake && !c.m_bLock, c.m_nState == TransportState::Playing);
}
CommandState Record(const CommandContext& c) { return EnableCheck(!c.m_bLock, c.m_nState == TransportState::Recording); }
CommandState Stop(const CommandContext& c) { return EnableCheck(!c.m_bLock, Idle(c)); }
CommandState Pause(const CommandContext& c) { return EnableCheck(!c.m_bLock, c.m_bPause); }
CommandState Lock(const CommandContext& c) { return EnableCheck(c.m_bTake, c.m_bLock); }
CommandState StartMark(const CommandContext& c) { return EnableCheck(c.m_bTake, c.m_bStartMark); }
CommandState EndMark(const CommandContext& c) { return EnableCheck(c.m_bTake, c.m_bEndMark); }
// Disabled, reverse keeps its check mark as it was.
CommandState Reverse(const CommandContext& c)
{
    return c.m_bTake && !c.m_bLock && Idle(c) ? EnableCheck(true, c.m_bReverse) : Enable(false);
}
CommandState Balance(const CommandContext& c) { return Enable(c.m_bTake && !c.m_bLock && Idle(c) && c.m_bStereo); }
CommandState Speed(const CommandContext& c) { return Enable(c.m_bTake && !c.m_bLock && Idle(c)); }
CommandState RecordSetup(const CommandContext& c) { return Enable(!c.m_bLock && Idle(c)); }
CommandState RecentFile(const CommandContext& c) { return Enable(c.m_bHasRecentFiles && Idle(c)); }
CommandState ToolBar(const CommandContext& c) { return EnableCheck(true, c.m_bToolBarVisible); }
CommandState StatusBar(const CommandContext& c) { return EnableCheck(true, c.m_bStatusBarVisible); }
CommandState Overview(const CommandContext& c) { return EnableCheck(true, c.m_bOverviewVisible); }
CommandState FitTake(const CommandContext& c) { return Enable(c.m_bTake && c.m_bOverviewVisible); }
CommandState EventList(const CommandContext& c) { return EnableCheck(true, c.m_bEventListVisible); }
CommandState Undo(const CommandContext& c) { return Enable(c.m_bTake && c.m_bCanUndo && Idle(c)); }

constexpr bool kSeparator = true;
constexpr bool kCheckable = true;
// While a collection worker processes an event it reads and rewrites the take and the analysis:
// what would replace, edit, move through or play the take waits until it is done. Stop stays, to
// end a replay; so do the commands that only change the display.
constexpr bool kWhileCollecting = true;

// In menu order within each menu.
constexpr Command kCommands[] = {
    {kCmdFileNew, Menu::File, false, "新規(&N)", "新規にﾌｧｲﾙを作成", "新規ﾌｧｲﾙ", {"Ctrl+N"}, WhenIdle},
    {kCmdFileOpen, Menu::File, false, "開く(&O)...", "既存のﾌｧｲﾙを開く", "開く", {"Ctrl+O"}, WhenIdle},
    {kCmdFileSave, Menu::File, false, "上書き保存(&S)", "作業中のﾌｧｲﾙを上書きして保存", "保存", {"Ctrl+S"},
     WithTakeIdle},
    {kCmdFileSaveAs, Menu::File, false, "名前を付けて保存(&A)...", "作業中のﾌｧｲﾙを新しい名前で保存",
     "名前をつけて保存", {}, WithTakeIdle},
    {kCmdSaveMonoData, Menu::File, kSeparator, "ﾓﾉﾗﾙﾃﾞｰﾀの保存(&M)...", "ﾓﾉﾗﾙのﾃﾞｰﾀを保存", "ﾓﾉﾗﾙﾃﾞｰﾀの保存",
     {}, WithStereoTakeIdle},
    {kCmdSavePcmData, Menu::File, false, "PCMﾃﾞｰﾀの保存(&P)...", "表示中のPCMﾃﾞｰﾀを保存", "PCMﾃﾞｰﾀの保存", {},
     WithTakeIdle},
    {kCmdSaveSpectrumData, Menu::File, false, "ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存(&D)...", "表示中のｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀを保存",
     "ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存", {}, WithTakeIdle},
    {kCmdSaveSpectrumTransition, Menu::File, false, "ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存(&W)...", "ｽﾍﾟｸﾄﾗﾑの推移ﾃﾞｰﾀを保存",
     "ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存", {}, WithTakeIdle},
    {kCmdRecentFile, Menu::File, kSeparator, "最近使ったﾌｧｲﾙ", nullptr, nullptr, {}, RecentFile},
    {kCmdAppExit, Menu::File, kSeparator, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示", "終了", {},
     Always, false, kWhileCollecting},

    {kCmdTruncate, Menu::Edit, false, "切り詰め(&T)", "開始位置から終了位置までのﾃﾞｰﾀに切り詰め", "切り詰め", {},
     WithTakeIdle},
    {kCmdRangeExpand, Menu::Edit, false, "ﾚﾝｼﾞ拡張(&E)...", "ﾃﾞｰﾀのﾚﾝｼﾞを量子化の最大まで拡張", "ﾚﾝｼﾞ拡張", {},
     WithTakeIdle},

    {kCmdPlay, Menu::Transport, false, "再生(&P)", "PCMﾃﾞｰﾀの再生を開始", "再生", {"Ctrl+P"}, Play, kCheckable},
    {kCmdRecord, Menu::Transport, false, "録音(&R)", "PCMﾃﾞｰﾀの録音を開始", "録音", {"Ctrl+R"}, Record,
     kCheckable},
    {kCmdStop, Menu::Transport, false, "停止(&S)", "PCMﾃﾞｰﾀの録音/再生の停止", "停止", {"Space"}, Stop,
     kCheckable, kWhileCollecting},
    {kCmdPause, Menu::Transport, false, "一時停止(&T)", "PCMﾃﾞｰﾀの録音/再生の一時停止", "一時停止", {"Ctrl+T"},
     Pause, kCheckable},
    {kCmdLock, Menu::Transport, kSeparator, "ロック(&L)", "PCMﾃﾞｰﾀの録音/再生機能のロック", "ロック", {}, Lock,
     kCheckable},

    {kCmdToStart, Menu::Position, false, "先頭(&T)", "現在位置を先頭に移動", "先頭", {}, WithTake},
    {kCmdToEnd, Menu::Position, false, "最後(&B)", "現在位置を最後に移動", "最後", {}, WithTake},
    {kCmdStartMark, Menu::Position, kSeparator, "開始ﾏｰｸ(&S)", "現在位置を開始位置としてﾏｰｸ", "開始ﾏｰｸ", {},
     StartMark, kCheckable},
    {kCmdEndMark, Menu::Position, false, "終了ﾏｰｸ(&E)", "現在位置を終了位置としてﾏｰｸ", "終了ﾏｰｸ", {}, EndMark,
     kCheckable},
    {kCmdGoToTime, Menu::Position, kSeparator, "時間を指定して移動(&G)...", "指定した時間に現在位置を移動",
     "時間を指定して移動", {}, WithTake},

    {kCmdReverse, Menu::Options, false, "逆方向(&R)", "ﾃﾞｰﾀを逆方向に再生", "逆方向", {}, Reverse, kCheckable},
    {kCmdBalance, Menu::Options, false, "左右ﾊﾞﾗﾝｽ(&B)...", "ｽﾃﾚｵﾃﾞｰﾀの左右ﾊﾞﾗﾝｽの調整", "左右ﾊﾞﾗﾝｽ", {},
     Balance},
    {kCmdSpeed, Menu::Options, false, "再生速度(&S)...", "再生速度の設定", "再生速度", {}, Speed},
    {kCmdRecordSetup, Menu::Options, kSeparator, "録音設定(&M)...", "録音方法の設定", "録音設定", {},
     RecordSetup},
    {kCmdAutoRecordSetup, Menu::Options, false, "自動集音設定(&A)...", "自動集音機能の設定", "自動集音設定", {},
     WhenIdle},
    {kCmdDetectionCalc, Menu::Options, false, "検出条件算出(&T)...", "自動集音の検出条件で算出", "検出条件算出",
     {}, WithTake},
    {kCmdDetectLevel, Menu::Options, kSeparator, "検出ﾚﾍﾞﾙ(&L)...", "検出レベルの設定", "検出レベル", {},
     Always, false, kWhileCollecting},

    {kCmdGraphType, Menu::View, false, "対数グラフ(&G)", "表示グラフのタイプの変更", nullptr, {}, Always, false,
     kWhileCollecting},
    {kCmdProperties, Menu::View, kSeparator, "ﾌﾟﾛﾊﾟﾃｨ(&P)...", "PCMﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨの表示", "ﾌﾟﾛﾊﾟﾃｨ", {},
     Always},
    {kCmdViewToolBar, Menu::View, kSeparator, "ﾂｰﾙ ﾊﾞｰ(&T)", "ﾂｰﾙ ﾊﾞｰの 表示/非表示", "ﾂｰﾙ ﾊﾞｰの表示切り替え",
     {}, ToolBar, kCheckable, kWhileCollecting},
    {kCmdViewStatusBar, Menu::View, false, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", "ｽﾃｰﾀｽ ﾊﾞｰの 表示/非表示",
     "ｽﾃｰﾀｽ ﾊﾞｰの表示切り替え", {}, StatusBar, kCheckable, kWhileCollecting},
    {kCmdViewOverview, Menu::View, kSeparator, "概要とｽﾍﾟｸﾄﾛｸﾞﾗﾑ(&O)",
     "テイク全体の概要とスペクトログラムの表示/非表示", nullptr, {}, Overview, kCheckable, kWhileCollecting},
    {kCmdViewFitTake, Menu::View, false, "テイク全体を表示(&W)", "概要の時間軸をテイク全体に戻す", nullptr, {},
     FitTake, false, kWhileCollecting},
    {kCmdViewEventList, Menu::View, false, "イベント一覧(&L)", "集音イベントの一覧の表示/非表示", nullptr, {},
     EventList, kCheckable, kWhileCollecting},

    {kCmdHelpFinder, Menu::Help, false, "ﾄﾋﾟｯｸの検索(&H)...", "ﾄﾋﾟｯｸの検索", "ﾄﾋﾟｯｸの検索", {}, Always, false,
     kWhileCollecting},
    {kCmdAppAbout, Menu::Help, kSeparator, "Tonmira のﾊﾞｰｼﾞｮﾝ情報(&A)...",
     "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報", {}, Always, false, kWhileCollecting},

    // The framework's keys for edit and pane commands: the keys are taken; of them only undo is
    // handled (the last truncation or range expansion).
    {kCmdEditCopy, Menu::None, false, "", nullptr, nullptr, {"Ctrl+C", "Ctrl+Ins"}, nullptr},
    {kCmdEditCut, Menu::None, false, "", nullptr, nullptr, {"Ctrl+X", "Shift+Del"}, nullptr},
    {kCmdEditPaste, Menu::None, false, "", nullptr, nullptr, {"Ctrl+V", "Shift+Ins"}, nullptr},
    {kCmdEditUndo, Menu::None, false, "", nullptr, nullptr, {"Ctrl+Z", "Alt+Backspace"}, Undo},
    {kCmdNextPane, Menu::None, false, "", nullptr, nullptr, {"F6"}, nullptr},
    {kCmdPrevPane, Menu::None, false, "", nullptr, nullptr, {"Shift+F6"}, nullptr},
};

constexpr int kToolBarSeparator = 0;
constexpr int kToolBar[] = {
    kCmdFileNew, kCmdFileOpen, kCmdFileSave, kToolBarSeparator,
    kCmdSavePcmData, kCmdSaveSpectrumData, kToolBarSeparator,
    kCmdStop, kCmdPlay, kCmdPause, kCmdRecord, kToolBarSeparator,
    kCmdToStart, kCmdToEnd, kCmdStartMark, kCmdEndMark, kToolBarSeparator,
    kCmdAppAbout,
};

}  // namespace

CommandContext DocumentContext(const CTonmiraDoc& doc, CommandContext frame)
{
    CommandContext c = frame;
    c.m_bTake = doc.HasTake();
    c.m_nState = doc.m_nState;
    c.m_bLock = doc.m_bLock != 0;
    c.m_bPause = doc.m_bPause != 0;
    c.m_bReverse = doc.m_bReverse != 0;
    c.m_bStereo = doc.m_header.nChannels == 2;
    c.m_bStartMark = doc.m_nStartMark != 0;
    // Compared in 32 bits as the counts are kept: an end mark on the last frame is unchecked.
    c.m_bEndMark = static_cast<UINT>(doc.m_nEndMark + 1) != doc.m_nSamples;
    return c;
}

std::span<const Command> Commands() { return kCommands; }

const Command* FindCommand(int id)
{
    const auto* command = std::ranges::find(kCommands, id, &Command::id);
    return command == std::ranges::end(kCommands) ? nullptr : command;
}

CommandState QueryCommand(const CommandContext& context, int id)
{
    const Command* command = FindCommand(id);
    if (!command || !command->rule)
        return {};
    CommandState state = command->rule(context);
    // A file being read replaces the take when it is done: what would replace, edit, move through
    // or play the take waits for it as it waits for the collection worker.
    if ((context.m_bCollectBusy || context.m_bLoading) && !command->whileCollecting)
        state.m_bEnable = false;
    return state;
}

std::string MenuText(const Command& command)
{
    std::string text = command.text;
    if (command.keys[0])
        text += std::string("\t") + command.keys[0];
    return text;
}

const char* MenuTitle(Menu menu)
{
    switch (menu) {
    case Menu::File: return "ﾌｧｲﾙ(&F)";
    case Menu::Edit: return "編集(&E)";
    case Menu::Transport: return "録音/再生(&G)";
    case Menu::Position: return "位置(&P)";
    case Menu::Options: return "ｵﾌﾟｼｮﾝ(&O)";
    case Menu::View: return "表示(&V)";
    case Menu::Help: return "ﾍﾙﾌﾟ(&H)";
    case Menu::None: break;
    }
    return "";
}

std::span<const int> ToolBarEntries() { return kToolBar; }

}  // namespace tonmira::view
