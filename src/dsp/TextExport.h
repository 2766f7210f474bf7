#pragma once
// The three text exports of what the view shows: the samples of the analysis window (.pcm),
// the spectrum held in the spectrum buffer (.spc) and the spectrum of every block of N frames
// between the marks (.spa). Text with CR LF line ends, no header, signed decimal integers.
// Each file is written through a temporary file and renamed into place only when complete,
// so a failed export leaves an existing file as it was. UI thread only.
#include <string>

#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;
class MessageSink;
class WindowAnalysis;

// Frames m_nPosition .. m_nPosition + fftSize - 1 of m_pData as PCM text ("%d" or
// "%d, %d" per line). Frames beyond the end of the take are not written. ".pcm" is appended
// to a path without extension. Returns 0 after "PCMデータの保存に失敗しました。".
BOOL ExportPcmData(const CTonmiraDoc& doc, int fftSize, const std::string& path, MessageSink& sink);

// The fftSize / 2 magnitudes of spectrum, one "%d" per line; no transform is run.
// ".spc" is appended to a path without extension. Returns 0 after
// "スペクトラムデータの保存に失敗しました。" (also for a missing spectrum buffer).
BOOL ExportSpectrumData(const int* spectrum, int fftSize, const std::string& path, MessageSink& sink);

// One line per block of m_nFftSize mono frames from m_nStartMark through m_nEndMark (the end
// limited to the take): the block's magnitudes of the bins the display range minFreq .. maxFreq map to,
// "%d" then ", %d" each. A last short block reuses the inputs left from the previous block.
// The lines are built whole in memory. Leaves the last block's spectrum in
// analysis.m_pSpectrum. ".spa" is appended to a path without extension. Returns 0 after
// "スペクトラム推移データの保存に失敗しました。".
BOOL ExportSpectrumTransition(const CTonmiraDoc& doc, WindowAnalysis& analysis, int minFreq, int maxFreq,
                              const std::string& path, MessageSink& sink);

// The bins lo..hi the transition export writes for a display range: bin b stands for
// b x (rate / 2) / (N / 2 - 1) Hz. Both are limited to 0..N/2 - 1; lo may exceed hi.
struct TransitionBins {
    int lo;
    int hi;
};
TransitionBins SpectrumTransitionBins(int minFreq, int maxFreq, int rate, int fftSize);

}  // namespace tonmira
