// play IN: plays the take's mono mix on the default output device through the transport, from
// --pos to the end (or backwards to frame 0), at --speed semitones; Ctrl-C stops it.
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

int RunPlay(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("play", argv);
    args.RequirePositionals(1, 1);
    const int speed = static_cast<int>(args.GetInt("speed", 0, -12, 12));
    const int balance = static_cast<int>(args.GetInt("balance", 50, 0, 100));
    const int fftSize = FftSizeOption(args);

    // Before the devices are opened: an early Ctrl-C then still ends in the stop command.
    InstallInterruptHandler();
    CliMessageSink sink;
    CliTransportSession session(sink);
    CTonmiraDoc& doc = session.m_session.Doc();
    if (!LoadDocument(doc, args.Positional(0), args))
        return kExitFailed;
    if (!doc.HasTake()) {
        std::fprintf(stderr, "tonmira-cli play: %s holds no samples\n", args.Positional(0).c_str());
        return kExitFailed;
    }
    const long long pos = args.GetInt("pos", 0, 0, static_cast<long long>(doc.m_nSamples) - 1);

    if (!session.m_session.SetFftSize(fftSize ? fftSize : DefaultFftSize(doc.m_header.nSamplesPerSec)))
        return kExitFailed;
    CTransport& transport = session.m_session.Transport();
    transport.SetSpeed(speed);
    if (balance != doc.m_nBalance)
        transport.ApplyBalance(balance);
    doc.m_nPosition = static_cast<UINT>(pos);
    if (args.Has("reverse"))
        transport.OnReverse();
    ApplyDeviceOptions(args, session.m_backend, WaveDirection::Output);
    if (!session.m_backend.HasDevice(WaveDirection::Output)) {
        std::fprintf(stderr, "tonmira-cli play: no output device was found\n");
        return kExitFailed;
    }

    transport.OnPlay();
    if (doc.m_nState != TransportState::Playing) {
        if (sink.m_nCount == 0)
            std::fprintf(stderr, "tonmira-cli play: the output device refused %u Hz (%s)\n",
                         CTransport::SpeedRate(doc.m_header.nSamplesPerSec, speed),
                         PortAudioBackend::ErrorText(session.m_backend.LastError()));
        return kExitFailed;
    }
    return session.RunUntilIdle([] { return Interrupted(); }) ? kExitDone : kExitFailed;
}

const CliCommandRegistrar registrar(
    {"play", "play IN [--speed -12..12] [--reverse] [--balance 0..100] [--pos P] [--fft N] [--rate HZ --bits 16|8]\n"
     "      [--device INDEX|NAME]",
     RunPlay});

}  // namespace

}  // namespace tonmira::cli
