#pragma once
// The whole take's spectra, kept small enough to hold for hours of sound: short-time spectra of N
// samples with 50 % overlap over every sample of the take, pooled by their maximum over blocks of
// a few consecutive windows (and, for N above 4096, over neighbouring bins), as colour levels.
// A picture drawn from it misses nothing: every window's loudest bins reach the column that
// covers the window's centre, however narrow the picture.
//
// Built on worker threads (one CFftEngine each), joined, never detached. The blocks are handed
// out coarse first (every 64th block across the whole take, then every 16th, every 4th, the rest)
// so that a picture of the whole take can be shown after a small part of the work. The owner
// starts, cancels and resumes the build; it reads finished blocks while the workers go on.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "view/SummaryPyramid.h"

namespace tonmira {
class CFftEngine;
}

namespace tonmira::view {

class TakeLevelSummary {
public:
    // Called on a worker thread when a coarse stage is complete or the build advanced by about
    // 1/64; must only post to the owner.
    using Notify = std::function<void()>;
    static constexpr int kMaxStoredBins = 2048;

    explicit TakeLevelSummary(int threads);
    // Cancels the build and joins the workers.
    ~TakeLevelSummary();
    TakeLevelSummary(const TakeLevelSummary&) = delete;
    TakeLevelSummary& operator=(const TakeLevelSummary&) = delete;

    // Owner thread. Drops the present summary and builds one of take (which must stay alive and
    // unchanged until Cancel or Clear returns) at N = n (a power of two, 16 or more).
    void Start(const MonoSamples& take, int n, Notify notify);
    // Owner thread. Stops the workers and returns once none reads the take any more. Finished
    // blocks stay and may be read.
    void Cancel();
    // Owner thread. Goes on with a cancelled build of the same, unchanged take.
    void Resume();
    // Owner thread. Cancels and forgets the summary.
    void Clear();
    // Owner thread. Returns when the build is complete (or cancelled).
    void Wait();
    // Whether the workers are running.
    bool Running() const { return !m_threads.empty(); }

    bool Empty() const { return m_nBlocks == 0; }
    // Changes with every Start and Clear: what was read from the summary before is stale.
    std::uint64_t Generation() const { return m_nGeneration; }
    bool Complete() const { return m_nBlocks > 0 && m_nDone.load(std::memory_order_acquire) == m_nBlocks; }
    int ProgressPerMille() const;
    // Coarse stages complete (0 .. StageCount()).
    int StagesDone() const;
    int StageCount() const { return static_cast<int>(m_stages.size()); }

    const MonoSamples& Take() const { return m_take; }
    int N() const { return m_nN; }
    std::int64_t Windows() const { return m_nWindows; }
    int WindowsPerBlock() const { return m_nPerBlock; }
    std::int64_t Blocks() const { return m_nBlocks; }
    // Bins per block and how many of the engine's bins each stands for.
    int Bins() const { return m_nBins; }
    int BinGroup() const { return m_nBinGroup; }
    // First frame and centre frame (in frames, may be fractional) of window k.
    std::uint64_t WindowStart(std::int64_t k) const;
    double WindowCentre(std::int64_t k) const;
    // Any thread: whether block b is finished; its Bins() levels then stay as they are.
    bool BlockDone(std::int64_t b) const { return m_pDone[static_cast<std::size_t>(b)].load(std::memory_order_acquire) != 0; }
    const std::uint8_t* Block(std::int64_t b) const { return m_pLevels.get() + static_cast<std::size_t>(b) * static_cast<std::size_t>(m_nBins); }

    // Bytes held for the summary.
    std::size_t MemoryBytes() const;

private:
    struct Stage {
        std::int64_t end = 0;            // one past its last entry in m_order
        std::atomic<std::int64_t> left{0};
    };
    void Launch();
    void Work();
    void ComputeBlock(CFftEngine& fft, std::int64_t block, std::vector<int>& magnitudes, std::vector<int>& largest);

    const int m_nThreads;
    MonoSamples m_take;
    int m_nN = 0;
    std::int64_t m_nWindows = 0;
    int m_nPerBlock = 1;
    std::int64_t m_nBlocks = 0;
    int m_nBins = 0;
    int m_nBinGroup = 1;
    Notify m_notify;
    std::uint64_t m_nGeneration = 0;
    // m_nBlocks x m_nBins, written by the workers. Left uninitialised: a block is read only once
    // it is done, and tens of megabytes zeroed on the owner's thread would hold up the window.
    std::unique_ptr<std::uint8_t[]> m_pLevels;
    std::size_t m_nLevelBytes = 0;
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_pDone;  // per block, released after its levels
    std::vector<std::int64_t> m_order;                 // blocks, coarse first
    std::vector<std::unique_ptr<Stage>> m_stages;
    std::vector<int> m_levelFloor;                     // smallest magnitude of each colour level
    std::atomic<std::int64_t> m_nNext{0};              // next entry of m_order to hand out
    std::atomic<std::int64_t> m_nDone{0};
    std::atomic<bool> m_bCancel{false};
    std::vector<std::thread> m_threads;
};

}  // namespace tonmira::view
