// The window's settings file at start: devices named in it chosen among those present, the
// pre-trigger time limited to its range, a missing device told as a notice.
#include <gtest/gtest.h>

#include <QSettings>
#include <utility>
#include <vector>

#include "TestUtil.h"
#include "ui/FileSettings.h"

namespace tonmira::test {
namespace {

// Starts the window's settings glue on a settings file written as a person would write it, with
// two inputs (one a USB recorder) and two outputs present. Returns the notice.
QString Start(const std::string& fileText, std::vector<std::pair<WaveDirection, int>>& chosen, CollectSettings& collect)
{
    TempDir dir;
    WriteFileBytes(dir.File("Tonmira.conf"), fileText);
    QSettings settings(QString::fromStdString(dir.File("Tonmira.conf")), QSettings::IniFormat);
    std::vector<SoundDevice> devices(3);
    devices[0] = {0, "ALSA", "HDA Intel PCH: ALC3246 Analog (hw:0,0)", 2, 2};
    devices[1] = {1, "ALSA", "HDA Intel PCH: HDMI 0 (hw:0,3)", 0, 8};
    devices[2] = {3, "ALSA", "ZOOM F6: USB Audio (hw:1,0)", 6, 0};
    chosen.clear();
    collect.m_nPreTriggerMs = 77;
    auto useDevice = [&](WaveDirection direction, int index) { chosen.emplace_back(direction, index); };
    return ui::ApplyFileSettings(settings, devices, useDevice, collect);
}

TEST(FileSettings, NamedDevicesAreChosenThePreTriggerLimitedAndAMissingDeviceTold)
{
    using Chosen = std::vector<std::pair<WaveDirection, int>>;
    Chosen chosen;
    CollectSettings collect;
    EXPECT_EQ(Start("[Devices]\nInput=zoom f6\nOutput=1\n[Collect]\nPreTriggerMs=250\n", chosen, collect), "");
    EXPECT_EQ(chosen, (Chosen{{WaveDirection::Input, 3}, {WaveDirection::Output, 1}}));
    EXPECT_EQ(collect.m_nPreTriggerMs, 250);
    Start("", chosen, collect);
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(collect.m_nPreTriggerMs, 0);
    for (const auto& [text, expected] : std::vector<std::pair<const char*, int>>{{"9000", 5000}, {"-5", 0}, {"x", 0}}) {
        Start(std::string("[Collect]\nPreTriggerMs=") + text + "\n", chosen, collect);
        EXPECT_EQ(collect.m_nPreTriggerMs, expected) << text;
    }

    // An unplugged recorder for input, an ambiguous name for output (both HDA devices play): the
    // defaults stay, each is named in the notice, and the rest of the file still applies.
    const QString notice =
        Start("[Devices]\nInput=Scarlett\nOutput=hda intel\n[Collect]\nPreTriggerMs=100\n", chosen, collect);
    EXPECT_TRUE(chosen.empty());
    for (const char* part : {"Scarlett", "hda intel", "既定のデバイスを使います"})
        EXPECT_TRUE(notice.contains(QString::fromUtf8(part))) << notice.toStdString();
    EXPECT_EQ(collect.m_nPreTriggerMs, 100);
}

}  // namespace
}  // namespace tonmira::test
