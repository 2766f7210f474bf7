#pragma once
// Which FFmpeg the program runs with, for --version --verbose. Any thread.
#include <string>

namespace tonmira {

// "FFmpeg 5.1.4 (libavformat 59.27.100, libavcodec ..., libavutil ..., libswresample ...)": the
// libraries loaded at run time, which may be newer than those the program was built with.
std::string FfmpegVersionText();

}  // namespace tonmira
