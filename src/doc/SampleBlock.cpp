#include "doc/SampleBlock.h"

#include <sys/mman.h>

#include <cstdlib>

namespace tonmira {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a block is left to malloc: the huge pages would round it up by too much.
constexpr std::size_t kHugeThreshold = 8 * kHugePage;
}  // namespace

BYTE* AllocateSampleBlock(std::size_t bytes)
{
    if (bytes < kHugeThreshold)
        return static_cast<BYTE*>(std::malloc(bytes ? bytes : 1));
    void* block = nullptr;
    if (::posix_memalign(&block, kHugePage, bytes) != 0)
        return nullptr;
    // Only advice: where huge pages are off or used up the block is an ordinary one.
    const std::size_t whole = bytes / kHugePage * kHugePage;
    ::madvise(block, whole, MADV_HUGEPAGE);
    return static_cast<BYTE*>(block);
}

}  // namespace tonmira
