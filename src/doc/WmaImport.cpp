#include "doc/WmaImport.h"

#include <cstdio>
#include <string>

#include "base/MessageSink.h"
#include "doc/Reader.h"
#include "doc/TonmiraDoc.h"

namespace tonmira {

namespace {

std::string WithCode(const char* format, HRESULT hr)
{
    char text[128];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
    return text;
}

}  // namespace

BOOL LoadWmaFile(CTonmiraDoc& doc)
{
    MessageSink& sink = doc.m_sink;
    const std::string path = doc.m_strFileName;

    CReader reader(sink);
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
    return 1;
}

}  // namespace tonmira
