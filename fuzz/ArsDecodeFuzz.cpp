// Any byte string read as a collection settings file: never crashes, and what was read is
// written and read back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "collect/ArsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    tonmira::CollectSettings settings;
    int bits = 16;
    tonmira::DecodeArs(bytes, bits, settings);
    std::string once = tonmira::EncodeArs(bits, settings);
    tonmira::CollectSettings again;
    int bitsAgain = 0;
    tonmira::DecodeArs(once, bitsAgain, again);
    if (tonmira::EncodeArs(bitsAgain, again) != once)
        std::abort();
    return 0;
}
