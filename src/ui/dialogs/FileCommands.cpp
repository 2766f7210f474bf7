#include "ui/dialogs/FileCommands.h"

#include "dsp/TextExport.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "ui/dialogs/WaitCursor.h"

namespace tonmira::ui {

const FileDialogSpec kMonoDataDialog{"ﾓﾉﾗﾙﾃﾞｰﾀﾌｧｲﾙの保存", "Wav Files(*.wav)|*.wav|All Files(*.*)|*.*||", "wav"};
const FileDialogSpec kPcmDataDialog{"PCMﾃﾞｰﾀﾌｧｲﾙの保存", "PCM data Files(*.pcm)|*.pcm|All Files(*.*)|*.*||", "pcm"};
const FileDialogSpec kSpectrumDataDialog{"ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀﾌｧｲﾙの保存",
                                         "Spectrum data Files(*.spc)|*.spc|All Files(*.*)|*.*||", "spc"};
const FileDialogSpec kSpectrumTransitionDialog{"ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀﾌｧｲﾙの保存",
                                               "Spectrum data Files(*.spa)|*.spa|All Files(*.*)|*.*||", "spa"};

bool OnSaveMonoData(CTonmiraDoc& doc, FileChooser& chooser, QWidget* parent)
{
    std::string path = chooser.ChooseFile(kMonoDataDialog, parent);
    if (path.empty())
        return false;
    WaitCursor wait;
    return doc.OnSaveMonoData(path) != 0;
}

bool OnSavePcmData(const CTonmiraDoc& doc, const WindowAnalysis& analysis, FileChooser& chooser, MessageSink& sink,
                   QWidget* parent)
{
    std::string path = chooser.ChooseFile(kPcmDataDialog, parent);
    return !path.empty() && ExportPcmData(doc, analysis.m_nFftSize, path, sink) != 0;
}

bool OnSaveSpectrum(const WindowAnalysis& analysis, FileChooser& chooser, MessageSink& sink, QWidget* parent)
{
    std::string path = chooser.ChooseFile(kSpectrumDataDialog, parent);
    return !path.empty() && ExportSpectrumData(analysis.m_pSpectrum.get(), analysis.m_nFftSize, path, sink) != 0;
}

bool OnSaveSpectrumTransition(const CTonmiraDoc& doc, WindowAnalysis& analysis, int minFreq, int maxFreq,
                              FileChooser& chooser, MessageSink& sink, QWidget* parent)
{
    std::string path = chooser.ChooseFile(kSpectrumTransitionDialog, parent);
    if (path.empty())
        return false;
    WaitCursor wait;
    return ExportSpectrumTransition(doc, analysis, minFreq, maxFreq, path, sink) != 0;
}

}  // namespace tonmira::ui
