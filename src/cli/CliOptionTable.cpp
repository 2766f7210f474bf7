#include "cli/CliOptionTable.h"

#include <set>
#include <stdexcept>

namespace tonmira::cli {

const char kAudioInputExtensions[] = "wav wma flac mp3 ogg opus m4a aac aiff aif txt";

namespace {

using Options = std::vector<CliOption>;

Options Join(std::initializer_list<Options> groups)
{
    Options all;
    for (const Options& group : groups)
        all.insert(all.end(), group.begin(), group.end());
    return all;
}

CliOperand Input() { return {CliValue::InputFile, kAudioInputExtensions, false}; }
CliOperand Output() { return {CliValue::OutputFile, "", false}; }

// The answers to the format question of a text input.
const Options& TextInput()
{
    static const Options options = {
        {"rate", "HZ", "sampling rate of a text input, 1..1000000 Hz (default 44100)", CliValue::Text, ""},
        {"bits", "16|8", "bits per sample of a text input (default 16)", CliValue::Choice, "16 8"},
    };
    return options;
}

const CliOption kFft = {"fft", "N",
                        "FFT size, a power of two from 16 to 131072 (default: the view's choice for the rate)",
                        CliValue::Choice, "256 512 1024 2048 4096 8192 16384"};
const CliOption kBalance = {"balance", "0..100",
                            "balance of the mono mix of a two-channel take, percent (default 50)", CliValue::Text, ""};
const CliOption kJson = {"json", "", "print one JSON document instead of the text (keys in tonmira-cli(1))",
                         CliValue::None, ""};

// The analysis window of export, peaks and metrics, and the text input.
Options Analysis()
{
    return Join({{{"pos", "P", "first frame of the analysis window, 0..frames-N (default 0)", CliValue::Text, ""},
                  kFft, kBalance},
                 TextInput()});
}

// The collection settings of an .ars record (ars save, event, collect).
const Options& CollectSettings()
{
    static const Options options = {
        {"level", "L", "collection level: an event starts and lasts while a sample reaches it, 0..32767 "
                       "(8-bit: 0..127; default 0, no collection)", CliValue::Text, ""},
        {"play-level", "L", "an event is accepted only if its peak reaches this, 0..32768 (default 0)",
         CliValue::Text, ""},
        {"continuous-ms", "MS", "an event ends after this long below the level, 0..10000 ms (default 0)",
         CliValue::Text, ""},
        {"play-count", "N", "replays of an accepted event, 0..1000 (default 0)", CliValue::Text, ""},
        {"always-max", "0|1", "1: amplify the peak to full scale; 0: multiply by --amp-factor (default 1)",
         CliValue::Choice, "0 1"},
        {"amp-factor", "N", "amplification factor when --always-max is 0, 0 or more (default 1)", CliValue::Text, ""},
        {"band-low", "HZ", "lower edge of the detection band, Hz (default 0)", CliValue::Text, ""},
        {"band-high", "HZ", "upper edge of the detection band, Hz (default 0: half the rate)", CliValue::Text, ""},
        {"exclude", "HZ", "bins at or below this are left out of the integration, Hz (default 0)", CliValue::Text,
         ""},
        {"integ-low", "PCT", "lowest integration ratio accepted, percent (default 0)", CliValue::Text, ""},
        {"integ-high", "PCT", "highest integration ratio accepted, percent (default 100)", CliValue::Text, ""},
        {"points-low", "PCT", "lowest share of band points at or above the mean, percent (default 0)",
         CliValue::Text, ""},
        {"points-high", "PCT", "highest share of band points at or above the mean, percent (default 100)",
         CliValue::Text, ""},
        {"stddev-low", "X", "lowest standard deviation accepted (default 0; both bounds 0: no test)", CliValue::Text,
         ""},
        {"stddev-high", "X", "highest standard deviation accepted (default 0)", CliValue::Text, ""},
        {"save-amplified", "0|1", "1: the event file holds the amplified take (default 0)", CliValue::Choice, "0 1"},
        {"save-rejected", "0|1", "1: keep and mark the files of rejected events (default 0)", CliValue::Choice,
         "0 1"},
    };
    return options;
}

// What event and collect share besides the settings.
Options Collection(const char* clockHelp)
{
    return {
        {"out", "DIR", "output folder of the event files and events.csv (required)", CliValue::Directory, ""},
        {"settings", "F.ars", "collection settings file; the settings options override it", CliValue::InputFile,
         "ars"},
        {"clock", "\"YYYY-MM-DD HH:MM:SS\"", clockHelp, CliValue::Text, ""},
        {"detect-level", "L", "detection level of the analysis, 0..50 (default 5)", CliValue::Text, ""},
        kFft,
    };
}

const CliOption kInputDevice = {"device", "INDEX|NAME", "input device, by index or name (see devices; "
                                                        "default: the system's)",
                                CliValue::Device, ""};
const CliOption kOutputDevice = {"output-device", "INDEX|NAME",
                                 "output device, by index or name (see devices; default: the system's)",
                                 CliValue::Device, ""};

std::vector<CliCommandTable> MakeTables()
{
    std::vector<CliCommandTable> tables = {
        {"ars",
         {{CliValue::Choice, "show save", false}, {CliValue::InputFile, "ars", false}},
         Join({{{"bits", "16|8", "ars save: bits per sample of the recording (default 16)", CliValue::Choice, "16 8"},
                {"folder", "DIR", "ars save: output folder of the collection (default: none)", CliValue::Directory,
                 ""},
                {"json", "", "ars show: print one JSON document instead of the lines", CliValue::None, ""}},
               CollectSettings()})},
        {"collect",
         {{CliValue::InputFile, kAudioInputExtensions, true}},
         Join({Collection("local time of the first frame of IN (default: now)"),
               {{"live", "", "collect from the input device until Ctrl-C instead of from files", CliValue::None, ""},
                {"jobs", "N", "files collected at a time, 1..1024 (default: the number of cores)", CliValue::Text,
                 ""},
                {"log", "FILE|-", "write the event log to FILE, or as CSV to standard output (-), "
                                  "instead of DIR/events.csv",
                 CliValue::OutputFile, ""},
                {"pre-trigger-ms", "0..5000", "input kept before the level was reached, ms (default 0)",
                 CliValue::Text, ""},
                {"rate", "HZ", "sampling rate of a text input, 1..1000000 Hz; with --live of the recording, "
                               "1000..768000 Hz (default 44100)",
                 CliValue::Text, ""},
                {"bits", "16|8", "bits per sample of a text input, or of the recording with --live (default 16)",
                 CliValue::Choice, "16 8"},
                {"channels", "1|2", "--live: channels of the recording (default 1)", CliValue::Choice, "1 2"},
                kInputDevice, kOutputDevice},
               CollectSettings()})},
        {"convert", {Input(), Output()}, TextInput()},
        {"devices", {}, {kJson}},
        {"event",
         {Input()},
         Join({Collection("local time the event is named by (default: now)"), TextInput(), CollectSettings()})},
        {"expand",
         {Input(), Output()},
         Join({{{"level", "L", "peak level after the expansion, 0..32767 (8-bit: 0..127; required)", CliValue::Text,
                 ""}},
               TextInput()})},
        {"export",
         {{CliValue::Choice, "pcm spc spa", false}, Input(), Output()},
         Join({Analysis(),
               {{"start", "S", "spa: first frame, 0..frames-1 (default 0)", CliValue::Text, ""},
                {"end", "E", "spa: last frame, start..frames-1 (default: the last frame)", CliValue::Text, ""},
                {"min-freq", "HZ", "spa: lowest frequency, 0..rate/2-1 Hz (default 0)", CliValue::Text, ""},
                {"max-freq", "HZ", "spa: highest frequency, min-freq+1..rate/2 Hz (default rate/2)", CliValue::Text,
                 ""}}})},
        {"info", {Input()}, Join({TextInput(), {kJson}})},
        {"metrics",
         {Input()},
         Join({{{"band-low", "HZ", "lower edge of the band, Hz (default 0)", CliValue::Text, ""},
                {"band-high", "HZ", "upper edge of the band, Hz (default 0)", CliValue::Text, ""},
                {"exclude", "HZ", "bins at or below this are left out of the integration, Hz (default 0)",
                 CliValue::Text, ""}},
               Analysis(), {kJson}})},
        {"mono", {Input(), Output()}, Join({{kBalance}, TextInput()})},
        {"peaks",
         {Input()},
         Join({{{"level", "0..50", "detection level of the fundamentals (default 5)", CliValue::Text, ""}}, Analysis(),
               {kJson}})},
        {"play",
         {Input()},
         Join({{{"speed", "-12..12", "pitch shift in semitones (default 0)", CliValue::Text, ""},
                {"reverse", "", "play backwards, from --pos to the first frame", CliValue::None, ""},
                kBalance,
                {"pos", "P", "frame to start from, 0..frames-1 (default 0)", CliValue::Text, ""},
                kFft,
                {"device", "INDEX|NAME", "output device, by index or name (see devices; default: the system's)",
                 CliValue::Device, ""},
                {"output-device", "INDEX|NAME", "the same as --device", CliValue::Device, ""}},
               TextInput()})},
        {"record",
         {Output()},
         {{"seconds", "S", "length of the take, 0.001..86400 s (required)", CliValue::Text, ""},
          {"rate", "HZ", "sampling rate, 1000..768000 Hz (default 44100)", CliValue::Text, ""},
          {"bits", "16|8", "bits per sample (default 16)", CliValue::Choice, "16 8"},
          {"channels", "1|2", "channels (default 2)", CliValue::Choice, "1 2"},
          kFft,
          kInputDevice}},
        {"truncate",
         {Input(), Output()},
         Join({{{"start", "S", "first frame kept (required)", CliValue::Text, ""},
                {"end", "E", "last frame kept, start..frames-1 (required)", CliValue::Text, ""}},
               TextInput()})},
    };
    return tables;
}

}  // namespace

const std::vector<CliCommandTable>& CliCommandTables()
{
    static const std::vector<CliCommandTable> tables = MakeTables();
    return tables;
}

const CliCommandTable& CommandTable(const std::string& command)
{
    for (const CliCommandTable& table : CliCommandTables())
        if (table.command == command)
            return table;
    throw std::out_of_range("no option table for command " + command);
}

CliArgs ParseCommandLine(const std::string& command, const std::vector<std::string>& argv)
{
    std::set<std::string> values, flags;
    for (const CliOption& option : CommandTable(command).options)
        (option.value == CliValue::None ? flags : values).insert(option.name);
    return CliArgs(argv, values, flags);
}

}  // namespace tonmira::cli
