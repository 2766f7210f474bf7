#pragma once
// The decoder library's own logging, a setting of the whole process.

namespace tonmira {

// FFmpeg logs to stderr by default; turns that off for the whole process, so the program's
// messages stay its only output. Call once from main, before any file is read.
void QuietDecoderLog();

// Caps any one allocation of the decoder library (256 MiB): a damaged header can claim a chunk of
// gigabytes, which the library would allocate and zero before finding the file too short. Our own
// sample buffers are not affected. A setting of the whole process: call once from main.
void LimitDecoderAllocations();

}  // namespace tonmira
