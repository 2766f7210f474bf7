#pragma once
// The decoder library's own logging, a setting of the whole process.

namespace tonmira {

// FFmpeg logs to stderr by default; turns that off for the whole process, so the program's
// messages stay its only output. Call once from main, before any file is read.
void QuietDecoderLog();

}  // namespace tonmira
