#pragma once
// CReader: a synchronous audio reader built on FFmpeg, made for WMA and serving every format
// the program only reads. It opens a file of one named container (ASF unless m_pszDemuxer says
// otherwise) through a CROStream, finds its audio and video streams, and decodes the audio
// output into one block of interleaved PCM (m_pBuffer, m_nFrames frames in the format
// m_pFormat). One reader serves one import on one thread; failures are shown through the
// message sink and returned as HRESULTs.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "doc/AvHandles.h"
#include "doc/ROStream.h"

namespace tonmira {

class MessageSink;

// The format block of the reader's audio output, laid out as the familiar WAVEFORMATEX.
struct WaveFormatEx {
    WORD wFormatTag;  // 1 = PCM
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // no extra bytes follow
};

// FFmpeg's error codes as HRESULTs, the only place they are translated:
//   AVERROR_EOF               -> NS_E_NO_MORE_SAMPLES (the reader's end code)
//   AVERROR(ENOMEM)           -> E_OUTOFMEMORY 0x8007000E
//   AVERROR(EINVAL)           -> E_INVALIDARG 0x80070057
//   AVERROR(other errno e)    -> 0x8007xxxx with e in the low 16 bits (as HResultFromErrno)
//   anything else (invalid data, no decoder, unknown stream layout, ...) -> E_FAIL 0x80004005
HRESULT HResultFromAvError(int averror);

class CReader {
public:
    explicit CReader(MessageSink& sink);
    virtual ~CReader();
    CReader(const CReader&) = delete;
    CReader& operator=(const CReader&) = delete;

    // Range in milliseconds (end 0 = to the end), compressed instead of decoded samples, audio and
    // video selection, range given in video frames. E_INVALIDARG when end is set and start >= end.
    HRESULT Configure(std::uint64_t qwStart, std::uint64_t qwEnd, BOOL bCompressed, BOOL bAudioOn,
                      BOOL bVideoOn, BOOL bRangeInFrames);
    // Opens one file: streams, audio output and its format. Paths starting with "http" are refused.
    HRESULT Open(const char* pwszFile);
    // Decodes the configured range into m_pBuffer / m_nFrames.
    HRESULT ReadSamples();
    // Lets go of the file and every decoder resource; the decoded block stays.
    HRESULT Close();

    AvFormatPtr m_pReader;  // the demuxer; created on the first Open
    WORD m_wAudioStream = 0;  // stream number (index + 1) of the audio stream, 0 = none
    WORD m_wVideoStream = 0;  // stream number of a video stream, 0 = none
    std::uint64_t m_qwStart = 0;
    std::uint64_t m_qwEnd = 0;
    BOOL m_bCompressed = 0;
    BOOL m_bAudioOn = 1;
    BOOL m_bVideoOn = 1;
    BOOL m_bRangeInFrames = 0;
    std::unique_ptr<CROStream> m_pStream;
    DWORD m_dwAudioOutput = 0;  // output index (= stream index) that carries audio
    std::unique_ptr<WaveFormatEx> m_pFormat;
    UINT m_nFrames = 0;
    BYTE* m_pBuffer = nullptr;  // malloc'd; owned until the document takes it

    // Decoding stops with a failure once *m_pCancel is true (set from any thread). Set before
    // ReadSamples; null = never.
    const std::atomic<bool>* m_pCancel = nullptr;
    // Gets the file position of each packet read, for a progress bar on another thread; null =
    // none. Set before ReadSamples.
    std::atomic<std::uint64_t>* m_pProgress = nullptr;
    // The FFmpeg demuxer Open uses; only this container is ever probed. Set before Open.
    const char* m_pszDemuxer = "asf";
    // The FFmpeg decoder of the audio stream when the caller knows better than the demuxer;
    // null = the demuxer's choice. Set before Open.
    const char* m_pszDecoder = nullptr;
    // The audio stream as it lies in the file, known after Open: codec name, channels, and the
    // sample width (bits 0 when the codec does not say) of integer or floating-point samples.
    std::string m_strSourceCodec;
    int m_nSourceChannels = 0;
    int m_nSourceBits = 0;
    bool m_bSourceFloat = false;
    // Samples beyond full scale (floating-point sources), set to the nearest 16-bit value.
    std::uint64_t m_nClipped = 0;

private:
    HRESULT OpenStream();
    HRESULT FindStreamNumbers();
    HRESULT FindAudioOutput();
    HRESULT GetOutputProps(DWORD dwOutput);
    HRESULT SetRange(std::int64_t cnsStart, std::int64_t cnsDuration);
    // The next decoded buffer of the audio output, valid until the next call; the end code when
    // every sample has been delivered.
    HRESULT GetNextSample(const BYTE** ppData, DWORD* pcbLength);
    HRESULT ReceiveConverted(bool* pbGot);
    HRESULT ConvertFrame(bool* pbGot);
    void DrainConverter();
    // Rounds frames frames of m_mix to 16-bit samples appended to m_sample, counting clips.
    void AppendRounded(int frames);
    HRESULT AppendSample(const BYTE* pData, DWORD cbLength);
    void ReleaseDecoder();
    void ShowFailure(const char* format, HRESULT hr);

    MessageSink& m_sink;
    AvIoPtr m_pIo;  // m_pReader's byte source, over m_pStream
    AvCodecPtr m_pDecoder;
    SwrPtr m_pSwr;
    AvPacketPtr m_pPacket;
    AvFramePtr m_pFrame;
    int m_nSwrInRate = 0;   // what m_pSwr was set up for
    int m_nSwrInFormat = -1;
    int m_nSwrInChannels = 0;
    std::uint64_t m_qwSwrInMask = 0;
    bool m_bDraining = false;    // the demuxer is exhausted and the decoder is being flushed
    bool m_bDecoderDone = false; // the decoder has given its last frame
    std::int64_t m_cnsRangeStart = 0;  // in 100-ns units
    std::int64_t m_cnsRangeEnd = 0;    // 0 = to the end
    std::vector<BYTE> m_sample;  // the buffer GetNextSample hands out
    std::vector<double> m_mix;   // the converter's output before rounding to 16 bits
    std::size_t m_cbBuffer = 0;  // bytes allocated behind m_pBuffer
    std::size_t m_cbData = 0;    // bytes used in m_pBuffer
};

}  // namespace tonmira
