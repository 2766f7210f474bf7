#pragma once
// The commands that write a file of their own, each after a save-file dialog (cancel ends the
// command): the mono data of the take and the three text exports of what the view shows.
// The writing itself is the core's. UI thread only.
#include "ui/dialogs/FileChooser.h"

namespace tonmira {
class CTonmiraDoc;
class MessageSink;
class WindowAnalysis;
}  // namespace tonmira

namespace tonmira::ui {

extern const FileDialogSpec kMonoDataDialog;
extern const FileDialogSpec kPcmDataDialog;
extern const FileDialogSpec kSpectrumDataDialog;
extern const FileDialogSpec kSpectrumTransitionDialog;

// Each returns true when a file was written; false when cancelled or after the failure message.
bool OnSaveMonoData(CTonmiraDoc& doc, FileChooser& chooser, QWidget* parent);
bool OnSavePcmData(const CTonmiraDoc& doc, const WindowAnalysis& analysis, FileChooser& chooser, MessageSink& sink,
                   QWidget* parent);
bool OnSaveSpectrum(const WindowAnalysis& analysis, FileChooser& chooser, MessageSink& sink, QWidget* parent);
// Leaves the last block's spectrum in the analysis' spectrum buffer.
// minFreq .. maxFreq: the displayed range, whose bins are written.
bool OnSaveSpectrumTransition(const CTonmiraDoc& doc, WindowAnalysis& analysis, int minFreq, int maxFreq,
                              FileChooser& chooser, MessageSink& sink, QWidget* parent);

}  // namespace tonmira::ui
