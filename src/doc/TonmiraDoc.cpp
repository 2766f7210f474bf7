#include "doc/TonmiraDoc.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "doc/Archive.h"
#include "base/Messages.h"
#include "doc/FileFormat.h"
#include "doc/FileSignature.h"
#include "doc/LoadMix.h"
#include "doc/MonoMix.h"
#include "base/MessageSink.h"
#include "doc/PcmTextFile.h"
#include "doc/SafeFileWriter.h"
#include "doc/SampleBlock.h"
#include "doc/SamplingRateValidation.h"
#include "doc/WavFile.h"
#include "doc/WmaImport.h"

namespace tonmira {

namespace {

// Every load starts at the even balance.
constexpr int kLoadBalance = 50;

// The WAV branch of the load: the program's own reader, then the decoder for what the reader hands
// over (wider samples, more channels) or declines (a kind of file the signature names).
BOOL LoadWavFile(CTonmiraDoc& doc, CArchive& ar, const FileSignature& signature, bool& monoBuilt)
{
    const char* decoder = nullptr;
    LoadMix mix(kLoadBalance);
    CapturingMessageSink wavMessages;
    const BOOL read = ReadWavFile(doc, ar, &decoder, &mix, &wavMessages);
    if (read && !decoder) {
        if (doc.m_pData) {
            doc.m_pMono = mix.Take(doc.m_nSamples, doc.m_nPeak);
            monoBuilt = doc.m_pMono != nullptr;
        }
        return 1;
    }
    // A file of a kind the reader does not read itself (mu-law, 12 valid bits, 64-bit integers,
    // big-endian RIFX, another format under a WAV name) goes to the decoder before it is refused.
    const bool declined =
        !read && signature.m_pszDemuxer && !ar.IsError() && DeclinesTheFormat(wavMessages.m_messages);
    if (!read && !declined) {
        for (const std::string& message : wavMessages.m_messages)
            doc.m_sink.Message(message);
        return 0;
    }
    if (declined) {
        std::memset(&doc.m_header, 0, offsetof(WavHeader, dataId));
        doc.m_source.Clear();
    }
    // The decoder's messages speak of its own steps; for a WAV file the person sees the WAV
    // reader's message for what it declined, or the read failure for what it handed over.
    CapturingMessageSink decoderMessages;
    if (LoadDecodedFile(doc, declined ? signature.m_pszDemuxer : DemuxerName(FileFormat::Wav),
                        declined ? signature.m_pszDecoder : decoder, &decoderMessages))
        return 1;
    if (declined) {
        for (const std::string& message : wavMessages.m_messages)
            doc.m_sink.Message(message);
    } else {
        doc.m_sink.Message(msg::kReadFailed);
    }
    return 0;
}

}  // namespace

CTonmiraDoc::CTonmiraDoc(MessageSink& sink) : CDocument(sink) {}

CTonmiraDoc::~CTonmiraDoc()
{
    FreeTake();
}

void CTonmiraDoc::FreeTake()
{
    if (m_pMono != m_pData)
        std::free(m_pMono);
    std::free(m_pData);
    std::free(m_pReverse);
    m_pMono = m_pData = m_pReverse = nullptr;
    m_nSamples = 0;
}

void CTonmiraDoc::SwapTake(CTonmiraDoc& other)
{
    using std::swap;
    swap(m_nPeak, other.m_nPeak);
    swap(m_bReverse, other.m_bReverse);
    swap(m_nStartMark, other.m_nStartMark);
    swap(m_nEndMark, other.m_nEndMark);
    swap(m_nState, other.m_nState);
    swap(m_bPause, other.m_bPause);
    swap(m_nBalance, other.m_nBalance);
    swap(m_bLock, other.m_bLock);
    swap(m_nPosition, other.m_nPosition);
    swap(m_nSamples, other.m_nSamples);
    swap(m_strFileName, other.m_strFileName);
    swap(m_pData, other.m_pData);
    swap(m_pMono, other.m_pMono);
    swap(m_pReverse, other.m_pReverse);
    swap(m_header, other.m_header);
    swap(m_source, other.m_source);
    swap(m_bModified, other.m_bModified);
}

UINT CTonmiraDoc::FrameBytes() const
{
    return static_cast<UINT>(m_header.nChannels) * m_header.wBitsPerSample / 8;
}

BOOL CTonmiraDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return 0;
    if (HasTake()) {
        FreeTake();
        m_nPeak = 0;
    }
    m_strFileName.clear();
    m_source.Clear();
    m_nStartMark = 0;
    m_nEndMark = 0;
    m_bLock = 0;
    // A derived buffer can outlive the take (recording releases them first); never keep one.
    if (m_pReverse) {
        std::free(m_pReverse);
        m_pReverse = nullptr;
    }
    return 1;
}

BOOL CTonmiraDoc::BuildMonoBuffer()
{
    if (m_header.nChannels != 2) {
        m_pMono = m_pData;
        return 1;
    }
    if (m_pMono != m_pData)
        std::free(m_pMono);
    m_pMono = nullptr;
    if (!m_pData)
        return 1;

    const bool sixteen = m_header.wBitsPerSample == 16;
    BYTE* mono = AllocateSampleBlock(OneChannelBytes(m_nSamples, m_header.wBitsPerSample));
    if (!mono) {
        m_sink.Message(msg::kMallocFailed);
        return 0;
    }
    float left, right;
    BalanceWeights(m_nBalance, left, right);
    if (sixteen) {
        m_nPeak = MixStereo16(m_pData, m_nSamples, left, right, mono, m_nPeak);
    } else {
        m_nPeak = MixStereo8(m_pData, m_nSamples, left, right, mono, m_nPeak);
        mono[m_nSamples] = 128;
    }
    m_pMono = mono;
    return 1;
}

BOOL CTonmiraDoc::BuildReverseBuffer()
{
    std::free(m_pReverse);
    m_pReverse = nullptr;
    if (!m_pMono || m_nSamples == 0)
        return 0;
    const bool sixteen = m_header.wBitsPerSample == 16;
    BYTE* reverse = AllocateSampleBlock(OneChannelBytes(m_nSamples, m_header.wBitsPerSample));
    if (!reverse) {
        m_sink.Message(msg::kMallocFailed);
        return 0;
    }
    const std::size_t width = sixteen ? 2 : 1;
    for (UINT i = 0; i < m_nSamples; ++i)
        std::memcpy(reverse + i * width, m_pMono + (m_nSamples - 1 - static_cast<std::size_t>(i)) * width, width);
    if (!sixteen)
        reverse[m_nSamples] = 128;
    m_pReverse = reverse;
    return 1;
}

void CTonmiraDoc::ReleaseDerivedBuffers()
{
    if (m_pMono && m_pMono != m_pData)
        std::free(m_pMono);
    std::free(m_pReverse);
    m_pMono = nullptr;
    m_pReverse = nullptr;
    m_bReverse = 0;
    if (m_nSamples != 0)
        m_nPosition = m_nSamples - 1;
}

BOOL CTonmiraDoc::TruncateToMarks()
{
    // Marks outside the take would copy from beyond the block; refuse instead.
    if (!m_pData || m_nStartMark > m_nEndMark || m_nEndMark >= m_nSamples)
        return 0;
    const UINT n = m_nEndMark - m_nStartMark + 1;
    if (n == m_nSamples)
        return 0;
    const std::size_t frameBytes = FrameBytes();
    BYTE* kept = static_cast<BYTE*>(std::malloc(frameBytes * n));
    if (!kept) {
        m_sink.Message(msg::kMallocFailed);
        return 0;
    }
    std::memcpy(kept, m_pData + frameBytes * m_nStartMark, frameBytes * n);
    // For a one-channel take m_pMono is the old block; it must not be freed twice.
    if (m_pMono == m_pData)
        m_pMono = nullptr;
    std::free(m_pData);
    m_pData = kept;
    m_nSamples = n;
    m_nStartMark = 0;
    m_nEndMark = n - 1;
    BuildMonoBuffer();
    if (m_bReverse) {
        BuildReverseBuffer();
        m_nPosition = m_nSamples - 1;
    } else {
        std::free(m_pReverse);
        m_pReverse = nullptr;
        m_nPosition = 0;
    }
    return 1;
}

void CTonmiraDoc::FinishLoad(bool monoBuilt)
{
    m_nBalance = kLoadBalance;
    if (!monoBuilt)
        BuildMonoBuffer();
    // Without a take the end mark stays 0 rather than wrapping to the largest frame index.
    m_nEndMark = m_nSamples ? m_nSamples - 1 : 0;
    m_nPosition = 0;
    m_nStartMark = 0;
    m_nState = TransportState::Idle;
    m_bReverse = 0;
    m_bPause = 0;
}

BOOL CTonmiraDoc::LoadPcm(const void* frames, std::size_t bytes, WORD nChannels, DWORD nSamplesPerSec,
                          WORD wBitsPerSample)
{
    // The shapes every later step relies on, as the WAV reader takes them without the decoder.
    if ((nChannels != 1 && nChannels != 2) || (wBitsPerSample != 8 && wBitsPerSample != 16) ||
        nSamplesPerSec < kMinSamplingRate || nSamplesPerSec > kMaxSamplingRate)
        return 0;
    const std::size_t frameBytes = std::size_t(nChannels) * wBitsPerSample / 8;
    const std::size_t count = bytes / frameBytes;
    if (count > UINT32_MAX) {
        m_sink.Message(msg::kMallocFailed);
        return 0;
    }
    BYTE* data = nullptr;
    if (count) {
        data = AllocateSampleBlock(count * frameBytes);
        if (!data) {
            m_sink.Message(msg::kMallocFailed);
            return 0;
        }
        std::memcpy(data, frames, count * frameBytes);
    }
    FreeTake();
    FillWavHeader(m_header, nChannels, nSamplesPerSec, wBitsPerSample, static_cast<UINT>(count));
    m_source.Clear();
    m_pData = data;
    m_nSamples = static_cast<UINT>(count);
    m_nPeak = 0;
    m_bLock = 0;
    FinishLoad();
    SetModifiedFlag(0);
    return 1;
}

BOOL CTonmiraDoc::Serialize(CArchive& ar)
{
    if (ar.IsLoading()) {
        FreeTake();
        std::memset(&m_header, 0, offsetof(WavHeader, dataId));
        m_strFileName = ar.GetFileName();
        m_source.Clear();
        if (!LoadFromArchive(ar)) {
            FreeTake();
            m_strFileName.clear();
            m_source.Clear();
            return 0;
        }
        m_source.m_strPath = m_strFileName;
        return 1;
    }
    // The last guard for a front end that did not ask IsProtectedTarget first: nothing but
    // WAV or text is ever written, and a converted source is never replaced by its conversion.
    if (IsProtectedTarget(ar.GetFileName())) {
        m_sink.Message(FormatArgs(msg::kProtectedSource, {ar.GetFileName()}));
        return 0;
    }
    m_strFileName = ar.GetFileName();
    return SaveToArchive(ar);
}

BOOL CTonmiraDoc::LoadFromArchive(CArchive& ar)
{
    m_nPeak = 0;
    BOOL ok;
    bool monoBuilt = false;
    FileFormat format = FileFormatOf(m_strFileName);
    // The name decides, but a name without one of the known extensions (an ".au", an ".aifc", a
    // recorder's own) is first looked at for the signature of an audio file, and a WAV the reader
    // declines is handed to the decoder by what it is. Only a regular file: the decoder opens
    // the file again, and a pipe can be read once.
    FileSignature signature;
    if ((format == FileFormat::Wav || format == FileFormat::Text) && ar.BytesLeft() != UINT64_MAX) {
        BYTE head[kSignatureBytes];
        signature = SignatureOf(head, ar.Peek(head, sizeof head));
    }
    if (format == FileFormat::Text && signature.m_bWav)
        format = FileFormat::Wav;
    if (format == FileFormat::Wav) {
        ok = LoadWavFile(*this, ar, signature, monoBuilt);
    } else if (format == FileFormat::Text && signature.m_pszDemuxer) {
        ok = LoadDecodedFile(*this, signature.m_pszDemuxer, signature.m_pszDecoder);
    } else if (format == FileFormat::Text) {
        ok = ReadPcmTextFile(*this, ar);
        if (ok)
            m_source.m_strDescription = "PCM text, " + std::to_string(m_header.wBitsPerSample) + "-bit, " +
                                        std::to_string(m_header.nChannels) +
                                        (m_header.nChannels == 1 ? " channel" : " channels");
    } else {
        ok = LoadDecodedFile(*this, DemuxerName(format));
    }
    if (!ok)
        return 0;
    FinishLoad(monoBuilt);
    return 1;
}

BOOL CTonmiraDoc::SaveToArchive(CArchive& ar)
{
    if (FileFormatOf(m_strFileName) == FileFormat::Wav) {
        const UINT frames = m_pData ? m_nSamples : 0;
        FillWavHeader(m_header, m_header.nChannels, m_header.nSamplesPerSec, m_header.wBitsPerSample, frames);
        if (!WriteWavData(ar, m_header, m_pData, frames)) {
            m_sink.Message(msg::kWavSaveFailed);
            return 0;
        }
        return 1;
    }
    if (!WritePcmTextFile(ar, m_pData, m_pData ? m_nSamples : 0, m_header.nChannels, m_header.wBitsPerSample)) {
        m_sink.Message(msg::kWriteFailed);
        return 0;
    }
    return 1;
}

bool CTonmiraDoc::IsProtectedTarget(const std::string& path) const
{
    if (IsReadOnlyFormat(FileFormatOf(path)))
        return true;
    if (!(m_source.IsConverted() || m_source.m_bForeign) || m_source.m_strPath.empty())
        return false;
    // The same file under any name (a link, "./x.wav"): compared by device and inode.
    struct stat target {}, source {};
    if (::stat(path.c_str(), &target) != 0 || ::stat(m_source.m_strPath.c_str(), &source) != 0)
        return false;
    return target.st_dev == source.st_dev && target.st_ino == source.st_ino;
}

std::string CTonmiraDoc::ProposedSaveName() const
{
    std::string base = m_source.m_strPath.empty() ? m_strFileName : m_source.m_strPath;
    const std::string::size_type slash = base.rfind('/');
    const std::string::size_type dot = base.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        base.erase(dot);
    std::string name = base + ".wav";
    if (IsProtectedTarget(name))
        name = base + "-16bit.wav";
    return name;
}

BOOL CTonmiraDoc::OnSaveMonoData(const std::string& chosenPath)
{
    const std::string path = WithDefaultExtension(chosenPath, "wav");
    const bool wav = FileFormatOf(path) == FileFormat::Wav;
    const char* failure = wav ? msg::kWavSaveFailed : msg::kWriteFailed;
    if (IsProtectedTarget(path)) {
        m_sink.Message(FormatArgs(msg::kProtectedSource, {path}));
        return 0;
    }
    // Without a mono buffer (its build failed) there is nothing sound to write.
    const UINT frames = m_pMono ? m_nSamples : 0;
    if (!m_pMono && m_pData) {
        m_sink.Message(failure);
        return 0;
    }
    bool ok = WriteFileSafely(path, [&](CArchive& ar) {
        if (wav) {
            WavHeader header{};
            FillWavHeader(header, 1, m_header.nSamplesPerSec, m_header.wBitsPerSample, frames);
            return WriteWavData(ar, header, m_pMono, frames);
        }
        return WritePcmTextFile(ar, m_pMono, frames, 1, m_header.wBitsPerSample);
    });
    if (!ok) {
        m_sink.Message(failure);
        return 0;
    }
    return 1;
}

}  // namespace tonmira
