// collect IN --out DIR [...]: automatic collection from a recording, in virtual time.
// collect --live --out DIR [...]: the same on the default input device until Ctrl-C.
// One line per processed event, as the event command prints it.
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/PortAudioBackend.h"
#include "audio/TimerLoop.h"
#include "audio/Transport.h"
#include "cli/CliAnalysis.h"
#include "cli/CliCollectSettings.h"
#include "cli/CliCommand.h"
#include "cli/CliOptionTable.h"
#include "cli/CliDevices.h"
#include "cli/CliInterrupt.h"
#include "cli/CliLoad.h"
#include "cli/CliMessageSink.h"
#include "cli/CliTransportSession.h"
#include "cli/CollectArchive.h"
#include "collect/AutoRecordForm.h"
#include "collect/EventProcessor.h"
#include "collect/LocalClock.h"
#include "base/Messages.h"
#include "doc/FileFormat.h"
#include "doc/TonmiraDoc.h"
#include "doc/WavDataReader.h"
#include "dsp/FftEngine.h"
#include "dsp/FftSize.h"
#include "session/OfflineCollection.h"
#include "session/TonmiraSession.h"

namespace tonmira::cli {

namespace {

// Wakes the live loop so that it notices Ctrl-C while nothing else is due.
constexpr int kInterruptPollTimer = 3;
constexpr unsigned kInterruptPollMs = 100;

// The document's own messages (a mono buffer that cannot be built) may come from the worker
// while it analyses; stderr lines and the count stay whole.
class SerializedSink : public MessageSink {
public:
    explicit SerializedSink(CliMessageSink& sink) : m_sink(sink) {}
    void Message(const std::string& text) override
    {
        std::lock_guard lock(m_mutex);
        m_sink.Message(text);
    }
    int Count()
    {
        std::lock_guard lock(m_mutex);
        return m_sink.m_nCount;
    }

private:
    std::mutex m_mutex;
    CliMessageSink& m_sink;
};

void PrintEvent(const EventOutcome& outcome)
{
    std::printf("%s\n", FormatEventLine(outcome).c_str());
    std::fflush(stdout);  // one line as soon as each event is done, also when piped
}

// --log FILE writes the event log there instead of DIR/events.csv; with --log - the log is the
// output (the event lines would only interleave with its rows), so no lines are printed.
std::function<void(const EventOutcome&)> SetUpLog(const CliArgs& args, EventLog& log)
{
    if (!args.Has("log"))
        return PrintEvent;
    const std::string path = args.GetString("log", "");
    if (path.empty())
        throw UsageError("--log needs a file, or - for standard output");
    log.SetPath(path);
    if (path == "-")
        return [](const EventOutcome&) {};
    return PrintEvent;
}

int FftSize(const CliArgs& args, DWORD rate)
{
    const int n = FftSizeOption(args);
    return n ? n : DefaultFftSize(rate);
}

int RunOffline(const CliArgs& args, CollectSettings settings, int detectLevel, SerializedSink& sink)
{
    LocalDateTime start = SystemLocalClock().Now();
    if (args.Has("clock") && !ParseLocalDateTime(args.GetString("clock", ""), start))
        throw UsageError("--clock needs \"YYYY-MM-DD HH:MM:SS\"");

    // A WAV file of 8/16-bit PCM is read from the disk buffer by buffer, so memory does not grow
    // with the length of the recording; other inputs (converted WAV, text, WMA and the other
    // formats, a pipe) are loaded as the document loads them.
    const std::string path = args.Positional(0);
    CTonmiraDoc input(sink);
    WavDataReader wav;
    bool streamed = false;
    struct stat st {};
    if (FileFormatOf(path) == FileFormat::Wav && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        WavDataReader::OpenResult opened = wav.Open(input, path);
        if (opened == WavDataReader::OpenResult::Failed)
            return kExitFailed;
        streamed = opened == WavDataReader::OpenResult::Opened;
    }
    if (!streamed && !LoadDocument(input, path, args))
        return kExitFailed;
    const int n = FftSize(args, input.m_header.nSamplesPerSec);
    // As the settings dialog does for an 8-bit take: a level above 127 could never be reached.
    AutoRecordForm::LimitLevelsToBits(settings, input.m_header.wBitsPerSample);

    OfflineCollection run(sink);
    TonmiraSession& session = run.Session();
    CTonmiraDoc& doc = session.Doc();
    doc.m_header.nSamplesPerSec = input.m_header.nSamplesPerSec;
    doc.m_header.wBitsPerSample = input.m_header.wBitsPerSample;
    doc.m_header.nChannels = input.m_header.nChannels;
    session.Settings() = settings;
    if (!session.SetFftSize(n))
        return kExitFailed;
    std::atomic<bool> readFailed{false};
    if (streamed) {
        run.SetInput(
            [&wav, &readFailed](BYTE* dst, std::size_t count, std::uint64_t offset) {
                if (!wav.Read(dst, count, offset))
                    readFailed.store(true, std::memory_order_relaxed);
            },
            wav.DataBytes(), start, path);
    } else {
        const BYTE* samples = input.m_pData;
        run.SetInput([samples](BYTE* dst, std::size_t count, std::uint64_t offset) { std::memcpy(dst, samples + offset, count); },
                     std::uint64_t(input.m_nSamples) * input.FrameBytes(), start, path);
    }
    run.Collection().m_nDetectLevel = detectLevel;
    run.m_onEvent = SetUpLog(args, run.Collection().m_eventLog);
    if (!run.Run())
        return kExitFailed;
    // Relaxed: the offline device pumps its input on this thread.
    if (readFailed.load(std::memory_order_relaxed)) {
        // The file shrank or the disk failed while it was read: what was missing went in as silence.
        std::fprintf(stderr, "tonmira-cli collect: reading %s failed part way; the rest was taken as silence\n",
                     path.c_str());
        return kExitFailed;
    }
    return sink.Count() ? kExitFailed : kExitDone;
}

int RunLive(const CliArgs& args, CollectSettings settings, int detectLevel, SerializedSink& sink)
{
    if (args.Has("clock"))
        throw UsageError("--clock is for collection from a file; live names use the local time");
    const auto rate = static_cast<DWORD>(args.GetInt("rate", 44100, 1000, 768000));
    const auto bits = static_cast<WORD>(args.GetInt("bits", 16, 8, 16));
    if (bits != 8 && bits != 16)
        throw UsageError("--bits must be 16 or 8");
    const auto channels = static_cast<WORD>(args.GetInt("channels", 1, 1, 2));
    const int n = FftSize(args, rate);
    AutoRecordForm::LimitLevelsToBits(settings, bits);

    // Before the devices are opened: an early Ctrl-C then still ends in the stop command.
    InstallInterruptHandler();
    CliTransportSession live(sink);
    TonmiraSession& session = live.m_session;
    CTonmiraDoc& doc = session.Doc();
    doc.m_header.nSamplesPerSec = rate;
    doc.m_header.wBitsPerSample = bits;
    doc.m_header.nChannels = channels;
    if (!session.SetFftSize(n))
        return kExitFailed;
    CTransport& transport = session.Transport();
    ApplyDeviceOptions(args, live.m_backend, WaveDirection::Input);
    if (!live.m_backend.HasDevice(WaveDirection::Input)) {
        std::fprintf(stderr, "tonmira-cli collect: no input device was found\n");
        return kExitFailed;
    }
    CollectionCycle& cycle = session.Collection();
    const std::function<void(const EventOutcome&)> print = SetUpLog(args, cycle.m_eventLog);
    session.Changes().Subscribe([&](ChangeSet changes) {
        if (changes & kChangeEventDone)
            print(cycle.m_lastEvent);
    });
    session.Settings() = settings;
    session.ApplyCollectSettings();
    cycle.m_nDetectLevel = detectLevel;

    session.Command([&] { transport.OnRecord(); });
    if (doc.m_nState != TransportState::Recording) {
        if (sink.Count() == 0)
            std::fprintf(stderr, "tonmira-cli collect: the input device refused %u Hz, %u bits, %u channels (%s)\n", rate,
                         bits, channels, PortAudioBackend::ErrorText(live.m_backend.LastError()));
        return kExitFailed;
    }
    TimerLoop& loop = live.m_loop;
    const std::int64_t forever = std::numeric_limits<std::int64_t>::max();
    loop.SetTimer(kInterruptPollTimer, kInterruptPollMs);
    loop.RunUntil([] { return Interrupted(); }, forever);

    // An event being captured is discarded, a replay ends, an event being processed is finished
    // and logged, and nothing records again.
    session.ShutDown();
    loop.KillTimer(kInterruptPollTimer);
    return sink.Count() ? kExitFailed : kExitDone;
}

int RunCollect(const std::vector<std::string>& argv)
{
    CliArgs args = ParseCommandLine("collect", argv);
    const bool live = args.Has("live");
    args.RequirePositionals(live ? 0 : 1, live ? 0 : SIZE_MAX);
    if (live && args.Has("jobs"))
        throw UsageError("--jobs is for collection from files");
    if (!live && (args.Has("device") || args.Has("output-device")))
        throw UsageError("--device and --output-device are for collect --live");
    if (!args.Has("out"))
        throw UsageError("--out DIR is required");
    const int detectLevel = static_cast<int>(args.GetInt("detect-level", 5, 0, 50));

    CliMessageSink sink;
    CollectSettings settings;
    if (!LoadCollectSettings(args, sink, settings))
        return kExitFailed;
    if (settings.m_nCollectLevel <= 0)
        throw UsageError("collection needs a level: --level L (1..32767) or a settings file with one");
    settings.m_nPreTriggerMs = static_cast<int>(args.GetInt("pre-trigger-ms", 0, 0, 5000));
    std::error_code ec;
    if (!live && (args.Positionals().size() > 1 || std::filesystem::is_directory(args.Positional(0), ec))) {
        // Checked here, once, rather than by every file's run.
        LocalDateTime start;
        if (args.Has("clock") && !ParseLocalDateTime(args.GetString("clock", ""), start))
            throw UsageError("--clock needs \"YYYY-MM-DD HH:MM:SS\"");
        if (args.Has("log") && args.GetString("log", "").empty())
            throw UsageError("--log needs a file, or - for standard output");
        args.GetInt("jobs", 1, 1, 1024);
        const std::vector<std::string> inputs = ArchiveInputs(args.Positionals(), args.GetString("out", ""));
        if (inputs.empty()) {
            std::fprintf(stderr, "tonmira-cli collect: no audio files in %s\n", args.Positional(0).c_str());
            return kExitFailed;
        }
        return RunCollectArchive(args, inputs);
    }
    SerializedSink shared(sink);
    return live ? RunLive(args, settings, detectLevel, shared) : RunOffline(args, settings, detectLevel, shared);
}

const CliCommandRegistrar registrar(
    {"collect",
     "collect IN --out DIR [--settings F.ars] [settings options] [--clock \"YYYY-MM-DD HH:MM:SS\"]\n"
     "      [--detect-level L] [--fft N] [--rate HZ --bits 16|8] [--log FILE|-] [--pre-trigger-ms 0..5000]\n"
     "      automatic collection from IN, fed as live input in virtual time\n"
     "collect IN... | FOLDER --out DIR [--jobs N] [the options above]\n"
     "      the same for several files, or every audio file below FOLDER in name order, N at a\n"
     "      time (default: the number of cores), each as if alone; output in input order\n"
     "collect --live --out DIR [--settings F.ars] [settings options] [--detect-level L]\n"
     "      [--rate HZ] [--bits 16|8] [--channels 1|2] [--fft N] [--log FILE|-]\n"
     "      [--device INDEX|NAME] [--output-device INDEX|NAME]\n"
     "      the same on the default input device until Ctrl-C;\n"
     "      prints per event: path-or-- P integration*100 points*100 stddev accepted|rejected\n"
     "      and appends a row to DIR/events.csv (--log FILE: there; --log -: the CSV on stdout\n"
     "      instead of the lines)",
     RunCollect});

}  // namespace

}  // namespace tonmira::cli
