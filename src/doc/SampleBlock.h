#pragma once
// Fresh memory for the sample buffers of a take (the data, the mono and reverse buffers).
#include <cstddef>

#include "base/Types.h"

namespace tonmira {

// malloc(bytes) (bytes 0 counts as 1), released with std::free. A large block is aligned and
// marked for the kernel's huge pages: filling hundreds of MiB of new memory page by page costs
// more in page faults than the copy itself. Null when there is no memory.
BYTE* AllocateSampleBlock(std::size_t bytes);

}  // namespace tonmira
