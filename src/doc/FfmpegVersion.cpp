#include "doc/FfmpegVersion.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libswresample/swresample.h>
}

namespace tonmira {

namespace {

std::string VersionNumber(unsigned version)
{
    return std::to_string(AV_VERSION_MAJOR(version)) + "." + std::to_string(AV_VERSION_MINOR(version)) + "." +
           std::to_string(AV_VERSION_MICRO(version));
}

}  // namespace

std::string FfmpegVersionText()
{
    return std::string("FFmpeg ") + av_version_info() + " (libavformat " + VersionNumber(avformat_version()) +
           ", libavcodec " + VersionNumber(avcodec_version()) + ", libavutil " + VersionNumber(avutil_version()) +
           ", libswresample " + VersionNumber(swresample_version()) + ")";
}

}  // namespace tonmira
