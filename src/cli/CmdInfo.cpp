// info FILE: the take's format, length, peak and lock as the property dialog shows them, then
// the format of the file itself and what its load converted.
#include <cstdio>

#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/JsonWriter.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "doc/TakeFigures.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {

int RunInfo(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("info", argv);
    args.RequirePositionals(1, 1);
    CliMessageSink sink;
    CTonmiraDoc doc(sink);
    if (!LoadDocument(doc, args.Positional(0), args))
        return kExitFailed;
    const WavHeader& h = doc.m_header;
    if (args.Has("json")) {
        JsonWriter json;
        json.BeginObject()
            .Key("channels").Integer(h.nChannels)
            .Key("rate").Integer(h.nSamplesPerSec)
            .Key("bits").Integer(h.wBitsPerSample)
            .Key("frames").Integer(doc.m_nSamples)
            .Key("seconds").Number(h.nSamplesPerSec ? double(doc.m_nSamples) / h.nSamplesPerSec : 0.0)
            .Key("time").String(FormatTakeTime(doc.m_nSamples, h.nSamplesPerSec))
            .Key("peak").Integer(MeasureTakePeak(doc))
            .Key("locked").Bool(doc.m_bLock)
            .Key("source-format").String(doc.m_source.m_strDescription)
            .Key("converted");
        if (doc.m_source.IsConverted())
            json.String(doc.m_source.m_strConversion);
        else
            json.Null();
        std::fputs(json.EndObject().Text().c_str(), stdout);
        return kExitDone;
    }
    std::printf("channels: %u\nrate: %u\nbits: %u\nframes: %u\ntime: %s\npeak: %d\nlocked: %d\n",
                static_cast<unsigned>(h.nChannels), static_cast<unsigned>(h.nSamplesPerSec),
                static_cast<unsigned>(h.wBitsPerSample), static_cast<unsigned>(doc.m_nSamples),
                FormatTakeTime(doc.m_nSamples, h.nSamplesPerSec).c_str(), MeasureTakePeak(doc),
                doc.m_bLock ? 1 : 0);
    // What the file held, and what the load changed to make the take (never silently).
    std::printf("source-format: %s\n", doc.m_source.m_strDescription.c_str());
    if (doc.m_source.IsConverted())
        std::printf("converted: %s\n", doc.m_source.m_strConversion.c_str());
    return kExitDone;
}

const CliCommandRegistrar registrar({"info", "info FILE [--rate HZ --bits 16|8]", RunInfo});

}  // namespace

}  // namespace tonmira::cli
