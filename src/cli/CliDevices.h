#pragma once
// --device and --output-device: which sound devices record, play and collect --live use.
#include "audio/WaveBackend.h"
#include "cli/CliArgs.h"

namespace tonmira {
class PortAudioBackend;
}

namespace tonmira::cli {

// --device INDEX|NAME picks the device of the command's own direction, --output-device the
// output (playback, the replays of a collection). An unknown or ambiguous name is a UsageError
// that lists the candidates. Without the options the defaults stay.
void ApplyDeviceOptions(const CliArgs& args, PortAudioBackend& backend, WaveDirection direction);

}  // namespace tonmira::cli
