// Choosing a sound device by index or by a part of its name, per direction.
#include <gtest/gtest.h>

#include "audio/SoundDevices.h"

namespace tonmira {
namespace {

std::vector<SoundDevice> Devices()
{
    auto d = [](int index, const char* name, int in, int out) {
        SoundDevice s;
        s.m_nIndex = index;
        s.m_strName = name;
        s.m_strHostApi = "ALSA";
        s.m_nInputChannels = in;
        s.m_nOutputChannels = out;
        return s;
    };
    return {d(0, "HDA Intel PCH: ALC3246 Analog (hw:0,0)", 2, 2), d(1, "HDA Intel PCH: HDMI 0 (hw:0,3)", 0, 8),
            d(3, "ZOOM F6: USB Audio (hw:1,0)", 6, 2), d(4, "zoom", 2, 0), d(5, "default", 32, 32)};
}

TEST(SoundDevices, IndexOrNamePartPerDirectionAndEveryRefusalListsTheCandidates)
{
    std::string error;
    EXPECT_EQ(ChooseSoundDevice(Devices(), "3", true, error), 3);
    EXPECT_EQ(ChooseSoundDevice(Devices(), "hdmi", false, error), 1);
    EXPECT_EQ(ChooseSoundDevice(Devices(), "f6", true, error), 3);       // any case
    EXPECT_EQ(ChooseSoundDevice(Devices(), "ZOOM", true, error), 4);     // a whole name wins
    EXPECT_EQ(ChooseSoundDevice(Devices(), "f6", false, error), 3);

    // The HDMI output has no input, index 2 does not exist: both refused, naming the inputs.
    for (const char* wanted : {"1", "2", "hdmi"}) {
        error.clear();
        EXPECT_EQ(ChooseSoundDevice(Devices(), wanted, true, error), -1) << wanted;
        EXPECT_NE(error.find("3: ZOOM F6"), std::string::npos) << error;
        EXPECT_EQ(error.find("HDMI"), std::string::npos) << error;
    }
    // Ambiguous: both HDA devices play; only the matches are listed.
    error.clear();
    EXPECT_EQ(ChooseSoundDevice(Devices(), "hda intel", false, error), -1);
    EXPECT_NE(error.find("more than one output device"), std::string::npos) << error;
    EXPECT_NE(error.find("0: HDA Intel PCH: ALC3246"), std::string::npos) << error;
    EXPECT_NE(error.find("1: HDA Intel PCH: HDMI"), std::string::npos) << error;
    EXPECT_EQ(error.find("ZOOM"), std::string::npos) << error;
    error.clear();
    EXPECT_EQ(ChooseSoundDevice(Devices(), "", true, error), -1);
    EXPECT_EQ(ChooseSoundDevice(Devices(), "99999999999999", true, error), -1);
}

}  // namespace
}  // namespace tonmira
