#include "doc/Reader.h"

#include <strings.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "base/MessageSink.h"
#include "base/SampleMath.h"
#include "doc/SamplingRateValidation.h"

namespace tonmira {

namespace {

constexpr int kIoBufferSize = 64 * 1024;
constexpr std::int64_t kCnsPerSecond = 10000000;  // the reader's ranges are in 100-ns units
constexpr std::size_t kMinBufferGrowth = 256 * 1024;

// The other direction, for the byte source's callbacks: FFmpeg wants AVERROR codes.
int AvErrorFromHResult(HRESULT hr)
{
    if (hr == E_OUTOFMEMORY)
        return AVERROR(ENOMEM);
    if (hr == E_INVALIDARG)
        return AVERROR(EINVAL);
    if ((static_cast<std::uint32_t>(hr) & 0xFFFF0000u) == 0x80070000u)
        return AVERROR(static_cast<int>(hr & 0xFFFF));
    return AVERROR(EIO);
}

int ReadCallback(void* opaque, std::uint8_t* buf, int size)
{
    DWORD got = 0;
    HRESULT hr = static_cast<CROStream*>(opaque)->Read(buf, static_cast<DWORD>(size), &got);
    if (FAILED(hr))
        return AvErrorFromHResult(hr);
    return got == 0 ? AVERROR_EOF : static_cast<int>(got);
}

std::int64_t SeekCallback(void* opaque, std::int64_t offset, int whence)
{
    auto* stream = static_cast<CROStream*>(opaque);
    if (whence & AVSEEK_SIZE) {
        std::uint64_t size = 0;
        HRESULT hr = stream->Stat(&size);
        return FAILED(hr) ? AvErrorFromHResult(hr) : static_cast<std::int64_t>(size);
    }
    DWORD origin;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: origin = 0; break;
    case SEEK_CUR: origin = 1; break;
    case SEEK_END: origin = 2; break;
    default: return AVERROR(EINVAL);
    }
    std::uint64_t position = 0;
    HRESULT hr = stream->Seek(offset, origin, &position);
    return FAILED(hr) ? AvErrorFromHResult(hr) : static_cast<std::int64_t>(position);
}

std::string FormatCode(const char* format, HRESULT hr)
{
    char text[256];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
    return text;
}

// The output-finding failures read "<text> (hr=0X...)".
std::string FormatNamed(const char* what, HRESULT hr)
{
    char text[256];
    std::snprintf(text, sizeof text, "%s (hr=%#X)", what, static_cast<unsigned>(hr));
    return text;
}

// A channel layout that is uninitialised on every way out of the function holding it.
struct ChannelLayout {
    ChannelLayout() = default;
    ChannelLayout(const ChannelLayout&) = delete;
    ChannelLayout& operator=(const ChannelLayout&) = delete;
    ~ChannelLayout() { av_channel_layout_uninit(&m_layout); }
    AVChannelLayout m_layout{};
};

// FFmpeg names no order for most counts above eight channels, so it cannot mix them down: the
// odd-numbered channels (1, 3, ...) go to the left, the even-numbered to the right, each side
// the mean of its channels, so that full-scale inputs stay within full scale.
int SetAlternatingStereoMix(SwrContext* converter, int channels)
{
    std::vector<double> matrix(2 * static_cast<std::size_t>(channels), 0.0);
    for (int c = 0; c < channels; ++c) {
        const int side = c % 2;
        const int members = side == 0 ? (channels + 1) / 2 : channels / 2;
        matrix[static_cast<std::size_t>(side * channels + c)] = 1.0 / members;
    }
    return swr_set_matrix(converter, matrix.data(), channels);
}

}  // namespace

HRESULT HResultFromAvError(int averror)
{
    if (averror >= 0)
        return S_OK;
    if (averror == AVERROR_EOF)
        return NS_E_NO_MORE_SAMPLES;
    if (averror == AVERROR(ENOMEM))
        return E_OUTOFMEMORY;
    if (averror == AVERROR(EINVAL))
        return E_INVALIDARG;
    // errno-based codes are small; FFmpeg's own codes are negative four-character tags.
    if (averror > -4096)
        return HResultFromErrno(-averror);
    return E_FAIL;
}

CReader::CReader(MessageSink& sink) : m_sink(sink)
{
}

CReader::~CReader()
{
    Close();  // lets go of the demuxer before the byte source it reads through
    std::free(m_pBuffer);
}

void CReader::ShowFailure(const char* format, HRESULT hr)
{
    m_sink.Message(FormatCode(format, hr));
}

HRESULT CReader::Configure(std::uint64_t qwStart, std::uint64_t qwEnd, BOOL bCompressed, BOOL bAudioOn,
                           BOOL bVideoOn, BOOL bRangeInFrames)
{
    if (qwEnd != 0 && qwStart >= qwEnd)
        return E_INVALIDARG;
    m_qwStart = qwStart;
    m_qwEnd = qwEnd;
    m_bCompressed = bCompressed;
    m_bAudioOn = bAudioOn;
    m_bVideoOn = bVideoOn;
    m_bRangeInFrames = bRangeInFrames;
    return S_OK;
}

HRESULT CReader::Open(const char* pwszFile)
{
    if (!pwszFile || !*pwszFile)
        return E_INVALIDARG;
    if (strncasecmp(pwszFile, "http", 4) == 0) {
        ShowFailure("Wrong input file - streams are not supported : (hr=0x%08x).\n", S_OK);
        return E_INVALIDARG;
    }

    std::free(m_pBuffer);
    m_pBuffer = nullptr;
    m_cbBuffer = 0;
    m_cbData = 0;
    m_nFrames = 0;
    if (m_pStream)
        Close();  // a second Open lets go of the first file

    if (!m_pReader) {
        m_pReader.reset(avformat_alloc_context());
        if (!m_pReader) {
            ShowFailure("Could not create reader (hr=0x%08x).\n", E_OUTOFMEMORY);
            return E_OUTOFMEMORY;
        }
    }

    m_pStream.reset(new (std::nothrow) CROStream);
    if (!m_pStream) {
        ShowFailure("Could not open file (hr=0x%08x).\n", E_OUTOFMEMORY);
        return E_OUTOFMEMORY;
    }
    HRESULT hr = m_pStream->Open(pwszFile);
    if (SUCCEEDED(hr))
        hr = OpenStream();
    if (FAILED(hr)) {
        ShowFailure("Could not open file (hr=0x%08x).\n", hr);
        return hr;
    }

    hr = FindStreamNumbers();
    if (FAILED(hr)) {
        ShowFailure("Could not stream numbers (hr=0x%08x).\n", hr);
        return hr;
    }
    hr = FindAudioOutput();
    if (FAILED(hr))
        ShowFailure("Could not get audio output (hr=0x%08x).\n", hr);
    return hr;
}

HRESULT CReader::OpenStream()
{
    AvBufferPtr buffer(static_cast<unsigned char*>(av_malloc(kIoBufferSize)));
    if (!buffer)
        return E_OUTOFMEMORY;
    m_pIo.reset(avio_alloc_context(buffer.get(), kIoBufferSize, 0, m_pStream.get(), ReadCallback, nullptr,
                                   SeekCallback));
    if (!m_pIo)
        return E_OUTOFMEMORY;
    buffer.release();  // the context frees it from now on
    m_pReader->pb = m_pIo.get();
    // Our byte source, not FFmpeg's: closing the demuxer must never close it.
    m_pReader->flags |= AVFMT_FLAG_CUSTOM_IO;

    // The container is named by the file's name (WMA lives in ASF). Naming it keeps content
    // probing from handing the file to a demuxer that opens further files or network addresses
    // on its own (playlists, HLS, concat).
    const AVInputFormat* container = av_find_input_format(m_pszDemuxer ? m_pszDemuxer : "asf");
    if (!container)
        return E_FAIL;
    // A failed open frees the context and leaves null behind, so the call takes it over and the
    // owner gets back only what survives.
    AVFormatContext* opening = m_pReader.release();
    int err = avformat_open_input(&opening, nullptr, container, nullptr);
    m_pReader.reset(opening);
    if (err >= 0)
        err = avformat_find_stream_info(m_pReader.get(), nullptr);
    if (err < 0)
        return err == AVERROR_EOF ? E_FAIL : HResultFromAvError(err);  // ended before it made sense
    return S_OK;
}

HRESULT CReader::FindStreamNumbers()
{
    m_wAudioStream = 0;
    m_wVideoStream = 0;
    // Stream numbers are 1-based (0 = none); the last stream of each type wins.
    unsigned count = m_pReader->nb_streams;
    for (unsigned i = 0; i < count && i < 0xFFFFu; ++i) {
        AVMediaType type = m_pReader->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_AUDIO)
            m_wAudioStream = static_cast<WORD>(i + 1);
        else if (type == AVMEDIA_TYPE_VIDEO)
            m_wVideoStream = static_cast<WORD>(i + 1);
    }
    return S_OK;
}

HRESULT CReader::FindAudioOutput()
{
    // One output per stream. Only the output of the selected audio stream is taken: with several
    // audio streams, a format from one and samples from another would corrupt the take.
    DWORD count = m_pReader->nb_streams;
    for (DWORD output = 0; output < count; ++output) {
        if (m_pReader->streams[output]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO || output + 1 != m_wAudioStream)
            continue;
        HRESULT hr = GetOutputProps(output);
        if (FAILED(hr))
            return hr;
        int channels = m_pDecoder->ch_layout.nb_channels;
        int rate = m_pDecoder->sample_rate;
        // A rate no take may have is refused here, so a decoded file never gives a WAV that
        // the program would refuse to read back.
        const bool rateIsReal =
            rate >= static_cast<int>(kMinSamplingRate) && rate <= static_cast<int>(kMaxSamplingRate);
        if (channels <= 0 || !rateIsReal) {
            m_sink.Message(FormatNamed("Could not get media type", E_FAIL));
            return E_FAIL;
        }
        const AVCodecParameters* par = m_pReader->streams[output]->codecpar;
        const AVCodecDescriptor* codec = avcodec_descriptor_get(par->codec_id);
        // Companded 8-bit samples (mu-law, A-law) expand to 16 bits exactly: told as 8-bit.
        const bool companded = par->codec_id == AV_CODEC_ID_PCM_MULAW || par->codec_id == AV_CODEC_ID_PCM_ALAW;
        const bool lossy = !codec || ((codec->props & AV_CODEC_PROP_LOSSY) && !companded);
        m_strSourceCodec = codec ? codec->name : "unknown";
        m_nSourceChannels = channels;
        m_bSourceFloat = !lossy && (av_get_packed_sample_fmt(m_pDecoder->sample_fmt) == AV_SAMPLE_FMT_FLT ||
                                    av_get_packed_sample_fmt(m_pDecoder->sample_fmt) == AV_SAMPLE_FMT_DBL);
        m_nSourceBits = lossy ? 0 : (par->bits_per_raw_sample > 0 ? par->bits_per_raw_sample : par->bits_per_coded_sample);
        std::unique_ptr<WaveFormatEx> format(new (std::nothrow) WaveFormatEx{});
        if (!format) {
            m_sink.Message(FormatNamed("Insufficient memory", E_OUTOFMEMORY));
            return E_OUTOFMEMORY;
        }
        // Interleaved signed 16-bit at the stream's own rate. More than two channels are mixed
        // down to stereo while decoding: the rest of the program handles one or two channels.
        format->wFormatTag = 1;
        format->nChannels = static_cast<WORD>(channels > 2 ? 2 : channels);
        format->nSamplesPerSec = static_cast<DWORD>(rate);
        format->wBitsPerSample = 16;
        format->nBlockAlign = static_cast<WORD>(format->nChannels * 2);
        format->nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
        format->cbSize = 0;
        m_pFormat = std::move(format);
        m_dwAudioOutput = output;
        return S_OK;
    }
    m_sink.Message(FormatNamed("Could not find an audio stream in the specified file", E_UNEXPECTED));
    return E_UNEXPECTED;
}

HRESULT CReader::GetOutputProps(DWORD dwOutput)
{
    ReleaseDecoder();
    const AVStream* stream = m_pReader->streams[dwOutput];
    HRESULT hr = S_OK;
    const AVCodec* codec = m_pszDecoder ? avcodec_find_decoder_by_name(m_pszDecoder)
                                        : avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec && m_pszDecoder)
        stream->codecpar->codec_id = codec->id;
    if (!codec)
        hr = E_FAIL;
    if (SUCCEEDED(hr)) {
        m_pDecoder.reset(avcodec_alloc_context3(codec));
        m_pPacket.reset(av_packet_alloc());
        m_pFrame.reset(av_frame_alloc());
        if (!m_pDecoder || !m_pPacket || !m_pFrame)
            hr = E_OUTOFMEMORY;
    }
    if (SUCCEEDED(hr))
        hr = HResultFromAvError(avcodec_parameters_to_context(m_pDecoder.get(), stream->codecpar));
    if (SUCCEEDED(hr)) {
        m_pDecoder->pkt_timebase = stream->time_base;
        hr = HResultFromAvError(avcodec_open2(m_pDecoder.get(), codec, nullptr));
    }
    if (FAILED(hr)) {
        ReleaseDecoder();
        m_sink.Message(FormatNamed("Could not get output props", hr));
    }
    return hr;
}

void CReader::ReleaseDecoder()
{
    m_pDecoder.reset();
    m_pSwr.reset();
    m_pPacket.reset();
    m_pFrame.reset();
    m_nSwrInRate = 0;
    m_nSwrInFormat = -1;
    m_nSwrInChannels = 0;
    m_qwSwrInMask = 0;
    m_bDraining = false;
    m_bDecoderDone = false;
    std::vector<BYTE>().swap(m_sample);
}

HRESULT CReader::ReadSamples()
{
    if (!m_pReader || !m_pFormat || !m_pDecoder)
        return E_UNEXPECTED;  // not opened

    // Only the streams selected below reach us; the demuxer skips the rest.
    for (unsigned i = 0; i < m_pReader->nb_streams; ++i)
        m_pReader->streams[i]->discard = AVDISCARD_ALL;

    if (m_wAudioStream) {
        m_pReader->streams[m_wAudioStream - 1]->discard = m_bAudioOn ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        // Compressed samples are not PCM: no take could hold them.
        if (m_bCompressed) {
            ShowFailure("SetReadStreamSamples (hr=0x%08x).\n", E_NOTIMPL);
            return E_NOTIMPL;
        }
    }

    bool rangeSet = false;
    if (m_wVideoStream && m_bRangeInFrames) {
        // Video is never decoded (a take holds audio only), so a frame range becomes a time
        // range through the video stream's frame rate.
        const AVStream* video = m_pReader->streams[m_wVideoStream - 1];
        AVRational fps = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
        HRESULT hr = E_FAIL;
        if (fps.num > 0 && fps.den > 0 && m_qwStart <= INT32_MAX && m_qwEnd <= INT32_MAX) {
            std::int64_t start = av_rescale(static_cast<std::int64_t>(m_qwStart), kCnsPerSecond * fps.den, fps.num);
            std::int64_t duration =
                m_qwEnd ? av_rescale(static_cast<std::int64_t>(m_qwEnd - m_qwStart), kCnsPerSecond * fps.den, fps.num) : 0;
            hr = SetRange(start, duration);
        }
        if (FAILED(hr)) {
            ShowFailure("SetRangeByFrame (hr=0x%08x).\n", hr);
            return hr;
        }
        rangeSet = true;
    }
    if (!rangeSet) {
        constexpr std::uint64_t kMaxMs = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) / 10000;
        HRESULT hr = E_INVALIDARG;
        if (m_qwStart <= kMaxMs && m_qwEnd <= kMaxMs) {
            hr = SetRange(static_cast<std::int64_t>(m_qwStart) * 10000,
                          m_qwEnd ? static_cast<std::int64_t>(m_qwEnd - m_qwStart) * 10000 : 0);
        }
        if (FAILED(hr)) {
            ShowFailure("SetRange (hr=0x%08x).\n", hr);
            return hr;
        }
    }

    // The decoded bytes go straight into m_pBuffer, in the order they are delivered.
    for (;;) {
        const BYTE* data = nullptr;
        DWORD length = 0;
        HRESULT hr = GetNextSample(&data, &length);
        if (hr == NS_E_NO_MORE_SAMPLES)
            break;
        if (FAILED(hr)) {
            ShowFailure("GetNextSample() failed : (hr=0x%08x).\n", hr);
            return hr;
        }
        hr = AppendSample(data, length);
        if (FAILED(hr))
            return hr;
    }

    // A file that decodes to nothing must not become a take of zero frames.
    if (m_nFrames == 0)
        return NS_E_NO_MORE_SAMPLES;
    std::size_t used = static_cast<std::size_t>(m_nFrames) * m_pFormat->nBlockAlign;
    if (used < m_cbBuffer) {
        if (void* exact = std::realloc(m_pBuffer, used)) {  // on failure the larger block serves
            m_pBuffer = static_cast<BYTE*>(exact);
            m_cbBuffer = used;
        }
    }
    return S_OK;
}

HRESULT CReader::SetRange(std::int64_t cnsStart, std::int64_t cnsDuration)
{
    if (cnsStart < 0 || cnsDuration < 0 || cnsDuration > std::numeric_limits<std::int64_t>::max() - cnsStart)
        return E_INVALIDARG;
    // Frames before the start are decoded and dropped rather than sought past: ASF seeking
    // without an index is approximate, and imports read from the start anyway.
    m_cnsRangeStart = cnsStart;
    m_cnsRangeEnd = cnsDuration ? cnsStart + cnsDuration : 0;
    return S_OK;
}

HRESULT CReader::AppendSample(const BYTE* pData, DWORD cbLength)
{
    if (cbLength == 0)
        return S_OK;
    // A take counts its frames in 32 bits.
    std::uint64_t frames = static_cast<std::uint64_t>(m_nFrames) + cbLength / m_pFormat->nBlockAlign;
    if (frames > std::numeric_limits<UINT>::max())
        return E_OUTOFMEMORY;
    std::size_t needed = m_cbData + cbLength;
    if (needed > m_cbBuffer) {
        // Geometric growth keeps the copying linear in the length of the take.
        std::size_t capacity = m_cbBuffer + (m_cbBuffer > kMinBufferGrowth ? m_cbBuffer : kMinBufferGrowth);
        if (capacity < needed)
            capacity = needed;
        void* grown = std::realloc(m_pBuffer, capacity);
        if (!grown)
            return E_OUTOFMEMORY;
        m_pBuffer = static_cast<BYTE*>(grown);
        m_cbBuffer = capacity;
    }
    std::memcpy(m_pBuffer + m_cbData, pData, cbLength);
    m_cbData = needed;
    m_nFrames = static_cast<UINT>(frames);
    return S_OK;
}

HRESULT CReader::GetNextSample(const BYTE** ppData, DWORD* pcbLength)
{
    m_sample.clear();
    for (;;) {
        if (m_pCancel && m_pCancel->load(std::memory_order_relaxed))  // relaxed: publishes nothing else
            return E_FAIL;
        bool got = false;
        HRESULT hr = ReceiveConverted(&got);
        if (FAILED(hr))
            return hr;
        if (got) {
            *ppData = m_sample.data();
            *pcbLength = static_cast<DWORD>(m_sample.size());
            return S_OK;
        }
        if (m_bDecoderDone)
            return NS_E_NO_MORE_SAMPLES;

        int err = av_read_frame(m_pReader.get(), m_pPacket.get());
        if (err == AVERROR_EOF) {
            // Flush the decoder once; if it still asks for input after that, it has nothing left.
            if (m_bDraining)
                m_bDecoderDone = true;
            else
                avcodec_send_packet(m_pDecoder.get(), nullptr);
            m_bDraining = true;
            continue;
        }
        if (err < 0)
            return HResultFromAvError(err);
        // Relaxed: a figure for display, pairs with nothing.
        if (m_pProgress && m_pPacket->pos >= 0)
            m_pProgress->store(static_cast<std::uint64_t>(m_pPacket->pos), std::memory_order_relaxed);
        if (m_pPacket->stream_index != static_cast<int>(m_dwAudioOutput)) {
            av_packet_unref(m_pPacket.get());
            continue;
        }
        err = avcodec_send_packet(m_pDecoder.get(), m_pPacket.get());
        av_packet_unref(m_pPacket.get());
        // A damaged packet (a cut or corrupted file) is skipped, as a player would.
        if (err < 0 && err != AVERROR_INVALIDDATA)
            return HResultFromAvError(err);
    }
}

// Takes decoded frames out of the decoder until one yields PCM in the output format.
HRESULT CReader::ReceiveConverted(bool* pbGot)
{
    *pbGot = false;
    while (!m_bDecoderDone) {
        int err = avcodec_receive_frame(m_pDecoder.get(), m_pFrame.get());
        if (err == AVERROR(EAGAIN))
            return S_OK;
        if (err == AVERROR_INVALIDDATA)
            continue;
        if (err == AVERROR_EOF) {
            m_bDecoderDone = true;
        } else if (err < 0) {
            return HResultFromAvError(err);
        } else {
            HRESULT hr = ConvertFrame(pbGot);
            av_frame_unref(m_pFrame.get());
            if (FAILED(hr))
                return hr;
            if (*pbGot)
                return S_OK;
        }
    }
    DrainConverter();
    *pbGot = !m_sample.empty();
    return S_OK;
}

// Converts m_pFrame to the output format and appends it to m_sample; frames outside the range
// are dropped, and the first frame past its end finishes decoding.
HRESULT CReader::ConvertFrame(bool* pbGot)
{
    const AVStream* stream = m_pReader->streams[m_dwAudioOutput];
    std::int64_t ts = m_pFrame->best_effort_timestamp;
    if (ts != AV_NOPTS_VALUE && m_pFrame->sample_rate > 0) {
        std::int64_t start = av_rescale_q(ts, stream->time_base, AVRational{1, static_cast<int>(kCnsPerSecond)});
        std::int64_t end = start + av_rescale(m_pFrame->nb_samples, kCnsPerSecond, m_pFrame->sample_rate);
        if (m_cnsRangeEnd && start >= m_cnsRangeEnd) {
            m_bDecoderDone = true;
            return S_OK;
        }
        if (end <= m_cnsRangeStart)
            return S_OK;
    }
    if (m_pFrame->nb_samples <= 0 || m_pFrame->sample_rate <= 0)
        return S_OK;

    ChannelLayout inLayout;
    int channels = m_pFrame->ch_layout.nb_channels;
    if (channels <= 0)
        return E_FAIL;
    // Unknown or unusual channel orders are taken as the usual layout for their count.
    if (m_pFrame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE)
        av_channel_layout_copy(&inLayout.m_layout, &m_pFrame->ch_layout);
    else
        av_channel_layout_default(&inLayout.m_layout, channels);
    std::uint64_t mask = inLayout.m_layout.order == AV_CHANNEL_ORDER_NATIVE ? inLayout.m_layout.u.mask : 0;

    if (!m_pSwr || m_nSwrInRate != m_pFrame->sample_rate || m_nSwrInFormat != m_pFrame->format ||
        m_nSwrInChannels != channels || m_qwSwrInMask != mask) {
        DrainConverter();  // the stream changed its format: what the old converter holds comes first
        ChannelLayout outLayout;
        av_channel_layout_default(&outLayout.m_layout, m_pFormat->nChannels);
        // The converter gives doubles, rounded to 16 bits by AppendRounded, so that samples
        // beyond full scale are counted rather than clipped unseen. A mix-down is scaled so that
        // full-scale inputs stay within full scale, as for 16-bit output.
        // A failed set-up frees the converter and leaves null behind, as avformat_open_input does.
        SwrContext* converter = m_pSwr.release();
        int err = swr_alloc_set_opts2(&converter, &outLayout.m_layout, AV_SAMPLE_FMT_DBL,
                                      static_cast<int>(m_pFormat->nSamplesPerSec), &inLayout.m_layout,
                                      static_cast<AVSampleFormat>(m_pFrame->format), m_pFrame->sample_rate, 0, nullptr);
        m_pSwr.reset(converter);
        if (err >= 0)
            err = av_opt_set_double(m_pSwr.get(), "rematrix_maxval", 1.0, 0);
        if (err >= 0 && channels > 2 && inLayout.m_layout.order != AV_CHANNEL_ORDER_NATIVE)
            err = SetAlternatingStereoMix(m_pSwr.get(), channels);
        if (err >= 0)
            err = swr_init(m_pSwr.get());
        if (err < 0) {
            m_pSwr.reset();
            return HResultFromAvError(err);
        }
        m_nSwrInRate = m_pFrame->sample_rate;
        m_nSwrInFormat = m_pFrame->format;
        m_nSwrInChannels = channels;
        m_qwSwrInMask = mask;
    }

    int capacity = swr_get_out_samples(m_pSwr.get(), m_pFrame->nb_samples);
    if (capacity < 0)
        return HResultFromAvError(capacity);
    m_mix.resize(static_cast<std::size_t>(capacity) * m_pFormat->nChannels);
    auto* out = reinterpret_cast<std::uint8_t*>(m_mix.data());
    int n = swr_convert(m_pSwr.get(), &out, capacity, const_cast<const std::uint8_t**>(m_pFrame->extended_data),
                        m_pFrame->nb_samples);
    if (n < 0)
        return HResultFromAvError(n);
    AppendRounded(n);
    *pbGot = !m_sample.empty();
    return S_OK;
}

// Appends what the converter still holds (only a resampling converter holds any) and frees it.
void CReader::DrainConverter()
{
    if (!m_pSwr)
        return;
    int pending = swr_get_out_samples(m_pSwr.get(), 0);
    if (pending > 0) {
        m_mix.resize(static_cast<std::size_t>(pending) * m_pFormat->nChannels);
        auto* out = reinterpret_cast<std::uint8_t*>(m_mix.data());
        int n = swr_convert(m_pSwr.get(), &out, pending, nullptr, 0);
        if (n > 0)
            AppendRounded(n);
    }
    m_pSwr.reset();
}

void CReader::AppendRounded(int frames)
{
    const std::size_t count = static_cast<std::size_t>(frames) * m_pFormat->nChannels;
    const std::size_t offset = m_sample.size();
    m_sample.resize(offset + count * sizeof(std::int16_t));
    BYTE* out = m_sample.data() + offset;
    for (std::size_t i = 0; i < count; ++i) {
        // Full scale is 1.0 = 32768. Only a sample beyond it counts as clipped: the largest
        // 24- or 32-bit value rounds to 32768 and is set to 32767, within the rounding's half LSB.
        double v = m_mix[i] * 32768.0;
        if (std::isnan(v))
            v = 0.0;  // a damaged float file must not turn into full-scale noise
        if (v > 32768.0 || v < -32768.0)
            ++m_nClipped;
        long r = std::lrint(v);  // to nearest, as the 16-bit conversion of FFmpeg rounds
        r = r > 32767 ? 32767 : (r < -32768 ? -32768 : r);
        StoreS16(out, i, static_cast<int>(r));
    }
}

HRESULT CReader::Close()
{
    ReleaseDecoder();
    // The demuxer reads through the byte source, and that reads the stream: this order.
    m_pReader.reset();
    m_pIo.reset();
    m_pStream.reset();
    return S_OK;
}

}  // namespace tonmira
