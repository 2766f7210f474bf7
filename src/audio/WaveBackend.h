#pragma once
// The sound system under CWaveDevice: opens one stream per direction on the default device and
// calls the device layer back on its own thread to fill or drain it. Implemented by PortAudio
// (real devices) and by a simulated device driven by its caller (tests, offline collection).
#include <cstddef>

#include "audio/WaveFormat.h"
#include "base/Types.h"

namespace tonmira {

enum class WaveDirection { Output, Input };

// Called by a backend on its stream thread. Both must return quickly and never block,
// allocate, lock or throw.
class WaveStreamCallbacks {
public:
    virtual ~WaveStreamCallbacks() = default;
    // Fill dst with exactly `bytes` bytes of output (whole frames).
    virtual void RenderOutput(void* dst, std::size_t bytes) noexcept = 0;
    // Take `bytes` bytes of captured input (whole frames).
    virtual void CaptureInput(const void* src, std::size_t bytes) noexcept = 0;
};

class WaveBackend {
public:
    virtual ~WaveBackend() = default;

    // All of these run on the thread that owns the device layer (the UI thread).
    // Results: 0 = done, anything else is the backend's error code (never 0).

    // True when a default device for the direction exists at all.
    virtual bool HasDevice(WaveDirection direction) = 0;
    // Opens the default device of the direction for the format; callbacks do not run yet.
    virtual int Open(WaveDirection direction, const WaveFormat& format, WaveStreamCallbacks& callbacks) = 0;
    // Starts calling back.
    virtual int Start(WaveDirection direction) = 0;
    // Stops calling back; when it returns no callback of this direction is running or will run.
    virtual void Stop(WaveDirection direction) = 0;
    virtual void Close(WaveDirection direction) = 0;
    // Asked before each buffer is handed to an open stream; non-zero refuses the buffer.
    virtual int Submit(WaveDirection direction) = 0;
    // Stops any sound the system itself is playing, so that a second open can succeed.
    virtual void StopSystemSound() {}

    // Number of input devices (ids 0 .. n-1); id -1 is the default input.
    virtual int InputDeviceCount() = 0;
    // Format bits of an input device in the classic layout (4 bits per rate, 11025 Hz in
    // bits 0-3 up to 96000 Hz in bits 16-19; per group mono 8, stereo 8, mono 16, stereo 16).
    // Returns false when the device cannot be queried.
    virtual bool InputFormats(int deviceId, DWORD& formats) = 0;
};

}  // namespace tonmira
