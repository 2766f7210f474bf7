#include "collect/EventProcessor.h"

#include <sys/stat.h>

#include "collect/CollectSettings.h"
#include "collect/EventFile.h"
#include "collect/EventHost.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

EventProcessor::EventProcessor(CTonmiraDoc& doc, const CollectSettings& settings, CFftEngine& fft, int* spectrum,
                               const LocalClock& clock, MessageSink& sink, EventHost& host)
    : m_doc(doc), m_settings(settings), m_fft(fft), m_pSpectrum(spectrum), m_clock(clock), m_sink(sink), m_host(host)
{
}

EventOutcome EventProcessor::Process(int detectLevel)
{
    EventOutcome outcome;
    EventFile file;
    const std::string& folder = m_settings.m_strOutputFolder;
    // Flags count as set when non-zero, as the dialog's check boxes show them.
    const bool saveAmplified = m_settings.m_bSaveAmplified != 0;
    // The time the file is named by (the writer reads the clock again, within the same second).
    outcome.m_when = m_clock.Now();
    outcome.m_nFrames = m_doc.m_nSamples;
    outcome.m_bAmplified = saveAmplified;

    if (!saveAmplified && !file.WriteEventFile(m_doc, folder, m_clock, m_sink, 0, 0, 0))
        outcome.m_bWriteFailed = true;

    outcome.m_figures = AnalyseEvent(m_doc, m_settings, m_fft, m_pSpectrum, detectLevel, m_bAmplifyTake || saveAmplified);
    const EventFigures& fig = outcome.m_figures;
    outcome.m_bPlayLevelMet = fig.m_nPeak >= m_settings.m_nPlayLevel;

    if (saveAmplified && !file.WriteEventFile(m_doc, folder, m_clock, m_sink, fig.m_nIntegration100, 0, 0))
        outcome.m_bWriteFailed = true;

    file.RenameWithFigures(fig.m_nPeak, fig.m_nIntegration100, fig.m_nPoints100, fig.m_fStdDev);
    std::string finalPath = file.m_strEventFile;

    if (fig.m_bAccepted) {
        m_doc.BuildMonoBuffer();  // replay plays the amplified take
        m_host.ReplayEvent(m_settings.m_nPlayCount);
    } else {
        if (m_settings.m_bSaveRejected) {
            // An event that met every condition and only missed the play level keeps its name.
            if (!fig.AllConditionsMet() && file.MarkRejected())
                finalPath = file.m_strMarkedFile;
        } else {
            file.Delete();
            finalPath.clear();
        }
        m_host.ShowRejectedEvent();
    }

    // A write or rename that failed leaves no file at the expected path.
    struct stat info {};
    if (!finalPath.empty() && (stat(finalPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)))
        finalPath.clear();
    outcome.m_strEventFile = file.m_strEventFile;
    outcome.m_strFinalPath = finalPath;
    return outcome;
}

std::string FormatEventLine(const EventOutcome& outcome)
{
    const EventFigures& fig = outcome.m_figures;
    // Appended field by field: " " + temporary makes GCC 12 warn (-Wrestrict) in optimised builds.
    std::string line = outcome.m_strFinalPath.empty() ? "-" : outcome.m_strFinalPath;
    for (const std::string& field : {std::to_string(fig.m_nPeak), std::to_string(fig.m_nIntegration100),
                                     std::to_string(fig.m_nPoints100), StdDevFigure(fig.m_fStdDev, 0)}) {
        line += ' ';
        line += field;
    }
    line += fig.m_bAccepted ? " accepted" : " rejected";
    return line;
}

}  // namespace tonmira
