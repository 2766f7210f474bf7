#include "audio/PortAudioBackend.h"

#include <alsa/asoundlib.h>
#include <fcntl.h>
#include <portaudio.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>

namespace tonmira {

namespace {

// ALSA reports every PCM it cannot open while PortAudio probes; none of that concerns the user.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

// Runs fn with stderr pointed at /dev/null: the JACK client library prints its connection
// attempts there during PortAudio's initialisation and has no handler to silence it.
template <typename Fn>
auto WithStderrSilenced(Fn fn)
{
    std::fflush(stderr);
    int saved = dup(STDERR_FILENO);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0)
        dup2(null, STDERR_FILENO);
    auto result = fn();
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (null >= 0)
        close(null);
    return result;
}

PaSampleFormat SampleFormat(WORD bits) { return bits == 8 ? paUInt8 : paInt16; }

PaDeviceIndex DefaultDevice(WaveDirection direction)
{
    return direction == WaveDirection::Input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
}

// PortAudio's stream thread: nothing here but the hand-over to the device layer.
int StreamCallback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
                   PaStreamCallbackFlags, void* userData)
{
    auto* s = static_cast<PortAudioBackend::Stream*>(userData);
    std::size_t bytes = static_cast<std::size_t>(frames) * s->frameBytes;
    if (output)
        s->callbacks->RenderOutput(output, bytes);
    if (input)
        s->callbacks->CaptureInput(input, bytes);
    return paContinue;
}

}  // namespace

PortAudioBackend::PortAudioBackend()
{
    snd_lib_error_set_handler(&QuietAlsaErrors);
    m_nInitError = WithStderrSilenced([] { return static_cast<int>(Pa_Initialize()); });
}

PortAudioBackend::~PortAudioBackend()
{
    for (Stream& s : m_streams) {
        if (s.handle) {
            Pa_AbortStream(static_cast<PaStream*>(s.handle));
            Pa_CloseStream(static_cast<PaStream*>(s.handle));
        }
    }
    if (m_nInitError == paNoError)
        Pa_Terminate();
}

const char* PortAudioBackend::ErrorText(int error) { return Pa_GetErrorText(static_cast<PaError>(error)); }

int PortAudioBackend::DeviceOf(WaveDirection direction) const
{
    const int chosen = m_nDevice[direction == WaveDirection::Input ? 1 : 0];
    return chosen >= 0 ? chosen : DefaultDevice(direction);
}

std::vector<SoundDevice> PortAudioBackend::Devices() const
{
    std::vector<SoundDevice> devices;
    if (m_nInitError != paNoError)
        return devices;
    const int count = Pa_GetDeviceCount();
    for (int i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!info)
            continue;
        const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
        SoundDevice d;
        d.m_nIndex = i;
        d.m_strHostApi = api && api->name ? api->name : "";
        d.m_strName = info->name ? info->name : "";
        d.m_nInputChannels = info->maxInputChannels;
        d.m_nOutputChannels = info->maxOutputChannels;
        d.m_fDefaultRate = info->defaultSampleRate;
        d.m_bDefaultInput = i == Pa_GetDefaultInputDevice();
        d.m_bDefaultOutput = i == Pa_GetDefaultOutputDevice();
        devices.push_back(d);
    }
    return devices;
}

bool PortAudioBackend::HasDevice(WaveDirection direction)
{
    return m_nInitError == paNoError && DeviceOf(direction) != paNoDevice;
}

int PortAudioBackend::Open(WaveDirection direction, const WaveFormat& format, WaveStreamCallbacks& callbacks)
{
    if (m_nInitError != paNoError)
        return m_nLastError = m_nInitError;
    Stream& s = StreamOf(direction);
    if (s.handle)
        return m_nLastError = paDeviceUnavailable;
    PaDeviceIndex device = DeviceOf(direction);
    if (device == paNoDevice)
        return m_nLastError = paInvalidDevice;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = format.nChannels;
    params.sampleFormat = SampleFormat(format.wBitsPerSample);
    params.suggestedLatency = info ? (direction == WaveDirection::Input ? info->defaultHighInputLatency
                                                                        : info->defaultHighOutputLatency)
                                   : 0.1;
    s.callbacks = &callbacks;
    s.frameBytes = format.nBlockAlign;
    PaStream* stream = nullptr;
    PaError err = Pa_OpenStream(&stream, direction == WaveDirection::Input ? &params : nullptr,
                                direction == WaveDirection::Output ? &params : nullptr, format.nSamplesPerSec,
                                paFramesPerBufferUnspecified, paNoFlag,
                                &StreamCallback, &s);
    if (err != paNoError) {
        s.callbacks = nullptr;
        return m_nLastError = err;
    }
    s.handle = stream;
    return 0;
}

int PortAudioBackend::Start(WaveDirection direction)
{
    Stream& s = StreamOf(direction);
    if (!s.handle)
        return m_nLastError = paBadStreamPtr;
    PaError err = Pa_StartStream(static_cast<PaStream*>(s.handle));
    return err == paNoError ? 0 : (m_nLastError = err);
}

void PortAudioBackend::Stop(WaveDirection direction)
{
    Stream& s = StreamOf(direction);
    // Output: the device layer has switched the stream to silence, so stopping (which lets the
    // host's buffers play out) ends with the sound already handed over, and nothing after it.
    if (s.handle && Pa_IsStreamStopped(static_cast<PaStream*>(s.handle)) == 0) {
        if (direction == WaveDirection::Output)
            Pa_StopStream(static_cast<PaStream*>(s.handle));
        else
            Pa_AbortStream(static_cast<PaStream*>(s.handle));
    }
}

void PortAudioBackend::Close(WaveDirection direction)
{
    Stream& s = StreamOf(direction);
    if (s.handle) {
        Pa_CloseStream(static_cast<PaStream*>(s.handle));
        s.handle = nullptr;
        s.callbacks = nullptr;
    }
}

int PortAudioBackend::Submit(WaveDirection direction)
{
    return StreamOf(direction).handle ? 0 : paBadStreamPtr;
}

int PortAudioBackend::InputDeviceCount()
{
    if (m_nInitError != paNoError)
        return 0;
    int n = Pa_GetDeviceCount();
    return n > 0 ? n : 0;
}

bool PortAudioBackend::InputFormats(int deviceId, DWORD& formats)
{
    if (m_nInitError != paNoError)
        return false;
    PaDeviceIndex device = deviceId < 0 ? Pa_GetDefaultInputDevice() : static_cast<PaDeviceIndex>(deviceId);
    if (device == paNoDevice)
        return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (!info)
        return false;
    static constexpr double kRates[] = {11025, 22050, 44100, 48000, 96000};
    formats = 0;
    for (int r = 0; r < 5; ++r) {
        for (int bit = 0; bit < 4; ++bit) {
            PaStreamParameters params{};
            params.device = device;
            params.channelCount = (bit & 1) ? 2 : 1;
            params.sampleFormat = (bit & 2) ? paInt16 : paUInt8;
            params.suggestedLatency = info->defaultHighInputLatency;
            if (params.channelCount <= info->maxInputChannels &&
                Pa_IsFormatSupported(&params, nullptr, kRates[r]) == paFormatIsSupported)
                formats |= DWORD(1) << (4 * r + bit);
        }
    }
    return true;
}

}  // namespace tonmira
