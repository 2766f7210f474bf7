#pragma once
// The analysis of the window at the position, without any widget: FFT size, engine, spectrum
// buffer, detection level and the fundamental-frequency tables, with the operations that keep
// them consistent. N lives here only: the transport, the detection-level window and the collection
// read it here. The session owns one; the CLI and the tests use it directly. The owner's thread
// only: the collection worker has an engine of its own.
#include <memory>

#include "base/MallocBlock.h"
#include "base/Types.h"
#include "dsp/FftEngine.h"
#include "dsp/Fundamentals.h"

namespace tonmira {

class CTonmiraDoc;
class MessageSink;

class WindowAnalysis {
public:
    WindowAnalysis();
    ~WindowAnalysis();
    WindowAnalysis(const WindowAnalysis&) = delete;
    WindowAnalysis& operator=(const WindowAnalysis&) = delete;

    // New or opened document: the default N for its rate, engine and spectrum buffer rebuilt,
    // no pick held.
    // Returns 0 after "メモリが確保（malloc）できません!" (then
    // m_pSpectrum is null and nothing is computed until a size change succeeds).
    BOOL InitialUpdate(const CTonmiraDoc& doc, MessageSink& sink);

    // N = size (16..131072, a power of two): engine and spectrum buffer rebuilt, no pick held.
    // Returns 0 for a size outside the list, or after the allocation message.
    BOOL SetFftSize(int size, MessageSink& sink);

    // The FFT-size choice while the take is not playing: SetFftSize, then the position is
    // kept so that the window ends within the take (0 when the take is shorter than N).
    BOOL ChangeFftSize(CTonmiraDoc& doc, int size, MessageSink& sink);

    // The check made before changing N while playing: a size above the take's frame count
    // shows "データ数が足りません! データ数 = %d" and returns 0.
    static BOOL FftSizeFitsTake(const CTonmiraDoc& doc, int size, MessageSink& sink);

    // Feeds the mono samples from m_nPosition on into the engine (8-bit as byte - 128),
    // stopping at the end of the take; inputs beyond it keep their values. Returns the
    // number of samples fed, or -1 when there is no take or no engine.
    int FeedFromTake(const CTonmiraDoc& doc);

    // Full-scale divisor of captured input: 32768 / 128, or while paused at a non-zero
    // collection level P: P (16 bits) or P x 128 / 1000 (8 bits), never less than 1.
    static int CaptureDivisor(int bits, bool pausedWithLevel, int collectLevel);

    // Feeds one capture block of bytes (frames of channels x bits / 8, as recorded) scaled to
    // full scale by divisor; stereo frames are averaged. Values are limited to 16 bits.
    // Returns the number of frames fed (at most N); 0 when the block holds no complete frame.
    int FeedFromCaptureBlock(const BYTE* block, DWORD bytes, int channels, int bits, int divisor);

    // Transforms the fed input into m_pSpectrum, picks the fundamentals at level (copied into
    // m_nDetectLevel) with the take's bits, keeps the spectrum as the last pick (with rate and
    // bits) and returns the five boxes.
    FundamentalBoxes TransformAndPick(int level, int rate, int bits);

    // What the session does when an input of the analysis changed while idle or playing:
    // transform the window at the position and list its fundamentals; without a take the
    // boxes come back empty and nothing is transformed.
    FundamentalBoxes Recalculate(const CTonmiraDoc& doc, int level);

    // The spectrum of the last pick, with the rate and bits it was picked at; null when there
    // has been none since the spectrum buffer was (re)made (the buffer it pointed into is gone).
    const int* PickedSpectrum() const { return m_bPicked ? m_pSpectrum.get() : nullptr; }
    int PickedRate() const { return m_nPickedRate; }
    int PickedBits() const { return m_nPickedBits; }

    int m_nFftSize = 0;
    std::unique_ptr<int[], FreeDeleter> m_pSpectrum;  // m_nFftSize / 2 magnitudes
    CFftEngine m_fft;
    int m_nDetectLevel = 5;  // the level picks use: the view's, the detection window's, the collection's
    int m_nWindowType = 0;
    int m_nSpectrumMax = 0;
    int m_peakGroupScore[kPeakGroupCount];
    double m_peakGroupFreq[kPeakGroupCount][kPeakGroupSlots];

private:
    bool m_bPicked = false;
    int m_nPickedRate = 0;
    int m_nPickedBits = 16;
};

}  // namespace tonmira
