#pragma once
// Owning pointers for the FFmpeg objects the reader holds: each frees its object with the one
// FFmpeg call that fits it, exactly once. The deleters are defined beside FFmpeg's headers in
// AvHandles.cpp, so that this header keeps FFmpeg out of every file that includes the reader.
#include <memory>

struct AVFormatContext;
struct AVIOContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace tonmira {

// Closes an opened demuxer, or frees one that was created but never opened. Leaves the custom
// byte source alone: the context is marked as using custom I/O, and the reader owns that.
struct AvFormatDeleter {
    void operator()(AVFormatContext* p) const;
};
// Frees the context's current buffer (FFmpeg may have replaced the one it was given) and then
// the context itself.
struct AvIoDeleter {
    void operator()(AVIOContext* p) const;
};
struct AvCodecDeleter {
    void operator()(AVCodecContext* p) const;
};
struct SwrDeleter {
    void operator()(SwrContext* p) const;
};
struct AvPacketDeleter {
    void operator()(AVPacket* p) const;
};
struct AvFrameDeleter {
    void operator()(AVFrame* p) const;
};
// Memory from av_malloc.
struct AvFreeDeleter {
    void operator()(void* p) const;
};

using AvFormatPtr = std::unique_ptr<AVFormatContext, AvFormatDeleter>;
using AvIoPtr = std::unique_ptr<AVIOContext, AvIoDeleter>;
using AvCodecPtr = std::unique_ptr<AVCodecContext, AvCodecDeleter>;
using SwrPtr = std::unique_ptr<SwrContext, SwrDeleter>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketDeleter>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameDeleter>;
using AvBufferPtr = std::unique_ptr<unsigned char, AvFreeDeleter>;

}  // namespace tonmira
