#include "audio/SimulatedBackend.h"

#include <algorithm>
#include <cstring>

namespace tonmira {

bool SimulatedBackend::HasDevice(WaveDirection direction)
{
    return direction == WaveDirection::Input ? m_bHasInput : m_bHasOutput;
}

int SimulatedBackend::Open(WaveDirection direction, const WaveFormat& format, WaveStreamCallbacks& callbacks)
{
    std::lock_guard lock(m_mutex);
    Stream& s = StreamOf(direction);
    if (!HasDevice(direction))
        return 2;  // no such device
    if (s.open)
        return 4;  // already allocated
    if (m_refusedRates.count(format.nSamplesPerSec) || format.nBlockAlign == 0)
        return 32;  // format not supported
    if (direction == WaveDirection::Output && m_nBusyOutputOpens > 0) {
        --m_nBusyOutputOpens;
        return 4;
    }
    const int opens = s.opens;  // counted over the backend's life, not per stream
    s = Stream{};
    s.opens = opens;
    s.open = true;
    s.format = format;
    s.callbacks = &callbacks;
    ++s.opens;
    if (direction == WaveDirection::Input)
        m_nInputPosition = 0;
    return 0;
}

int SimulatedBackend::Start(WaveDirection direction)
{
    std::lock_guard lock(m_mutex);
    Stream& s = StreamOf(direction);
    if (!s.open)
        return kErrorStreamNotOpen;
    s.running = true;
    return 0;
}

void SimulatedBackend::Stop(WaveDirection direction)
{
    std::lock_guard lock(m_mutex);
    StreamOf(direction).running = false;
}

void SimulatedBackend::Close(WaveDirection direction)
{
    std::lock_guard lock(m_mutex);
    Stream& s = StreamOf(direction);
    s.running = false;
    s.open = false;
    s.callbacks = nullptr;
}

int SimulatedBackend::Submit(WaveDirection direction)
{
    std::lock_guard lock(m_mutex);
    Stream& s = StreamOf(direction);
    std::int64_t failAt = direction == WaveDirection::Input ? m_nFailInputSubmit : m_nFailOutputSubmit;
    return s.submits++ == failAt ? m_nSubmitError : 0;
}

void SimulatedBackend::StopSystemSound() { m_nBusyOutputOpens = 0; }

int SimulatedBackend::InputDeviceCount() { return m_bHasInput ? m_nInputDevices : 0; }

bool SimulatedBackend::InputFormats(int deviceId, DWORD& formats)
{
    if (!m_bHasInput || deviceId >= m_nInputDevices)
        return false;
    formats = m_dwInputFormats;
    return true;
}

void SimulatedBackend::SetInputTake(std::vector<BYTE> bytes)
{
    std::lock_guard lock(m_mutex);
    m_inputTake = std::move(bytes);
    m_inputGenerator = nullptr;
}

void SimulatedBackend::SetInputGenerator(InputGenerator generator)
{
    std::lock_guard lock(m_mutex);
    m_inputGenerator = std::move(generator);
    m_inputTake.clear();
}

std::size_t SimulatedBackend::PumpInput(std::size_t frames)
{
    std::lock_guard lock(m_mutex);
    return PumpInputLocked(frames);
}

std::size_t SimulatedBackend::PumpOutput(std::size_t frames)
{
    std::lock_guard lock(m_mutex);
    return PumpOutputLocked(frames);
}

std::size_t SimulatedBackend::PumpInputLocked(std::size_t frames)
{
    Stream& s = StreamOf(WaveDirection::Input);
    if (!s.running)
        return 0;
    const std::size_t frameBytes = s.format.nBlockAlign;
    const BYTE silence = s.format.wBitsPerSample == 8 ? 0x80 : 0;
    std::size_t moved = 0;
    while (moved < frames) {
        std::size_t n = std::min(m_nCallbackFrames, frames - moved);
        std::size_t bytes = n * frameBytes;
        m_scratch.resize(bytes);
        if (m_inputGenerator) {
            m_inputGenerator(m_scratch.data(), bytes, m_nInputPosition);
        } else {
            std::size_t from = static_cast<std::size_t>(std::min<std::uint64_t>(m_nInputPosition, m_inputTake.size()));
            std::size_t take = std::min(bytes, m_inputTake.size() - from);
            if (take)
                std::memcpy(m_scratch.data(), m_inputTake.data() + from, take);
            std::memset(m_scratch.data() + take, silence, bytes - take);
        }
        m_nInputPosition += bytes;
        s.callbacks->CaptureInput(m_scratch.data(), bytes);
        moved += n;
    }
    s.frames += moved;
    m_nFramesCaptured += moved;
    return moved;
}

std::size_t SimulatedBackend::PumpOutputLocked(std::size_t frames)
{
    Stream& s = StreamOf(WaveDirection::Output);
    if (!s.running)
        return 0;
    const std::size_t frameBytes = s.format.nBlockAlign;
    std::size_t moved = 0;
    while (moved < frames) {
        std::size_t n = std::min(m_nCallbackFrames, frames - moved);
        std::size_t bytes = n * frameBytes;
        m_scratch.resize(bytes);
        s.callbacks->RenderOutput(m_scratch.data(), bytes);
        if (m_bKeepOutput)
            m_played.insert(m_played.end(), m_scratch.begin(), m_scratch.begin() + static_cast<std::ptrdiff_t>(bytes));
        moved += n;
    }
    s.frames += moved;
    m_nFramesPlayed += moved;
    return moved;
}

void SimulatedBackend::AdvanceTime(std::uint64_t microseconds)
{
    std::lock_guard lock(m_mutex);
    for (int d = 0; d < 2; ++d) {
        Stream& s = m_streams[d];
        if (!s.running)
            continue;
        std::uint64_t total = s.remainder + microseconds * s.format.nSamplesPerSec;
        std::size_t frames = static_cast<std::size_t>(total / 1000000);
        s.remainder = total % 1000000;
        if (d == 0)
            PumpOutputLocked(frames);
        else
            PumpInputLocked(frames);
    }
}

std::uint64_t SimulatedBackend::FramesPlayed() const
{
    std::lock_guard lock(m_mutex);
    return m_nFramesPlayed;
}

std::uint64_t SimulatedBackend::FramesCaptured() const
{
    std::lock_guard lock(m_mutex);
    return m_nFramesCaptured;
}

std::vector<BYTE> SimulatedBackend::PlayedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_played;
}

bool SimulatedBackend::IsRunning(WaveDirection direction) const
{
    std::lock_guard lock(m_mutex);
    return StreamOf(direction).running;
}

WaveFormat SimulatedBackend::OpenFormat(WaveDirection direction) const
{
    std::lock_guard lock(m_mutex);
    return StreamOf(direction).format;
}

int SimulatedBackend::OpenCount(WaveDirection direction) const
{
    std::lock_guard lock(m_mutex);
    return StreamOf(direction).opens;
}

}  // namespace tonmira
