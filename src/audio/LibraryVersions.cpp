#include "audio/LibraryVersions.h"

#include <portaudio.h>

#include "doc/FfmpegVersion.h"
#include "dsp/FftwVersion.h"

namespace tonmira {

std::string LibraryVersionLines()
{
    return "FFmpeg: " + FfmpegVersionText() + "\nFFTW: " + FftwVersionText() + "\nPortAudio: " +
           Pa_GetVersionInfo()->versionText + "\n";
}

}  // namespace tonmira
