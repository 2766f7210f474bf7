#include <gtest/gtest.h>

#include <cmath>

#include "TestUtil.h"
#include "collect/ArsFile.h"
#include "view/AutoRecordForm.h"
#include "view/DialogExchange.h"
#include "base/MessageSink.h"

using namespace tonmira;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;
using tonmira::test::WriteFileBytes;

namespace {

// A dialog opened on a 16-bit 44.1 kHz document with the given view settings.
AutoRecordForm OpenDialog(const CollectSettings& view, WORD bits, AutoRecordControls& controls)
{
    AutoRecordForm form;
    form.CopyFromView(view, bits, 44100);
    form.OnInitDialog(controls);
    return form;
}

}  // namespace

TEST(AutoRecordForm, FreshProgramOpensWithDefaultsAndDisabledAmplification)
{
    AutoRecordControls c;
    AutoRecordForm form = OpenDialog(CollectSettings{}, 16, c);
    EXPECT_EQ(c.Text(kIdcCollectLevel), "0");
    EXPECT_EQ(c.Text(kIdcContinuousMs), "0");
    EXPECT_EQ(c.Text(kIdcOutputFolder), "");
    EXPECT_EQ(c.Text(kIdcPlayCount), "0");
    EXPECT_EQ(c.Text(kIdcAmpFactor), "1");
    EXPECT_EQ(c.Text(kIdcBandLow), "0");
    EXPECT_EQ(c.Text(kIdcBandHigh), "22050");
    EXPECT_EQ(c.Text(kIdcIntegHigh), "100");
    EXPECT_EQ(c.Text(kIdcStdDevHigh), "0");
    for (int id : {kIdcAlwaysMax, kIdcByFactor, kIdcAmpFactor, kIdcAmpFactorLabel})
        EXPECT_FALSE(c.IsEnabled(id)) << id;
    EXPECT_EQ(c.Check(kIdcAlwaysMax) + c.Check(kIdcByFactor), 0);
    EXPECT_EQ(c.m_spinRanges[kIdcCollectLevelSpin], std::make_pair(0, 32767));
    EXPECT_EQ(c.m_spinRanges[kIdcPlayCountSpin], std::make_pair(0, 1000));

    // OK without edits: the view's band upper edge of 0 survives, the auto start level stays.
    CollectSettings view;
    int autoStart = 30;
    ASSERT_TRUE(form.ControlsToData(c) == std::nullopt);
    form.CopyToView(view, autoStart, 44100);
    EXPECT_EQ(view, CollectSettings{});
    EXPECT_EQ(autoStart, 30);
}

TEST(AutoRecordForm, CopyBackRules)
{
    AutoRecordControls c;
    AutoRecordForm form = OpenDialog(CollectSettings{}, 16, c);
    c.m_texts[kIdcBandHigh] = "8000";
    c.m_texts[kIdcCollectLevel] = "300";
    ASSERT_FALSE(form.ControlsToData(c));
    CollectSettings view;
    int autoStart = 30;
    form.CopyToView(view, autoStart, 44100);
    EXPECT_EQ(view.m_nBandHighHz, 8000);
    EXPECT_EQ(view.m_nCollectLevel, 300);
    EXPECT_EQ(autoStart, 0);  // collection and automatic start never stay on together

    // Entering exactly half the rate keeps what the view had.
    AutoRecordControls c2;
    AutoRecordForm form2 = OpenDialog(view, 16, c2);
    EXPECT_EQ(c2.Text(kIdcBandHigh), "8000");
    c2.m_texts[kIdcBandHigh] = "22050";
    ASSERT_FALSE(form2.ControlsToData(c2));
    form2.CopyToView(view, autoStart, 44100);
    EXPECT_EQ(view.m_nBandHighHz, 8000);
}

TEST(AutoRecordForm, EightBitDocumentLowersBothLevels)
{
    CollectSettings view;
    view.m_nCollectLevel = 1000;
    view.m_nPlayLevel = 500;
    AutoRecordControls c;
    AutoRecordForm form = OpenDialog(view, 8, c);
    EXPECT_EQ(c.Text(kIdcCollectLevel), "127");
    EXPECT_EQ(c.Text(kIdcPlayLevel), "127");
    EXPECT_EQ(c.m_spinRanges[kIdcPlayLevelSpin], std::make_pair(0, 127));
    ASSERT_FALSE(form.ControlsToData(c));
    int autoStart = 0;
    form.CopyToView(view, autoStart, 44100);
    EXPECT_EQ(view.m_nCollectLevel, 127);
    EXPECT_EQ(view.m_nPlayLevel, 127);
}

TEST(AutoRecordForm, ExchangeStopsAtFirstFailureInExchangeOrder)
{
    CollectSettings view;
    AutoRecordControls c;
    AutoRecordForm form = OpenDialog(view, 16, c);
    CapturingMessageSink sink;

    // Play count 1001: the continuous time before it is taken, the count itself is stored
    // before its range check fails, the factor after it is not touched.
    c.m_texts[kIdcContinuousMs] = "250";
    c.m_texts[kIdcPlayCount] = "1001";
    c.m_texts[kIdcAmpFactor] = "9";
    EXPECT_FALSE(form.UpdateData(c, sink));
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0], "0 から 1000 までの整数を入力してください。");
    EXPECT_EQ(c.m_nFocusId, kIdcPlayCount);
    EXPECT_EQ(form.m_nContinuousMs, 250);
    EXPECT_EQ(form.m_nPlayCount, 1001);
    EXPECT_EQ(form.m_nAmpFactor, 1);

    // The exchange stops at the first control that fails, with its message.
    auto expectFailure = [&](int id, const std::string& message) {
        const auto failure = form.ControlsToData(c);
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->m_nControlId, id);
        EXPECT_EQ(failure->m_strMessage, message);
    };
    // Continuous time is checked against 0..10000, and comes first.
    c.m_texts[kIdcContinuousMs] = "10001";
    expectFailure(kIdcContinuousMs, "0 から 10000 までの整数を入力してください。");
    c.m_texts[kIdcContinuousMs] = "10000";
    c.m_texts[kIdcPlayCount] = "2";

    // A real that does not parse: 1020 (before it in the order) is taken, 1021 (after) is not,
    // though 1021 sits beside 1020 on screen.
    c.m_texts[kIdcIntegLow] = "5.5";
    c.m_texts[kIdcIntegHigh] = "50";
    c.m_texts[kIdcPointsLow] = "abc";
    expectFailure(kIdcPointsLow, "数字を入力してください。");
    EXPECT_EQ(form.m_fIntegLow, 5.5f);
    EXPECT_EQ(form.m_fIntegHigh, 100.0f);
    EXPECT_EQ(form.m_nAmpFactor, 9);

    // An integer that does not parse keeps the member's old value.
    c.m_texts[kIdcPointsLow] = "1";
    c.m_texts[kIdcBandLow] = "12.5";
    expectFailure(kIdcBandLow, "整数を入力してください。");
    EXPECT_EQ(form.m_nBandLowHz, 0);
}

TEST(AutoRecordForm, TextRules)
{
    EXPECT_EQ(ParseDialogInt(" -42\t"), -42);
    EXPECT_EQ(ParseDialogInt("+7"), 7);
    for (const char* bad : {"", "  ", "4 2", "1.0", "0x10", "+", "2147483648", "１２"})
        EXPECT_FALSE(ParseDialogInt(bad)) << bad;
    EXPECT_EQ(ParseDialogInt("-2147483648"), INT32_MIN);

    EXPECT_EQ(ParseDialogReal(" 2.5 "), 2.5f);
    EXPECT_EQ(ParseDialogReal("+1e3"), 1000.0f);
    EXPECT_EQ(ParseDialogReal("-.5"), -0.5f);
    for (const char* bad : {"", "1,5", "nan", "inf", "-infinity", "1e39", "5%", "+-1"})
        EXPECT_FALSE(ParseDialogReal(bad)) << bad;

    EXPECT_EQ(FormatDialogReal(12.3456789f), "12.3457");
    EXPECT_EQ(FormatDialogReal(100.0f), "100");
    EXPECT_EQ(FormatDialogReal(0.1f), "0.1");
    EXPECT_EQ(FormatDialogReal(1234567.0f), "1.23457e+06");
}

TEST(AutoRecordForm, PlayCountAndRadiosDriveTheAmplificationGroup)
{
    CollectSettings view;
    view.m_nPlayCount = 2;
    view.m_bAlwaysMax = 0;
    AutoRecordControls c;
    AutoRecordForm form;
    form.CopyFromView(view, 16, 44100);
    c.m_texts[kIdcPlayCount] = "5";
    form.OnChangePlayCount(c);  // before initialisation: ignored
    EXPECT_TRUE(c.m_enabled.empty());

    form.OnInitDialog(c);
    EXPECT_EQ(c.Check(kIdcByFactor), 1);
    EXPECT_TRUE(c.IsEnabled(kIdcAmpFactor));

    c.m_texts[kIdcPlayCount] = "0";
    form.OnChangePlayCount(c);
    EXPECT_FALSE(c.IsEnabled(kIdcAlwaysMax));
    EXPECT_FALSE(c.IsEnabled(kIdcAmpFactor));

    form.OnAlwaysMax(c);
    EXPECT_EQ(form.m_bAlwaysMax, 1);
    c.m_texts[kIdcPlayCount] = "1";
    form.OnChangePlayCount(c);
    EXPECT_TRUE(c.IsEnabled(kIdcAlwaysMax));
    EXPECT_TRUE(c.IsEnabled(kIdcByFactor));
    EXPECT_EQ(c.Check(kIdcAlwaysMax), 1);
    EXPECT_EQ(c.Check(kIdcByFactor), 0);
    EXPECT_FALSE(c.IsEnabled(kIdcAmpFactor));

    // Only the first four characters of the first line count; junk counts as 0.
    c.m_texts[kIdcPlayCount] = "00001";
    form.OnChangePlayCount(c);
    EXPECT_FALSE(c.IsEnabled(kIdcAlwaysMax));
    c.m_texts[kIdcPlayCount] = "x";
    form.OnChangePlayCount(c);
    EXPECT_FALSE(c.IsEnabled(kIdcAlwaysMax));
    c.m_texts[kIdcPlayCount] = "3\r\n0";
    form.OnChangePlayCount(c);
    EXPECT_TRUE(c.IsEnabled(kIdcAlwaysMax));
}

TEST(AutoRecordForm, LoadAndSaveSettingsFiles)
{
    TempDir dir;
    CapturingMessageSink sink;
    CollectSettings view;
    view.m_nPlayLevel = 900;
    AutoRecordControls c;
    AutoRecordForm form = OpenDialog(view, 16, c);

    // Saving writes even after a validation message, and always holds an explicit upper edge.
    c.m_texts[kIdcContinuousMs] = "400";
    c.m_texts[kIdcPlayCount] = "5000";
    c.m_texts[kIdcCollectLevel] = "321";
    ASSERT_TRUE(form.OnSaveSettings(dir.File("s.ars"), c, sink));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"0 から 1000 までの整数を入力してください。"});
    int bits = 0;
    CollectSettings saved;
    ASSERT_TRUE(LoadArsFile(dir.File("s.ars"), bits, saved));
    EXPECT_EQ(saved.m_nContinuousMs, 400);
    EXPECT_EQ(saved.m_nPlayCount, 5000);
    EXPECT_EQ(saved.m_nCollectLevel, 0);  // exchanged after the failing control
    EXPECT_EQ(saved.m_nBandHighHz, 22050);

    // A 328-byte file leaves the play level; the controls show what was loaded.
    std::string old = EncodeArs(16, saved);
    old.erase(8, 4);
    WriteFileBytes(dir.File("old.ars"), old);
    c.m_texts[kIdcPlayLevel] = "5";
    ASSERT_TRUE(form.OnLoadSettings(dir.File("old.ars"), c, sink));
    EXPECT_EQ(form.m_nPlayLevel, 900);
    EXPECT_EQ(c.Text(kIdcPlayLevel), "900");
    EXPECT_EQ(c.Text(kIdcContinuousMs), "400");
    EXPECT_EQ(c.Check(kIdcAlwaysMax), 1);

    // A cancelled file dialog refreshes the controls too, discarding edits.
    c.m_texts[kIdcBandLow] = "777";
    ASSERT_TRUE(form.OnLoadSettings("", c, sink));
    EXPECT_EQ(c.Text(kIdcBandLow), "0");

    // A failed read leaves the controls as they are.
    c.m_texts[kIdcBandLow] = "777";
    sink.m_messages.clear();
    EXPECT_FALSE(form.OnLoadSettings(dir.File("missing.ars"), c, sink));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"ファイルの読み込みに失敗しました。"});
    EXPECT_EQ(c.Text(kIdcBandLow), "777");

    sink.m_messages.clear();
    c.m_texts[kIdcPlayCount] = "1";
    EXPECT_FALSE(form.OnSaveSettings(dir.File("gone/s.ars"), c, sink));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>{"ファイルの保存に失敗しました。"});
}

TEST(AutoRecordForm, ValidateRefusesWhatTheDialogWouldRefuse)
{
    EXPECT_FALSE(AutoRecordForm::Validate(CollectSettings{}));
    CollectSettings s;
    s.m_nCollectLevel = -5;  // the dialog does not check levels
    s.m_nAmpFactor = -3;
    EXPECT_FALSE(AutoRecordForm::Validate(s));
    s.m_nPlayCount = -1;
    auto failure = AutoRecordForm::Validate(s);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_nControlId, kIdcPlayCount);
    s.m_nPlayCount = 0;
    s.m_fStdDevHigh = std::nanf("");
    failure = AutoRecordForm::Validate(s);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->m_strMessage, "数字を入力してください。");
    s.m_fStdDevHigh = 1.0f;
    s.m_fIntegLow = -INFINITY;
    EXPECT_TRUE(AutoRecordForm::Validate(s));
}

TEST(AutoRecordForm, PreTriggerIsRangeCheckedLastAndStaysOutOfTheArsFile)
{
    TempDir dir;
    CapturingMessageSink sink;
    CollectSettings view;
    view.m_nPreTriggerMs = 120;
    AutoRecordControls c;
    AutoRecordForm form = OpenDialog(view, 16, c);
    EXPECT_EQ(c.Text(kIdcPreTriggerMs), "120");
    for (const char* text : {"0", "5000", "-1", "5001"}) {
        c.m_texts[kIdcPreTriggerMs] = text;
        const bool inRange = text[0] != '-' && std::stoi(text) <= 5000;
        EXPECT_EQ(form.UpdateData(c, sink), inRange) << text;
    }
    EXPECT_EQ(sink.m_messages, std::vector<std::string>(2, "0 から 5000 までの整数を入力してください。"));
    EXPECT_EQ(c.m_nFocusId, kIdcPreTriggerMs);
    // Last in the exchange order: the record's settings are all taken before it is refused.
    c.m_texts[kIdcPlayLevel] = "77";
    EXPECT_TRUE(form.ControlsToData(c));
    EXPECT_EQ(form.m_nPlayLevel, 77);

    // OK copies it to the view; loading a .ars file leaves it as it was.
    c.m_texts[kIdcPreTriggerMs] = "250";
    ASSERT_TRUE(form.OnSaveSettings(dir.File("s.ars"), c, sink));
    int autoStart = 0;
    form.CopyToView(view, autoStart, 44100);
    EXPECT_EQ(view.m_nPreTriggerMs, 250);
    EXPECT_EQ(ReadFileBytes(dir.File("s.ars")).size(), 332u);
    c.m_texts[kIdcPreTriggerMs] = "900";  // an unsaved edit, discarded by the load like the others
    ASSERT_TRUE(form.OnLoadSettings(dir.File("s.ars"), c, sink));
    EXPECT_EQ(c.Text(kIdcPreTriggerMs), "250");
}
