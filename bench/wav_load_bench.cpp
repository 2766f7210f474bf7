// WAV load throughput: the document's File > Open path (read, mono mix of the two channels)
// against a bare read() loop over the same file into one buffer. Both run warm from the
// page cache; the file is generated once per run and removed at exit.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "doc/WavFile.h"

namespace {

constexpr std::uint32_t kFrames = 50u * 1024u * 1024u;  // 200 MiB of 16-bit stereo

class QuietSink : public tonmira::MessageSink {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

struct BenchFile {
    BenchFile() : m_path("/tmp/tonmira-wav-load-bench-" + std::to_string(::getpid()) + ".wav")
    {
        tonmira::WavHeader header{};
        tonmira::FillWavHeader(header, 2, 44100, 16, kFrames);
        FILE* f = std::fopen(m_path.c_str(), "wb");
        std::fwrite(&header, sizeof header, 1, f);
        std::vector<std::int16_t> block(1 << 20);
        std::uint32_t state = 1;
        for (std::uint64_t written = 0; written < header.dataSize; written += block.size() * 2) {
            for (auto& s : block) {
                state = state * 1664525u + 1013904223u;
                s = static_cast<std::int16_t>(state >> 16);
            }
            std::fwrite(block.data(), 2, block.size(), f);
        }
        std::fclose(f);
        m_bytes = sizeof header + static_cast<std::uint64_t>(header.dataSize);
    }
    ~BenchFile() { std::remove(m_path.c_str()); }
    std::string m_path;
    std::uint64_t m_bytes = 0;
};

BenchFile& File()
{
    static BenchFile file;
    return file;
}

void BM_DocumentLoad(benchmark::State& state)
{
    QuietSink sink;
    for (auto _ : state) {
        tonmira::CTonmiraDoc doc(sink);
        if (!doc.OnOpenDocument(File().m_path) || doc.m_nSamples != kFrames)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc.m_pMono);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * File().m_bytes));
}

// The mono mix of the loaded take alone, into a fresh buffer as at every load.
void BM_BuildMonoBuffer(benchmark::State& state)
{
    QuietSink sink;
    tonmira::CTonmiraDoc doc(sink);
    if (!doc.OnOpenDocument(File().m_path))
        state.SkipWithError("load failed");
    for (auto _ : state) {
        doc.BuildMonoBuffer();
        benchmark::DoNotOptimize(doc.m_pMono);
    }
}

// The file read with plain read() calls into buffer; the bytes read.
std::size_t ReadWhole(const std::string& path, char* buffer, std::size_t size)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t done = 0;
    ssize_t got;
    while ((got = ::read(fd, buffer + done, size - done)) > 0)
        done += static_cast<std::size_t>(got);
    ::close(fd);
    return done;
}

void BM_ReadLoop(benchmark::State& state)
{
    std::vector<char> buffer(File().m_bytes);
    for (auto _ : state) {
        const std::size_t done = ReadWhole(File().m_path, buffer.data(), buffer.size());
        benchmark::DoNotOptimize(buffer.data());
        if (done != buffer.size())
            state.SkipWithError("short read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * File().m_bytes));
}

// The same read() loop into a freshly allocated block each time (not zeroed first), as the load
// must do: the anchor for the load, which cannot avoid the page faults of new memory.
void BM_ReadLoopFreshBuffer(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<char[]> buffer(new char[File().m_bytes]);
        const std::size_t done = ReadWhole(File().m_path, buffer.get(), File().m_bytes);
        benchmark::DoNotOptimize(buffer.get());
        if (done != File().m_bytes)
            state.SkipWithError("short read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * File().m_bytes));
}

// The same into fresh memory given to the kernel's huge pages, as the load's own buffers are:
// the anchor without the cost of faulting in 4 KiB pages one at a time.
void BM_ReadLoopFreshHugePages(benchmark::State& state)
{
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    for (auto _ : state) {
        void* block = nullptr;
        if (::posix_memalign(&block, kHugePage, File().m_bytes) != 0) {
            state.SkipWithError("no memory");
            break;
        }
        ::madvise(block, File().m_bytes / kHugePage * kHugePage, MADV_HUGEPAGE);
        const std::size_t done = ReadWhole(File().m_path, static_cast<char*>(block), File().m_bytes);
        benchmark::DoNotOptimize(block);
        std::free(block);
        if (done != File().m_bytes)
            state.SkipWithError("short read");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * File().m_bytes));
}

}  // namespace

BENCHMARK(BM_DocumentLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BuildMonoBuffer)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadLoop)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadLoopFreshBuffer)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadLoopFreshHugePages)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
