#include "ui/ViewDialogs.h"

#include <QPointer>

#include "ui/QtMessageSink.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/CAboutDlg.h"
#include "ui/dialogs/CAutoRecord.h"
#include "ui/dialogs/CBalanceDlg.h"
#include "ui/dialogs/CFreqLevel.h"
#include "ui/dialogs/CPropertyDlg.h"
#include "ui/dialogs/CRangeSetupDlg.h"
#include "ui/dialogs/CRecordSetupDlg.h"
#include "ui/dialogs/CRequireDlg.h"
#include "ui/dialogs/CSekibunRitsu.h"
#include "ui/dialogs/FileCommands.h"
#include "ui/dialogs/HelpTopics.h"

namespace tonmira::ui {

namespace {

FileChooser& Chooser()
{
    static QtFileChooser chooser;
    return chooser;
}

// The view's screen, for redrawing after a dialog changed the take.
void InvalidateAnalysis(QWidget* parent)
{
    if (auto* view = qobject_cast<CTonmiraView*>(parent))
        view->TakeEdited();
}

}  // namespace

bool RunRecordSetupDialog(DialogContext ctx, RecordSetupValues& values)
{
    return RunRecordSetupDialog(values, ctx.core.m_sink, ctx.parent);
}

bool RunBalanceDialog(DialogContext ctx, int& balance) { return RunBalanceDialog(balance, ctx.core.m_sink, ctx.parent); }

bool RunSpeedDialog(DialogContext ctx, int& speed) { return RunSpeedDialog(speed, ctx.core.m_sink, ctx.parent); }

void RunAutoRecordDialog(DialogContext ctx)
{
    view::ViewCore& core = ctx.core;
    const WavHeader& format = core.m_doc.m_header;
    int autoStartLevel = core.m_transport.AutoStartLevel();
    const bool accepted = RunAutoRecordDialog(core.m_settings, autoStartLevel, format.wBitsPerSample,
                                              format.nSamplesPerSec, Chooser(), core.m_sink, ctx.parent);
    core.m_transport.SetAutoStartLevel(autoStartLevel);
    if (accepted)
        core.ApplyCollectSettings();
}

void RunRangeExpansionDialog(DialogContext ctx)
{
    QWidget* parent = ctx.parent;
    if (RunRangeExpansion(ctx.core.m_doc, ctx.core.m_sink, parent, [parent] { parent->repaint(); }))
        InvalidateAnalysis(parent);
}

void RunPropertyDialog(DialogContext ctx)
{
    CPropertyDlg dlg(ctx.core.m_sink, ctx.parent);
    dlg.SetFromDocument(ctx.core.m_doc);
    dlg.exec();
}

void ShowFreqLevelWindow(DialogContext ctx)
{
    // Created once, with the view as its parent; hidden, never destroyed, by "閉じる".
    auto* window = ctx.parent->findChild<CFreqLevel*>();
    if (!window) {
        auto* view = qobject_cast<CTonmiraView*>(ctx.parent);
        window = new CFreqLevel(
            ctx.core.m_analysis, ctx.core.m_display.m_freqLevel,
            [view](const FundamentalBoxes& boxes) {
                if (view)
                    view->ShowFundamentals(boxes);
            },
            ctx.core.m_sink, ctx.parent);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void RunDetectionCalcDialog(DialogContext ctx)
{
    view::ViewCore& core = ctx.core;
    CSekibunRitsu dlg(core.m_sink, ctx.parent);
    dlg.m_pSpectrum = core.m_analysis.m_pSpectrum.get();
    dlg.m_nFftSize = core.m_analysis.m_nFftSize;
    dlg.m_nRate = static_cast<int>(core.m_doc.m_header.nSamplesPerSec);
    dlg.m_nBits = core.m_doc.m_header.wBitsPerSample;
    dlg.m_nBandLowHz = core.m_settings.m_nBandLowHz;
    dlg.m_nBandHighHz = core.m_settings.m_nBandHighHz;
    dlg.m_nExcludeHz = core.m_settings.m_nExcludeHz;
    dlg.exec();
}

bool AskTextFormat(QWidget* parent, FormatAnswer& answer)
{
    QtMessageSink sink;
    sink.SetParent(parent);
    return DialogFormatPrompt(sink, parent).Ask(answer);
}

void RunSaveMonoData(DialogContext ctx) { OnSaveMonoData(ctx.core.m_doc, Chooser(), ctx.parent); }

void RunSavePcmData(DialogContext ctx)
{
    OnSavePcmData(ctx.core.m_doc, ctx.core.m_analysis, Chooser(), ctx.core.m_sink, ctx.parent);
}

void RunSaveSpectrumData(DialogContext ctx)
{
    OnSaveSpectrum(ctx.core.m_analysis, Chooser(), ctx.core.m_sink, ctx.parent);
}

void RunSaveSpectrumTransition(DialogContext ctx)
{
    // The view's spectrum buffer ends holding the last block's spectrum; the graph shows it.
    if (OnSaveSpectrumTransition(ctx.core.m_doc, ctx.core.m_analysis, ctx.core.m_display.m_nMinFreq,
                                 ctx.core.m_display.m_nMaxFreq, Chooser(), ctx.core.m_sink, ctx.parent))
        ctx.parent->update();
}

void RunAboutBox(QWidget* parent)
{
    QtMessageSink sink;
    sink.SetParent(parent);
    CAboutDlg(sink, parent).exec();
}

void RunHelpTopics(QWidget* parent)
{
    QtMessageSink sink;
    sink.SetParent(parent);
    OpenHelpTopics(sink);
}

}  // namespace tonmira::ui
