#include "doc/WmaImport.h"

#include <cstdio>
#include <string>

#include "base/MessageSink.h"
#include "doc/Reader.h"
#include "doc/SourceFormat.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

namespace {

std::string WithCode(const char* format, HRESULT hr)
{
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
    return text;
}

std::string Channels(int n)
{
    return std::to_string(n) + (n == 1 ? " channel" : " channels");
}

// What the file held and what became of it, for info and the window.
void DescribeSource(SourceFormat& source, const CReader& reader, const char* demuxer)
{
    std::string width;
    if (reader.m_nSourceBits <= 0)
        width = reader.m_bSourceFloat ? "floating point" : "lossy";
    else
        width = std::to_string(reader.m_nSourceBits) + (reader.m_bSourceFloat ? "-bit float" : "-bit");
    source.m_strDescription =
        std::string(demuxer) + "/" + reader.m_strSourceCodec + ", " + width + ", " + Channels(reader.m_nSourceChannels);

    std::string done;
    if (reader.m_nSourceBits <= 0)
        done = "decoded to 16-bit with rounding";
    else if (reader.m_bSourceFloat || reader.m_nSourceBits > 16)
        done = width + " to 16-bit with rounding";
    else if (reader.m_nSourceBits < 16)
        done = width + " to 16-bit";
    if (reader.m_nSourceChannels > 2)
        done += (done.empty() ? "" : "; ") + Channels(reader.m_nSourceChannels) + " mixed down to 2";
    if (!done.empty() || reader.m_nClipped)
        done += (done.empty() ? "" : "; ") + std::to_string(reader.m_nClipped) + " samples clipped";
    source.m_strConversion = done;
    source.m_nClipped = reader.m_nClipped;
}

}  // namespace

BOOL LoadWmaFile(CTonmiraDoc& doc)
{
    return LoadDecodedFile(doc, "asf");
}

BOOL LoadDecodedFile(CTonmiraDoc& doc, const char* demuxer, const char* decoder, MessageSink* messages)
{
    MessageSink& sink = messages ? *messages : doc.m_sink;
    const std::string path = doc.m_strFileName;

    CReader reader(sink);
    reader.m_pszDemuxer = demuxer;
    reader.m_pszDecoder = decoder;
    reader.m_pCancel = &doc.m_bCancelLoad;
    reader.m_pProgress = &doc.m_nLoadedBytes;
    // The whole file, decoded samples, audio only, a time range.
    HRESULT hr = reader.Configure(0, 0, 0, 1, 0, 0);
    if (FAILED(hr)) {
        sink.Message("Incorrect values of input parameters -st or -end\n");
    } else {
        hr = reader.Open(path.c_str());
        if (FAILED(hr)) {
            sink.Message(WithCode("Cannot open reader: hr = 0x%08x\n", hr));
        } else {
            hr = reader.ReadSamples();
            if (FAILED(hr))
                sink.Message(WithCode("ReadSamples failed: hr = 0x%08x\n", hr));
        }
    }
    if (FAILED(hr)) {
        sink.Message(WithCode("WMSyncReader failed (hr=0x%08x).\n", hr));
        reader.Close();
        return 0;
    }
    hr = reader.Close();
    if (FAILED(hr)) {
        sink.Message(WithCode("Close failed: hr = 0x%08x\n", hr));
        return 0;
    }

    // The reader's output is always 16-bit PCM with one or two channels (more are mixed down),
    // so the take fits the rest of the program as it stands.
    const WaveFormatEx& format = *reader.m_pFormat;
    doc.m_header.nChannels = format.nChannels;
    doc.m_header.nSamplesPerSec = format.nSamplesPerSec;
    doc.m_header.wBitsPerSample = format.wBitsPerSample;
    doc.m_header.nBlockAlign = format.nBlockAlign;
    doc.m_header.nAvgBytesPerSec = format.nAvgBytesPerSec;
    doc.m_pData = reader.m_pBuffer;
    reader.m_pBuffer = nullptr;
    doc.m_nSamples = reader.m_nFrames;
    DescribeSource(doc.m_source, reader, demuxer);
    doc.m_source.m_bForeign = true;
    return 1;
}

}  // namespace tonmira
