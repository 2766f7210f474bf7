#include "cli/CliCollectSettings.h"
#include "base/Messages.h"

#include <cfloat>
#include <charconv>
#include <climits>

#include "collect/ArsFile.h"
#include "collect/AutoRecordForm.h"
#include "cli/JsonWriter.h"

namespace tonmira::cli {

namespace {

std::string FloatText(float value)
{
    // Shortest text that reads back as the same float, so show and save round-trip.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

const std::set<std::string>& CollectSettingsOptions()
{
    static const std::set<std::string> names = {
        "level",      "play-level",  "continuous-ms", "play-count", "always-max",  "amp-factor",
        "band-low",   "band-high",   "exclude",       "integ-low",  "integ-high",  "points-low",
        "points-high", "stddev-low", "stddev-high",   "save-amplified", "save-rejected",
    };
    return names;
}

void ApplyCollectSettingsOptions(const CliArgs& args, CollectSettings& s)
{
    auto integer = [&](const char* name, int& member, long long min, long long max) {
        member = static_cast<int>(args.GetInt(name, member, min, max));
    };
    auto real = [&](const char* name, float& member) {
        member = static_cast<float>(args.GetDouble(name, member, -FLT_MAX, FLT_MAX));
    };
    // The dialog's own limits where it has them (continuous time, play count) and the sample
    // range for the levels; the other integers only need to be non-negative.
    integer("level", s.m_nCollectLevel, 0, 32767);
    integer("play-level", s.m_nPlayLevel, 0, 32768);
    integer("continuous-ms", s.m_nContinuousMs, 0, 10000);
    integer("play-count", s.m_nPlayCount, 0, 1000);
    integer("always-max", s.m_bAlwaysMax, 0, 1);
    integer("amp-factor", s.m_nAmpFactor, 0, INT_MAX);
    integer("band-low", s.m_nBandLowHz, 0, INT_MAX);
    integer("band-high", s.m_nBandHighHz, 0, INT_MAX);
    integer("exclude", s.m_nExcludeHz, 0, INT_MAX);
    real("integ-low", s.m_fIntegLow);
    real("integ-high", s.m_fIntegHigh);
    real("points-low", s.m_fPointsLow);
    real("points-high", s.m_fPointsHigh);
    real("stddev-low", s.m_fStdDevLow);
    real("stddev-high", s.m_fStdDevHigh);
    integer("save-amplified", s.m_bSaveAmplified, 0, 1);
    integer("save-rejected", s.m_bSaveRejected, 0, 1);
}

bool LoadCollectSettings(const CliArgs& args, MessageSink& sink, CollectSettings& settings)
{
    if (args.Has("settings")) {
        int bits = 16;
        if (!LoadArsFile(args.GetString("settings", ""), bits, settings)) {
            sink.Message(msg::kReadFailed);
            return false;
        }
    }
    ApplyCollectSettingsOptions(args, settings);
    // A settings file may hold what the dialog would refuse; refuse it the same way.
    if (auto failure = AutoRecordForm::Validate(settings)) {
        sink.Message(failure->m_strMessage);
        return false;
    }
    settings.m_strOutputFolder = args.GetString("out", "");
    return true;
}

std::string FormatCollectSettings(int nBits, const CollectSettings& s)
{
    std::string out;
    auto line = [&](const char* name, const std::string& value) { out += std::string(name) + "=" + value + "\n"; };
    line("m_nBits", std::to_string(nBits));
    line("m_nCollectLevel", std::to_string(s.m_nCollectLevel));
    line("m_nPlayLevel", std::to_string(s.m_nPlayLevel));
    line("m_nContinuousMs", std::to_string(s.m_nContinuousMs));
    line("m_strOutputFolder", s.m_strOutputFolder);
    line("m_bSaveAmplified", std::to_string(s.m_bSaveAmplified));
    line("m_bSaveRejected", std::to_string(s.m_bSaveRejected));
    line("m_nPlayCount", std::to_string(s.m_nPlayCount));
    line("m_bAlwaysMax", std::to_string(s.m_bAlwaysMax));
    line("m_nAmpFactor", std::to_string(s.m_nAmpFactor));
    line("m_nBandLowHz", std::to_string(s.m_nBandLowHz));
    line("m_nBandHighHz", std::to_string(s.m_nBandHighHz));
    line("m_nExcludeHz", std::to_string(s.m_nExcludeHz));
    line("m_fIntegLow", FloatText(s.m_fIntegLow));
    line("m_fIntegHigh", FloatText(s.m_fIntegHigh));
    line("m_fPointsLow", FloatText(s.m_fPointsLow));
    line("m_fPointsHigh", FloatText(s.m_fPointsHigh));
    line("m_fStdDevLow", FloatText(s.m_fStdDevLow));
    line("m_fStdDevHigh", FloatText(s.m_fStdDevHigh));
    return out;
}

std::string FormatCollectSettingsJson(int nBits, const CollectSettings& s)
{
    JsonWriter json;
    json.BeginObject()
        .Key("m_nBits").Integer(nBits)
        .Key("m_nCollectLevel").Integer(s.m_nCollectLevel)
        .Key("m_nPlayLevel").Integer(s.m_nPlayLevel)
        .Key("m_nContinuousMs").Integer(s.m_nContinuousMs)
        .Key("m_strOutputFolder").String(s.m_strOutputFolder)
        .Key("m_bSaveAmplified").Integer(s.m_bSaveAmplified)
        .Key("m_bSaveRejected").Integer(s.m_bSaveRejected)
        .Key("m_nPlayCount").Integer(s.m_nPlayCount)
        .Key("m_bAlwaysMax").Integer(s.m_bAlwaysMax)
        .Key("m_nAmpFactor").Integer(s.m_nAmpFactor)
        .Key("m_nBandLowHz").Integer(s.m_nBandLowHz)
        .Key("m_nBandHighHz").Integer(s.m_nBandHighHz)
        .Key("m_nExcludeHz").Integer(s.m_nExcludeHz)
        .Key("m_fIntegLow").Number(s.m_fIntegLow)
        .Key("m_fIntegHigh").Number(s.m_fIntegHigh)
        .Key("m_fPointsLow").Number(s.m_fPointsLow)
        .Key("m_fPointsHigh").Number(s.m_fPointsHigh)
        .Key("m_fStdDevLow").Number(s.m_fStdDevLow)
        .Key("m_fStdDevHigh").Number(s.m_fStdDevHigh)
        .EndObject();
    return json.Text();
}

}  // namespace tonmira::cli
