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

std::vector<SoundDevice> Devices()
{
    auto d = [](int index, const char* name, int in, int out) {
        SoundDevice s;
        s.m_nIndex = index;
        s.m_strName = name;
        s.m_nInputChannels = in;
        s.m_nOutputChannels = out;
        return s;
    };
    return {d(0, "HDA Intel PCH: ALC3246 Analog (hw:0,0)", 2, 2), d(1, "HDA Intel PCH: HDMI 0 (hw:0,3)", 0, 8),
            d(3, "ZOOM F6: USB Audio (hw:1,0)", 6, 2)};
}

struct Applied {
    std::vector<std::pair<WaveDirection, int>> devices;
    CollectSettings collect;
    QString notice;
};

// Starts the window's settings glue on a settings file written as a person would write it.
Applied Start(const std::string& fileText)
{
    TempDir dir;
    WriteFileBytes(dir.File("Tonmira.conf"), fileText);
    QSettings settings(QString::fromStdString(dir.File("Tonmira.conf")), QSettings::IniFormat);
    Applied applied;
    applied.collect.m_nPreTriggerMs = 77;
    auto useDevice = [&](WaveDirection direction, int index) { applied.devices.emplace_back(direction, index); };
    applied.notice = ui::ApplyFileSettings(settings, Devices(), useDevice, applied.collect);
    return applied;
}

TEST(FileSettings, NamedDevicesAreChosenAndThePreTriggerTimeLimited)
{
    Applied a = Start("[Devices]\nInput=zoom f6\nOutput=hdmi\n[Collect]\nPreTriggerMs=250\n");
    using P = std::pair<WaveDirection, int>;
    EXPECT_EQ(a.devices, (std::vector<P>{{WaveDirection::Input, 3}, {WaveDirection::Output, 1}}));
    EXPECT_EQ(a.collect.m_nPreTriggerMs, 250);
    EXPECT_TRUE(a.notice.isEmpty()) << a.notice.toStdString();

    // An index works as on the command line; nothing named keeps the defaults.
    a = Start("[Devices]\nOutput=0\n");
    EXPECT_EQ(a.devices, (std::vector<P>{{WaveDirection::Output, 0}}));
    EXPECT_EQ(a.collect.m_nPreTriggerMs, 0);
    EXPECT_TRUE(Start("").devices.empty());

    for (const auto& [text, expected] : std::vector<std::pair<const char*, int>>{
             {"9000", 5000}, {"5000", 5000}, {"-5", 0}, {"soon", 0}}) {
        a = Start(std::string("[Collect]\nPreTriggerMs=") + text + "\n");
        EXPECT_EQ(a.collect.m_nPreTriggerMs, expected) << text;
    }
}

TEST(FileSettings, DeviceThatIsNotThereKeepsTheDefaultAndSaysSoForEachDirection)
{
    // An unplugged recorder for input, an ambiguous name for output (both HDA devices play).
    Applied a = Start("[Devices]\nInput=Scarlett\nOutput=hda intel\n[Collect]\nPreTriggerMs=100\n");
    EXPECT_TRUE(a.devices.empty());
    EXPECT_TRUE(a.notice.contains(QStringLiteral("Scarlett"))) << a.notice.toStdString();
    EXPECT_TRUE(a.notice.contains(QStringLiteral("hda intel"))) << a.notice.toStdString();
    EXPECT_TRUE(a.notice.contains(QStringLiteral("既定のデバイスを使います"))) << a.notice.toStdString();
    EXPECT_EQ(a.collect.m_nPreTriggerMs, 100) << "the rest of the file still applies";

    // A device without input channels cannot be the input.
    a = Start("[Devices]\nInput=HDMI\nOutput=F6\n");
    EXPECT_EQ(a.devices, (std::vector<std::pair<WaveDirection, int>>{{WaveDirection::Output, 3}}));
    EXPECT_TRUE(a.notice.contains(QStringLiteral("HDMI")));
}

}  // namespace
}  // namespace tonmira::test
