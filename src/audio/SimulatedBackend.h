#pragma once
// A sound device without hardware, driven by its caller: tests and the offline collection push
// input and pull output explicitly (PumpInput / PumpOutput) or by elapsed virtual time
// (AdvanceTime). Input comes from a take (or a generator), output is kept and counted.
// Deterministic: the same calls give the same buffers. The pump may run on another thread than
// the device layer's owner, as a real device's callback thread does.
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <vector>

#include "audio/WaveBackend.h"

namespace tonmira {

class SimulatedBackend : public WaveBackend {
public:
    // Fills dst (bytes, whole frames) with the input that starts at byte offset `position` of
    // the stream.
    using InputGenerator = std::function<void(BYTE* dst, std::size_t bytes, std::uint64_t position)>;

    bool HasDevice(WaveDirection direction) override;
    int Open(WaveDirection direction, const WaveFormat& format, WaveStreamCallbacks& callbacks) override;
    int Start(WaveDirection direction) override;
    void Stop(WaveDirection direction) override;
    void Close(WaveDirection direction) override;
    int Submit(WaveDirection direction) override;
    void StopSystemSound() override;
    int InputDeviceCount() override;
    bool InputFormats(int deviceId, DWORD& formats) override;

    // --- Configuration (before the device is used) ---
    bool m_bHasInput = true;
    bool m_bHasOutput = true;
    // Rates a device refuses to open at (both directions).
    std::set<DWORD> m_refusedRates;
    // The next n output opens fail (a sound the system plays; cleared by StopSystemSound).
    int m_nBusyOutputOpens = 0;
    // Submit refuses the buffer when the running submit count of the direction equals this.
    std::int64_t m_nFailOutputSubmit = -1;
    std::int64_t m_nFailInputSubmit = -1;
    int m_nSubmitError = 11;
    // Format bits the input devices report, and how many there are.
    DWORD m_dwInputFormats = 0xFFFFF;
    int m_nInputDevices = 1;
    // Frames per callback.
    std::size_t m_nCallbackFrames = 512;
    // Keep the played bytes in PlayedBytes() (counters are kept either way).
    bool m_bKeepOutput = true;

    // Input from a take: its bytes in the device format, then silence.
    void SetInputTake(std::vector<BYTE> bytes);
    void SetInputGenerator(InputGenerator generator);

    // --- Driving (any one thread at a time) ---
    // Delivers / consumes frames in callbacks of m_nCallbackFrames while the stream runs.
    // Returns the frames moved (0 when the stream is not running).
    std::size_t PumpInput(std::size_t frames);
    std::size_t PumpOutput(std::size_t frames);
    // Moves both running streams on by `microseconds` at their rates (fractions carried).
    void AdvanceTime(std::uint64_t microseconds);

    // --- Observation ---
    std::uint64_t FramesPlayed() const;
    std::uint64_t FramesCaptured() const;
    std::vector<BYTE> PlayedBytes() const;
    bool IsRunning(WaveDirection direction) const;
    WaveFormat OpenFormat(WaveDirection direction) const;
    int OpenCount(WaveDirection direction) const;

private:
    struct Stream {
        bool open = false;
        bool running = false;
        WaveFormat format;
        WaveStreamCallbacks* callbacks = nullptr;
        std::int64_t submits = 0;
        std::uint64_t frames = 0;      // moved since open
        std::uint64_t remainder = 0;   // microseconds x rate not yet worth a frame
        int opens = 0;
    };
    Stream& StreamOf(WaveDirection direction) { return m_streams[direction == WaveDirection::Input ? 1 : 0]; }
    const Stream& StreamOf(WaveDirection direction) const
    {
        return m_streams[direction == WaveDirection::Input ? 1 : 0];
    }
    std::size_t PumpInputLocked(std::size_t frames);
    std::size_t PumpOutputLocked(std::size_t frames);

    // Held by the pump while it calls back: Stop waits for a callback in progress.
    mutable std::mutex m_mutex;
    Stream m_streams[2];
    std::vector<BYTE> m_inputTake;
    InputGenerator m_inputGenerator;
    std::uint64_t m_nInputPosition = 0;  // bytes of input delivered in total
    std::uint64_t m_nFramesPlayed = 0;
    std::uint64_t m_nFramesCaptured = 0;
    std::vector<BYTE> m_played;
    std::vector<BYTE> m_scratch;
};

}  // namespace tonmira
