#include "view/AutoRecordForm.h"
#include "base/Messages.h"

#include <cstdint>
#include <cstring>
#include <variant>

#include "collect/ArsFile.h"
#include "view/DialogExchange.h"
#include "base/MessageSink.h"

namespace tonmira {

namespace {

struct IntField {
    int CollectSettings::*member;
    bool ranged = false;
    int min = 0;
    int max = 0;
};
struct RealField {
    float CollectSettings::*member;
};
struct TextField {
    std::string CollectSettings::*member;
};
struct CheckField {
    int CollectSettings::*member;
};

struct ExchangeEntry {
    int id;
    std::variant<IntField, RealField, TextField, CheckField> field;
};

// The exchange order decides which control a failure reports and which members have already
// taken their values; it is not the visual order of the controls.
const ExchangeEntry kExchangeOrder[] = {
    {kIdcContinuousMs, IntField{&CollectSettings::m_nContinuousMs, true, 0, 10000}},
    {kIdcOutputFolder, TextField{&CollectSettings::m_strOutputFolder}},
    {kIdcPlayCount, IntField{&CollectSettings::m_nPlayCount, true, 0, 1000}},
    {kIdcAmpFactor, IntField{&CollectSettings::m_nAmpFactor}},
    {kIdcSaveAmplified, CheckField{&CollectSettings::m_bSaveAmplified}},
    {kIdcBandLow, IntField{&CollectSettings::m_nBandLowHz}},
    {kIdcBandHigh, IntField{&CollectSettings::m_nBandHighHz}},
    {kIdcIntegLow, RealField{&CollectSettings::m_fIntegLow}},
    {kIdcPointsLow, RealField{&CollectSettings::m_fPointsLow}},
    {kIdcSaveRejected, CheckField{&CollectSettings::m_bSaveRejected}},
    {kIdcIntegHigh, RealField{&CollectSettings::m_fIntegHigh}},
    {kIdcExclude, IntField{&CollectSettings::m_nExcludeHz}},
    {kIdcCollectLevel, IntField{&CollectSettings::m_nCollectLevel}},
    {kIdcPointsHigh, RealField{&CollectSettings::m_fPointsHigh}},
    {kIdcStdDevLow, RealField{&CollectSettings::m_fStdDevLow}},
    {kIdcStdDevHigh, RealField{&CollectSettings::m_fStdDevHigh}},
    {kIdcPlayLevel, IntField{&CollectSettings::m_nPlayLevel}},
    // Last, so a failure here never keeps the record's settings from being taken.
    {kIdcPreTriggerMs, IntField{&CollectSettings::m_nPreTriggerMs, true, 0, 5000}},
};

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;  // older compilers do not deduce aggregates

// Reads the first line of an edit, at most maxChars bytes, as a leading decimal integer;
// anything that does not start like one counts as 0.
int LeadingInt(const std::string& text, std::size_t maxChars)
{
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    if (line.size() > maxChars)
        line.resize(maxChars);
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        negative = line[i++] == '-';
    int value = 0;  // at most 4 digits: cannot overflow
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i)
        value = value * 10 + (line[i] - '0');
    return negative ? -value : value;
}

constexpr std::size_t kPlayCountChars = 4;

}  // namespace

void AutoRecordForm::CopyFromView(const CollectSettings& view, WORD wBitsPerSample, DWORD nSamplesPerSec)
{
    m_nBits = static_cast<std::int16_t>(wBitsPerSample);
    static_cast<CollectSettings&>(*this) = view;
    if (view.m_nBandHighHz == 0)
        m_nBandHighHz = static_cast<int>(nSamplesPerSec / 2);
}

void AutoRecordForm::CopyToView(CollectSettings& view, int& nAutoStartLevel, DWORD nSamplesPerSec) const
{
    if (m_nCollectLevel != 0)
        nAutoStartLevel = 0;
    // A top edge left at half the rate keeps the settings' own (0 follows every take's rate).
    const int bandHigh = m_nBandHighHz == static_cast<int>(nSamplesPerSec / 2) ? view.m_nBandHighHz : m_nBandHighHz;
    view = static_cast<const CollectSettings&>(*this);
    view.m_nBandHighHz = bandHigh;
}

void AutoRecordForm::DataToControls(AutoRecordControls& controls) const
{
    for (const ExchangeEntry& entry : kExchangeOrder) {
        std::visit(Overloaded{
                       [&](const IntField& f) { controls.m_texts[entry.id] = FormatDialogInt(this->*f.member); },
                       [&](const RealField& f) { controls.m_texts[entry.id] = FormatDialogReal(this->*f.member); },
                       [&](const TextField& f) { controls.m_texts[entry.id] = this->*f.member; },
                       [&](const CheckField& f) { controls.m_checks[entry.id] = (this->*f.member) ? 1 : 0; },
                   },
                   entry.field);
    }
}

std::optional<AutoRecordForm::ExchangeFailure> AutoRecordForm::ControlsToData(const AutoRecordControls& controls)
{
    for (const ExchangeEntry& entry : kExchangeOrder) {
        std::optional<ExchangeFailure> failure;
        // A text that is no number fails with message; a number is stored (before any range check).
        auto store = [&](auto& member, const auto& value, const char* message) {
            if (value)
                member = *value;
            else
                failure = ExchangeFailure{entry.id, message};
            return value.has_value();
        };
        std::visit(Overloaded{
                       [&](const IntField& f) {
                           const auto value = ParseDialogInt(controls.Text(entry.id));
                           if (store(this->*f.member, value, msg::kEnterInteger) && f.ranged &&
                               (*value < f.min || *value > f.max))
                               failure = ExchangeFailure{entry.id, IntegerRangeMessage(f.min, f.max)};
                       },
                       [&](const RealField& f) {
                           store(this->*f.member, ParseDialogReal(controls.Text(entry.id)), msg::kEnterNumber);
                       },
                       [&](const TextField& f) { this->*f.member = controls.Text(entry.id); },
                       [&](const CheckField& f) { this->*f.member = controls.Check(entry.id) ? 1 : 0; },
                   },
                   entry.field);
        if (failure)
            return failure;
    }
    return std::nullopt;
}

std::optional<AutoRecordForm::ExchangeFailure> AutoRecordForm::Validate(const CollectSettings& settings)
{
    AutoRecordForm form;
    static_cast<CollectSettings&>(form) = settings;
    AutoRecordControls controls;
    form.DataToControls(controls);  // a NaN or infinite bound shows as text no exchange accepts
    return form.ControlsToData(controls);
}

bool AutoRecordForm::UpdateData(AutoRecordControls& controls, MessageSink& sink)
{
    auto failure = ControlsToData(controls);
    if (!failure)
        return true;
    sink.Message(failure->m_strMessage);
    controls.m_nFocusId = failure->m_nControlId;
    return false;
}

void AutoRecordForm::SetAmplificationGroup(AutoRecordControls& controls, bool enabled) const
{
    controls.m_enabled[kIdcAmpFactor] = enabled;
    controls.m_enabled[kIdcAmpFactorLabel] = enabled;
}

void AutoRecordForm::SetRadios(AutoRecordControls& controls) const
{
    controls.m_checks[kIdcAlwaysMax] = m_bAlwaysMax == 1 ? 1 : 0;
    controls.m_checks[kIdcByFactor] = m_bAlwaysMax == 1 ? 0 : 1;
    SetAmplificationGroup(controls, m_bAlwaysMax != 1);
}

void AutoRecordForm::LimitLevelsToBits(CollectSettings& settings, int bits)
{
    if (bits != 8)
        return;
    if (settings.m_nCollectLevel > 127)
        settings.m_nCollectLevel = 127;
    if (settings.m_nPlayLevel > 127)
        settings.m_nPlayLevel = 127;
}

void AutoRecordForm::OnInitDialog(AutoRecordControls& controls)
{
    DataToControls(controls);
    if (m_nPlayCount <= 0) {
        controls.m_enabled[kIdcAlwaysMax] = false;
        controls.m_enabled[kIdcByFactor] = false;
        SetAmplificationGroup(controls, false);
    } else {
        SetRadios(controls);
    }
    controls.m_spinRanges[kIdcPlayCountSpin] = {0, 1000};
    controls.m_spinPositions[kIdcPlayCountSpin] = m_nPlayCount;
    if (m_nBits == 16) {
        controls.m_spinRanges[kIdcCollectLevelSpin] = {0, 32767};
        controls.m_spinRanges[kIdcPlayLevelSpin] = {0, 32767};
    } else {
        // The spins write their position into their edits, so the edits show the lowered levels.
        controls.m_spinRanges[kIdcCollectLevelSpin] = {0, 127};
        controls.m_spinRanges[kIdcPlayLevelSpin] = {0, 127};
        LimitLevelsToBits(*this, m_nBits);
        controls.m_spinPositions[kIdcCollectLevelSpin] = m_nCollectLevel;
        controls.m_texts[kIdcCollectLevel] = FormatDialogInt(m_nCollectLevel);
        controls.m_spinPositions[kIdcPlayLevelSpin] = m_nPlayLevel;
        controls.m_texts[kIdcPlayLevel] = FormatDialogInt(m_nPlayLevel);
    }
    m_bInitialized = 1;
}

void AutoRecordForm::OnChangePlayCount(AutoRecordControls& controls)
{
    if (!m_bInitialized)
        return;
    int count = LeadingInt(controls.Text(kIdcPlayCount), kPlayCountChars);
    if (count <= 0) {
        controls.m_enabled[kIdcAlwaysMax] = false;
        controls.m_enabled[kIdcByFactor] = false;
        SetAmplificationGroup(controls, false);
        return;
    }
    controls.m_enabled[kIdcAlwaysMax] = true;
    controls.m_enabled[kIdcByFactor] = true;
    SetRadios(controls);
}

void AutoRecordForm::OnAlwaysMax(AutoRecordControls& controls)
{
    SetAmplificationGroup(controls, false);
    m_bAlwaysMax = 1;
    controls.m_checks[kIdcAlwaysMax] = 1;
    controls.m_checks[kIdcByFactor] = 0;
}

void AutoRecordForm::OnByFactor(AutoRecordControls& controls)
{
    SetAmplificationGroup(controls, true);
    m_bAlwaysMax = 0;
    controls.m_checks[kIdcAlwaysMax] = 0;
    controls.m_checks[kIdcByFactor] = 1;
}

bool AutoRecordForm::OnLoadSettings(const std::string& path, AutoRecordControls& controls, MessageSink& sink)
{
    if (!path.empty() && !LoadArsFile(path, m_nBits, *this)) {
        sink.Message(msg::kReadFailed);
        return false;
    }
    DataToControls(controls);
    SetRadios(controls);
    OnChangePlayCount(controls);
    return true;
}

bool AutoRecordForm::OnSaveSettings(const std::string& path, AutoRecordControls& controls, MessageSink& sink)
{
    if (path.empty())
        return true;
    UpdateData(controls, sink);  // a validation failure does not stop the save
    if (!SaveArsFile(path, m_nBits, *this)) {
        sink.Message(msg::kFileSaveFailed);
        return false;
    }
    return true;
}

}  // namespace tonmira
