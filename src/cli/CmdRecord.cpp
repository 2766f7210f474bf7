// record OUT --seconds S: records from the default input device through the transport, as the
// record command and its timer do, stops through the stop command (also on Ctrl-C) and saves.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "cli/CliAnalysis.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliDevices.h"
#include "cli/CliInterrupt.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "cli/CliTransportSession.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftSize.h"

namespace tonmira::cli {

namespace {

int RunRecord(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("record", argv);
    args.RequirePositionals(1, 1);
    if (!args.Has("seconds"))
        throw UsageError("--seconds is required");
    const double seconds = args.GetDouble("seconds", 0, 0.001, 24.0 * 3600);
    const auto rate = static_cast<DWORD>(args.GetInt("rate", 44100, 1000, 768000));
    const auto bits = static_cast<WORD>(args.GetInt("bits", 16, 8, 16));
    if (bits != 8 && bits != 16)
        throw UsageError("--bits must be 16 or 8");
    const auto channels = static_cast<WORD>(args.GetInt("channels", 2, 1, 2));
    const int fftSize = FftSizeOption(args);

    // Before the devices are opened: an early Ctrl-C then still ends in the stop command.
    InstallInterruptHandler();
    CliMessageSink sink;
    CliTransportSession session(sink);
    CTonmiraDoc& doc = session.m_session.Doc();
    doc.m_header.nSamplesPerSec = rate;
    doc.m_header.wBitsPerSample = bits;
    doc.m_header.nChannels = channels;
    // Said before anything is recorded, not after.
    if (!RefuseProtectedTarget(doc, args.Positional(0)))
        return kExitFailed;
    if (!session.m_session.SetFftSize(fftSize ? fftSize : DefaultFftSize(rate)))
        return kExitFailed;
    CTransport& transport = session.m_session.Transport();
    ApplyDeviceOptions(args, session.m_backend, WaveDirection::Input);
    if (!session.m_backend.HasDevice(WaveDirection::Input)) {
        std::fprintf(stderr, "tonmira-cli record: no input device was found\n");
        return kExitFailed;
    }

    transport.OnRecord();
    if (doc.m_nState != TransportState::Recording) {
        if (sink.m_nCount == 0)
            std::fprintf(stderr, "tonmira-cli record: the input device refused %u Hz, %u bits, %u channels (%s)\n",
                         rate, bits, channels, PortAudioBackend::ErrorText(session.m_backend.LastError()));
        return kExitFailed;
    }
    // Whole buffers are kept, so the take ends at the first buffer boundary at or after the
    // duration. A device that delivers nothing is given two seconds more before it is stopped.
    const auto target = static_cast<std::uint64_t>(std::ceil(seconds * rate));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds + 2.0);
    bool stopped = session.RunUntilIdle([&] {
        return Interrupted() || transport.RecordedFrames() >= target || std::chrono::steady_clock::now() >= deadline;
    });
    if (!stopped)
        return kExitFailed;
    if (std::uint64_t dropped = transport.Device().DroppedInputFrames())
        std::fprintf(stderr, "tonmira-cli record: %llu input frames were dropped (the device delivered faster than they were taken)\n",
                     static_cast<unsigned long long>(dropped));
    return SaveDocument(doc, args.Positional(0)) ? kExitDone : kExitFailed;
}

const CliCommandRegistrar registrar(
    {"record", "record OUT --seconds S [--rate HZ --bits 16|8 --channels 1|2 --fft N] [--device INDEX|NAME]", RunRecord});

}  // namespace

}  // namespace tonmira::cli
