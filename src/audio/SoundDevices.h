#pragma once
// The sound devices a backend offers, and the choice of one by index or by a part of its name
// (for --device and the settings file's device names). Plain data: no PortAudio here.
#include <string>
#include <vector>

namespace tonmira {

struct SoundDevice {
    int m_nIndex = 0;
    std::string m_strHostApi;
    std::string m_strName;
    int m_nInputChannels = 0;
    int m_nOutputChannels = 0;
    double m_fDefaultRate = 0.0;
    bool m_bDefaultInput = false;
    bool m_bDefaultOutput = false;
};

// Picks the device for input (or output) that `wanted` names: a whole number is an index (of a
// device with channels in that direction); anything else is a part of the name, any case,
// which must match exactly one such device (a device whose whole name it is wins over others
// that merely contain it). Returns the index, or -1 with a message in `error` that lists the
// candidates (none, or the ambiguous matches).
int ChooseSoundDevice(const std::vector<SoundDevice>& devices, const std::string& wanted, bool input,
                      std::string& error);

}  // namespace tonmira
