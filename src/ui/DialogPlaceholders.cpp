// Stand-ins for the dialogs, until each dialog is written: they say so and answer Cancel.
#include "ui/DialogPlaceholders.h"

#include <QMessageBox>

namespace tonmira::ui {

namespace {

void NotThereYet(QWidget* parent, const char* name)
{
    QMessageBox::information(parent, QStringLiteral("Tonmira"),
                             QString::fromUtf8(name) + QStringLiteral(": this dialog is not there yet."));
}

}  // namespace

bool RunRecordSetupDialog(DialogContext ctx, RecordSetupValues&)
{
    NotThereYet(ctx.parent, "録音設定");
    return false;
}

bool RunBalanceDialog(DialogContext ctx, int&)
{
    NotThereYet(ctx.parent, "左右ﾊﾞﾗﾝｽ設定");
    return false;
}

bool RunSpeedDialog(DialogContext ctx, int&)
{
    NotThereYet(ctx.parent, "再生速度の設定");
    return false;
}

void RunAutoRecordDialog(DialogContext ctx) { NotThereYet(ctx.parent, "自動集音設定"); }
void RunRangeExpansionDialog(DialogContext ctx) { NotThereYet(ctx.parent, "ﾚﾝｼﾞ拡張"); }
void RunPropertyDialog(DialogContext ctx) { NotThereYet(ctx.parent, "ﾌﾟﾛﾊﾟﾃｨ"); }
void ShowFreqLevelWindow(DialogContext ctx) { NotThereYet(ctx.parent, "検出ﾚﾍﾞﾙ"); }
void RunDetectionCalcDialog(DialogContext ctx) { NotThereYet(ctx.parent, "検出条件算出"); }

bool AskTextFormat(QWidget* parent, FormatAnswer&)
{
    NotThereYet(parent, "PCMﾃﾞｰﾀのﾌｫｰﾏｯﾄ");
    return false;
}

void RunSaveMonoData(DialogContext ctx) { NotThereYet(ctx.parent, "ﾓﾉﾗﾙﾃﾞｰﾀの保存"); }
void RunSavePcmData(DialogContext ctx) { NotThereYet(ctx.parent, "PCMﾃﾞｰﾀの保存"); }
void RunSaveSpectrumData(DialogContext ctx) { NotThereYet(ctx.parent, "ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存"); }
void RunSaveSpectrumTransition(DialogContext ctx) { NotThereYet(ctx.parent, "ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存"); }

void RunAboutBox(QWidget* parent)
{
    QMessageBox::about(parent, QStringLiteral("Tonmira のﾊﾞｰｼﾞｮﾝ情報"), QStringLiteral("Tonmira Version 2.2"));
}

}  // namespace tonmira::ui
