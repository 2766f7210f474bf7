#include "view/CommandTable.h"

#include <array>

#include "view/FrameCommandIds.h"

namespace tonmira::view {

namespace {

constexpr std::array kAccelerators = {
    Accelerator{"Ctrl+N", 57600},     Accelerator{"Ctrl+O", 57601},       Accelerator{"Ctrl+S", 57603},
    Accelerator{"Ctrl+P", 32778},     Accelerator{"Ctrl+R", 32781},       Accelerator{"Ctrl+T", 32780},
    Accelerator{"Space", 32779},      Accelerator{"Ctrl+C", 57634},       Accelerator{"Ctrl+Ins", 57634},
    Accelerator{"Ctrl+X", 57635},     Accelerator{"Shift+Del", 57635},    Accelerator{"Ctrl+V", 57637},
    Accelerator{"Shift+Ins", 57637},  Accelerator{"Ctrl+Z", 57643},       Accelerator{"Alt+Backspace", 57643},
    Accelerator{"F6", 57680},         Accelerator{"Shift+F6", 57681},
};

constexpr std::array kToolBar = {57600, 57601, 57603, 0,     32771, 32773, 0,     32779, 32778,
                                 32780, 32781, 0,     32782, 32783, 32790, 32793, 0,     57664};

constexpr std::array kCommandTexts = {
    CommandText{57600, "新規にﾌｧｲﾙを作成", "新規ﾌｧｲﾙ"},
    CommandText{57601, "既存のﾌｧｲﾙを開く", "開く"},
    CommandText{57603, "作業中のﾌｧｲﾙを上書きして保存", "保存"},
    CommandText{57604, "作業中のﾌｧｲﾙを新しい名前で保存", "名前をつけて保存"},
    CommandText{32803, "ﾓﾉﾗﾙのﾃﾞｰﾀを保存", "ﾓﾉﾗﾙﾃﾞｰﾀの保存"},
    CommandText{32771, "表示中のPCMﾃﾞｰﾀを保存", "PCMﾃﾞｰﾀの保存"},
    CommandText{32773, "表示中のｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀを保存", "ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存"},
    CommandText{32800, "ｽﾍﾟｸﾄﾗﾑの推移ﾃﾞｰﾀを保存", "ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存"},
    CommandText{57665, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示", "終了"},
    CommandText{32798, "開始位置から終了位置までのﾃﾞｰﾀに切り詰め", "切り詰め"},
    CommandText{32799, "ﾃﾞｰﾀのﾚﾝｼﾞを量子化の最大まで拡張", "ﾚﾝｼﾞ拡張"},
    CommandText{32778, "PCMﾃﾞｰﾀの再生を開始", "再生"},
    CommandText{32781, "PCMﾃﾞｰﾀの録音を開始", "録音"},
    CommandText{32779, "PCMﾃﾞｰﾀの録音/再生の停止", "停止"},
    CommandText{32780, "PCMﾃﾞｰﾀの録音/再生の一時停止", "一時停止"},
    CommandText{32789, "PCMﾃﾞｰﾀの録音/再生機能のロック", "ロック"},
    CommandText{32782, "現在位置を先頭に移動", "先頭"},
    CommandText{32783, "現在位置を最後に移動", "最後"},
    CommandText{32790, "現在位置を開始位置としてﾏｰｸ", "開始ﾏｰｸ"},
    CommandText{32793, "現在位置を終了位置としてﾏｰｸ", "終了ﾏｰｸ"},
    CommandText{32785, "ﾃﾞｰﾀを逆方向に再生", "逆方向"},
    CommandText{32786, "ｽﾃﾚｵﾃﾞｰﾀの左右ﾊﾞﾗﾝｽの調整", "左右ﾊﾞﾗﾝｽ"},
    CommandText{32787, "再生速度の設定", "再生速度"},
    CommandText{32794, "録音方法の設定", "録音設定"},
    CommandText{32775, "自動集音機能の設定", "自動集音設定"},
    CommandText{32777, "自動集音の検出条件で算出", "検出条件算出"},
    CommandText{32802, "検出レベルの設定", "検出レベル"},
    CommandText{32772, "表示グラフのタイプの変更", ""},
    CommandText{32788, "PCMﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨの表示", "ﾌﾟﾛﾊﾟﾃｨ"},
    CommandText{59392, "ﾂｰﾙ ﾊﾞｰの 表示/非表示", "ﾂｰﾙ ﾊﾞｰの表示切り替え"},
    CommandText{59393, "ｽﾃｰﾀｽ ﾊﾞｰの 表示/非表示", "ｽﾃｰﾀｽ ﾊﾞｰの表示切り替え"},
    CommandText{57667, "ﾄﾋﾟｯｸの検索", "ﾄﾋﾟｯｸの検索"},
    CommandText{57664, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報"},
};

constexpr std::array kCheckedItems = {32778, 32781, 32779, 32780, 32789, 32790, 32793, 32785};

}  // namespace

const std::vector<MenuPopup>& MainMenu()
{
    static const std::vector<MenuPopup> menu = {
        {"ﾌｧｲﾙ(&F)",
         {
             {57600, "新規(&N)\tCtrl+N"},
             {57601, "開く(&O)...\tCtrl+O"},
             {57603, "上書き保存(&S)\tCtrl+S"},
             {57604, "名前を付けて保存(&A)..."},
             {0, ""},
             {32803, "ﾓﾉﾗﾙﾃﾞｰﾀの保存(&M)..."},
             {32771, "PCMﾃﾞｰﾀの保存(&P)..."},
             {32773, "ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存(&D)..."},
             {32800, "ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存(&W)..."},
             {0, ""},
             {57616, "最近使ったﾌｧｲﾙ"},
             {0, ""},
             {57665, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"},
         }},
        {"編集(&E)",
         {
             {32798, "切り詰め(&T)"},
             {32799, "ﾚﾝｼﾞ拡張(&E)..."},
         }},
        {"録音/再生(&G)",
         {
             {32778, "再生(&P)\tCtrl+P"},
             {32781, "録音(&R)\tCtrl+R"},
             {32779, "停止(&S)\tSpace"},
             {32780, "一時停止(&T)\tCtrl+T"},
             {0, ""},
             {32789, "ロック(&L)"},
         }},
        {"位置(&P)",
         {
             {32782, "先頭(&T)"},
             {32783, "最後(&B)"},
             {0, ""},
             {32790, "開始ﾏｰｸ(&S)"},
             {32793, "終了ﾏｰｸ(&E)"},
         }},
        {"ｵﾌﾟｼｮﾝ(&O)",
         {
             {32785, "逆方向(&R)"},
             {32786, "左右ﾊﾞﾗﾝｽ(&B)..."},
             {32787, "再生速度(&S)..."},
             {0, ""},
             {32794, "録音設定(&M)..."},
             {32775, "自動集音設定(&A)..."},
             {32777, "検出条件算出(&T)..."},
             {0, ""},
             {32802, "検出ﾚﾍﾞﾙ(&L)..."},
         }},
        {"表示(&V)",
         {
             {32772, "対数グラフ(&G)"},
             {0, ""},
             {32788, "ﾌﾟﾛﾊﾟﾃｨ(&P)..."},
             {0, ""},
             {59392, "ﾂｰﾙ ﾊﾞｰ(&T)"},
             {59393, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)"},
         }},
        {"ﾍﾙﾌﾟ(&H)",
         {
             {57667, "ﾄﾋﾟｯｸの検索(&H)..."},
             {0, ""},
             {57664, "Tonmira のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
         }},
    };
    return menu;
}

std::span<const Accelerator> Accelerators() { return kAccelerators; }

std::span<const int> ToolBarEntries() { return kToolBar; }

const CommandText* FindCommandText(int id)
{
    for (const CommandText& t : kCommandTexts)
        if (t.id == id)
            return &t;
    return nullptr;
}

bool IsCheckedItem(int id)
{
    for (int c : kCheckedItems)
        if (c == id)
            return true;
    return false;
}

}  // namespace tonmira::view
