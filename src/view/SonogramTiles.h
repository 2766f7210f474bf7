#pragma once
// The spectrogram's tiles: short-time spectra of N samples with 50 % overlap, as rows of colour
// levels for one pixel column each, computed a tile of kTileColumns columns at a time on a small
// pool of worker threads (one CFftEngine each). The owner (UI) thread only queues tiles and
// receives finished ones through a callback, which runs on the worker and must only post.
// Memory: the queued and finished tiles the owner keeps, never a function of the take's length.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "dsp/FftEngine.h"
#include "view/SummaryPyramid.h"

namespace tonmira::view {

inline constexpr int kTileColumns = 64;
// A column that covers more than this many 50 %-overlapping spectra shows the largest of the
// first ones (the whole take on a narrow pane): the cost per column stays bounded.
inline constexpr int kMaxSpectraPerColumn = 4;

// Everything a tile's content depends on; a change starts a new generation.
struct SpectrogramLayout {
    int n = 0;                  // FFT size, a power of two >= 16
    int rate = 0;               // samples per second
    int rows = 0;               // pixel rows, row 0 at the top (highest frequency)
    int minHz = 0;              // the frequency axis, as the spectrum area shows it
    int maxHz = 0;
    bool logAxis = false;
    double columnFrames = 0.0;  // frames between two columns (>= 1)
    bool operator==(const SpectrogramLayout&) const = default;
};

// For each row the range of bins (first, last) it shows, largest frequency first.
std::vector<std::pair<int, int>> RowBins(const SpectrogramLayout& layout);

// Colour level (0..255) of a magnitude of the Hann-windowed engine: -100 dBFS .. 0 dBFS.
std::uint8_t MagnitudeLevel(int magnitude, int n, int fullScale);

// Computes tile `index` (columns index * kTileColumns ...) into levels (kTileColumns x rows,
// column after column). Column c's first window is centred on frame c * columnFrames. fft must be ready for layout.n with the Hann window. Columns beyond the
// take stay 0. Returns false when cancel was raised (levels then incomplete).
bool ComputeTile(CFftEngine& fft, const MonoSamples& take, const SpectrogramLayout& layout, std::int64_t index,
                 const std::atomic<bool>& cancel, std::vector<std::uint8_t>& levels);

class SonogramTiles {
public:
    using Levels = std::shared_ptr<const std::vector<std::uint8_t>>;
    // Called on a worker thread for every finished tile of the present generation.
    using Ready = std::function<void(std::uint64_t generation, std::int64_t index, Levels levels)>;

    // threads workers (at least 1) are started and wait for work.
    SonogramTiles(int threads, Ready ready);
    // Cancels everything and joins the workers.
    ~SonogramTiles();
    SonogramTiles(const SonogramTiles&) = delete;
    SonogramTiles& operator=(const SonogramTiles&) = delete;

    // Owner thread. A new take or layout (take.data null: none, the workers rest): queued tiles
    // are dropped, running ones stop at their next spectrum, and the call returns when no worker
    // reads the old take any more, so the caller may change or free it then. Returns the new
    // generation.
    std::uint64_t Reset(const MonoSamples& take, const SpectrogramLayout& layout);
    // Owner thread. Queues a tile of the present generation unless it is queued or running.
    void Request(std::int64_t index);
    std::uint64_t Generation() const { return m_nGeneration.load(std::memory_order_acquire); }
    // Tiles computed on the owner's thread (always 0: the check of the tests).
    int TilesOnOwnerThread() const { return m_nOnOwner.load(std::memory_order_relaxed); }

private:
    void Work();

    const std::thread::id m_owner;
    Ready m_ready;
    std::mutex m_mutex;
    std::condition_variable m_wake;   // work queued or the end
    std::condition_variable m_idle;   // a worker finished a tile
    std::deque<std::int64_t> m_queue; // guarded by m_mutex, as the members below
    std::vector<std::int64_t> m_running;
    int m_nBusy = 0;
    bool m_bQuit = false;
    MonoSamples m_take;
    SpectrogramLayout m_layout;
    std::atomic<bool> m_bCancel{false};         // raised by Reset, read by ComputeTile
    std::atomic<std::uint64_t> m_nGeneration{0}; // written under m_mutex by the owner
    std::atomic<int> m_nOnOwner{0};
    std::vector<std::thread> m_threads;
};

}  // namespace tonmira::view
