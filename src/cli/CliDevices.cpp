#include "cli/CliDevices.h"

#include <string>

#include "audio/PortAudioBackend.h"
#include "audio/SoundDevices.h"

namespace tonmira::cli {

void ApplyDeviceOptions(const CliArgs& args, PortAudioBackend& backend, WaveDirection direction)
{
    const bool input = direction == WaveDirection::Input;
    const std::vector<SoundDevice> devices = args.Has("device") || args.Has("output-device")
                                                 ? backend.Devices()
                                                 : std::vector<SoundDevice>{};
    auto choose = [&](const char* option, bool forInput) {
        if (!args.Has(option))
            return;
        std::string error;
        const int index = ChooseSoundDevice(devices, args.GetString(option, ""), forInput, error);
        if (index < 0)
            throw UsageError("--" + std::string(option) + ": " + error);
        backend.SetDevice(forInput ? WaveDirection::Input : WaveDirection::Output, index);
    };
    choose("device", input);
    choose("output-device", false);
}

}  // namespace tonmira::cli
