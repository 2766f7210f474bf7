// devices: the sound devices PortAudio offers, for --device and --output-device.
#include <cstdio>

#include "audio/PortAudioBackend.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/JsonWriter.h"

namespace tonmira::cli {

namespace {

int RunDevices(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("devices", argv);
    args.RequirePositionals(0, 0);
    PortAudioBackend backend;
    if (args.Has("json")) {
        JsonWriter json;
        json.BeginObject().Key("devices").BeginArray();
        for (const SoundDevice& d : backend.Devices())
            json.BeginObject()
                .Key("index").Integer(d.m_nIndex)
                .Key("host-api").String(d.m_strHostApi)
                .Key("inputs").Integer(d.m_nInputChannels)
                .Key("outputs").Integer(d.m_nOutputChannels)
                .Key("rate").Number(d.m_fDefaultRate)
                .Key("default-input").Bool(d.m_bDefaultInput)
                .Key("default-output").Bool(d.m_bDefaultOutput)
                .Key("name").String(d.m_strName)
                .EndObject();
        std::fputs(json.EndArray().EndObject().Text().c_str(), stdout);
        return kExitDone;
    }
    // One device per line, tab-separated, so scripts can cut the column they need.
    std::printf("index\thost-api\tinputs\toutputs\trate\tdefault\tname\n");
    for (const SoundDevice& d : backend.Devices()) {
        const char* role = d.m_bDefaultInput && d.m_bDefaultOutput ? "input,output"
                           : d.m_bDefaultInput                     ? "input"
                           : d.m_bDefaultOutput                    ? "output"
                                                                   : "-";
        std::printf("%d\t%s\t%d\t%d\t%.0f\t%s\t%s\n", d.m_nIndex, d.m_strHostApi.c_str(), d.m_nInputChannels,
                    d.m_nOutputChannels, d.m_fDefaultRate, role, d.m_strName.c_str());
    }
    return kExitDone;
}

const CliCommandRegistrar registrar(
    {"devices",
     "devices\n"
     "      lists the sound devices: index, host API, input and output channels, default rate,\n"
     "      which is the default input/output, name (for --device and --output-device)",
     RunDevices});

}  // namespace

}  // namespace tonmira::cli
