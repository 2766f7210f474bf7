#include "doc/AvHandles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
}

namespace tonmira {

void AvFormatDeleter::operator()(AVFormatContext* p) const
{
    if (p->iformat)
        avformat_close_input(&p);
    else
        avformat_free_context(p);
}

void AvIoDeleter::operator()(AVIOContext* p) const
{
    av_freep(&p->buffer);
    avio_context_free(&p);
}

void AvCodecDeleter::operator()(AVCodecContext* p) const
{
    avcodec_free_context(&p);
}

void SwrDeleter::operator()(SwrContext* p) const
{
    swr_free(&p);
}

void AvPacketDeleter::operator()(AVPacket* p) const
{
    av_packet_free(&p);
}

void AvFrameDeleter::operator()(AVFrame* p) const
{
    av_frame_free(&p);
}

void AvFreeDeleter::operator()(void* p) const
{
    av_free(p);
}

}  // namespace tonmira
