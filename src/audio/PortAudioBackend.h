#pragma once
// The real sound devices through PortAudio: the default output and input device, one stream per
// direction. The stream callback hands PortAudio's buffers to the device layer and nothing else.
#include <array>
#include <vector>

#include "audio/SoundDevices.h"
#include "audio/WaveBackend.h"

namespace tonmira {

class PortAudioBackend : public WaveBackend {
public:
    // Initialises PortAudio; its device probing writes diagnostics on stderr, which is kept off
    // the program's own message channel while it runs.
    PortAudioBackend();
    ~PortAudioBackend() override;
    PortAudioBackend(const PortAudioBackend&) = delete;
    PortAudioBackend& operator=(const PortAudioBackend&) = delete;

    bool HasDevice(WaveDirection direction) override;
    int Open(WaveDirection direction, const WaveFormat& format, WaveStreamCallbacks& callbacks) override;
    int Start(WaveDirection direction) override;
    void Stop(WaveDirection direction) override;
    void Close(WaveDirection direction) override;
    int Submit(WaveDirection direction) override;
    int InputDeviceCount() override;
    bool InputFormats(int deviceId, DWORD& formats) override;

    // Every device PortAudio offers, in its index order (empty when it did not initialise).
    std::vector<SoundDevice> Devices() const;
    // The device streams of one direction open from now on: an index of Devices(), or -1 for
    // the default device (the start).
    void SetDevice(WaveDirection direction, int index) { m_nDevice[direction == WaveDirection::Input ? 1 : 0] = index; }

    // The error code of the last failed PortAudio call and its text, for the CLI.
    int LastError() const { return m_nLastError; }
    static const char* ErrorText(int error);

    // One open stream; the PortAudio callback's user data.
    struct Stream {
        void* handle = nullptr;  // PaStream*
        WaveStreamCallbacks* callbacks = nullptr;
        unsigned frameBytes = 0;
    };

private:
    Stream& StreamOf(WaveDirection direction) { return m_streams[direction == WaveDirection::Input ? 1 : 0]; }
    // The chosen device of a direction, or PortAudio's default.
    int DeviceOf(WaveDirection direction) const;

    int m_nInitError = 0;
    int m_nLastError = 0;
    std::array<Stream, 2> m_streams;
    std::array<int, 2> m_nDevice{-1, -1};  // output, input
};

}  // namespace tonmira
