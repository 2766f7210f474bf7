#pragma once
// Owned malloc'ed memory, for blocks that are grown with realloc (which keeps the old block when
// it fails) or handed to code that frees with free.
#include <cstddef>
#include <cstdlib>
#include <memory>

#include "base/Types.h"

namespace tonmira {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};

// A malloc'ed block of bytes.
using MallocBytes = std::unique_ptr<BYTE[], FreeDeleter>;

// Grows or shrinks block to bytes (not 0). False, with the block unchanged, when that fails.
inline bool Reallocate(MallocBytes& block, std::size_t bytes)
{
    void* grown = std::realloc(block.get(), bytes);
    if (!grown)
        return false;
    (void)block.release();  // realloc has taken it over
    block.reset(static_cast<BYTE*>(grown));
    return true;
}

}  // namespace tonmira
