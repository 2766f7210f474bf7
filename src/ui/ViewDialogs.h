#pragma once
// Every dialog the main window opens, in one place: each fills its dialog from the view's core,
// runs it and applies what it decided. The dialogs themselves are in ui/dialogs. UI thread only.
#include <QWidget>

#include "audio/RecordSetupValues.h"
#include "doc/FormatPrompt.h"

namespace tonmira::view {
class ViewCore;
}

namespace tonmira::ui {

struct DialogContext {
    QWidget* parent;
    view::ViewCore& core;
};

// Recording settings (32794): values as filled by the transport; true = OK.
bool RunRecordSetupDialog(DialogContext ctx, RecordSetupValues& values);
// Balance 0..100 (32786) and speed -12..12 (32787); true = OK.
bool RunBalanceDialog(DialogContext ctx, int& balance);
bool RunSpeedDialog(DialogContext ctx, int& speed);
// Automatic collection settings (32775): edits core.m_settings and applies them on OK.
void RunAutoRecordDialog(DialogContext ctx);
// Range expansion (32799) on the take.
void RunRangeExpansionDialog(DialogContext ctx);
// Go to a time typed by the user (GoToTime.cpp).
void RunGoToTimeDialog(DialogContext ctx);
// Properties of the take (32788).
void RunPropertyDialog(DialogContext ctx);
// The detection-level window (32802), modeless; its slider re-picks the fundamentals.
void ShowFreqLevelWindow(DialogContext ctx);
// Detection-condition calculation (32777) on the spectrum at the position.
void RunDetectionCalcDialog(DialogContext ctx);
// The format of a text file before it is read; false = cancelled.
bool AskTextFormat(QWidget* parent, FormatAnswer& answer);
// The exports of the File menu: mono data (32803), PCM (32771), spectrum (32773), spectrum
// transition (32800), each with its file dialog.
void RunSaveMonoData(DialogContext ctx);
void RunSavePcmData(DialogContext ctx);
void RunSaveSpectrumData(DialogContext ctx);
void RunSaveSpectrumTransition(DialogContext ctx);
// The about box (57664).
void RunAboutBox(QWidget* parent);
// Help > topics (57667): the user manual in the desktop's browser.
void RunHelpTopics(QWidget* parent);

}  // namespace tonmira::ui
