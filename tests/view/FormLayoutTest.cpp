// The main view's form: places from dialog units, and how the controls follow the window's size.
#include <gtest/gtest.h>

#include "view/FormLayout.h"
#include "view/FormTemplate.h"

namespace tonmira::view {
namespace {

constexpr BaseUnits kUnits{6, 13};

TEST(FormLayout, PlacesTheTemplateInPixelsOfTheDialogFont)
{
    FormLayout layout(kUnits);
    // 3, 4, 313, 104 dialog units at 6 x 13 base units.
    EXPECT_EQ(layout.Get(kIdcWaveFrame).rect, (PixelRect{5, 7, 5 + 469, 7 + 169}));
    // The drawing area is the inside of its frame.
    EXPECT_EQ(layout.m_rcWave, (PixelRect{6, 8, 473, 175}));
    EXPECT_EQ(layout.m_rcSpectrum.Height(), layout.m_rcWave.Height());
    EXPECT_EQ(layout.FormWidth(), 480);
    EXPECT_EQ(layout.FormHeight(), 458);
    // A closed drop-down list is one line high, not the height of its open list.
    EXPECT_LT(layout.Get(kIdcFftCombo).rect.Height(), 25);
}

TEST(FormLayout, GraphsShareTheHeightAndTakeTheWidth)
{
    FormLayout layout(kUnits);
    layout.OnUpdate();
    const FormLayout before = layout;
    ASSERT_TRUE(layout.OnSize(layout.FormWidth() + 30, layout.FormHeight() + 40));

    auto moved = [&](int id) {
        const PixelRect a = before.Get(id).rect;
        const PixelRect b = layout.Get(id).rect;
        return PixelRect{b.left - a.left, b.top - a.top, b.Width() - a.Width(), b.Height() - a.Height()};
    };
    EXPECT_EQ(moved(kIdcWaveFrame), (PixelRect{0, 0, 30, 20}));
    EXPECT_EQ(moved(kIdcSpectrumFrame), (PixelRect{0, 20, 30, 20}));
    EXPECT_EQ(moved(kIdcSlider), (PixelRect{0, 20, 30, 0}));
    EXPECT_EQ(moved(kIdcPositionEdit), (PixelRect{30, 20, 0, 0}));
    for (int id : {kIdcFftCombo, kIdcMinFreqEdit, kIdcMaxFreqSpin, 1042, 1046, 1027, 1011})
        EXPECT_EQ(moved(id), (PixelRect{0, 20, 0, 0})) << id;

    EXPECT_EQ(layout.m_rcWave.Height(), before.m_rcWave.Height() + 20);
    EXPECT_EQ(layout.m_rcWave.Width(), before.m_rcWave.Width() + 30);
    EXPECT_EQ(layout.m_rcSpectrum.top, before.m_rcSpectrum.top + 20);
    EXPECT_EQ(layout.m_rcSpectrum.Height(), before.m_rcSpectrum.Height() + 20);
    EXPECT_EQ(layout.m_rcSpectrum.Width(), before.m_rcSpectrum.Width() + 30);
    // The spectrum area stays inside its frame.
    EXPECT_EQ(layout.m_rcSpectrum.bottom, layout.Get(kIdcSpectrumFrame).rect.bottom - 1);

    for (int id : kIdcCounterEdits)
        EXPECT_FALSE(layout.Get(id).visible);
    for (int id : kIdcCounterLabels)
        EXPECT_FALSE(layout.Get(id).visible);
    EXPECT_TRUE(layout.Get(1042).visible);
}

TEST(FormLayout, SizesThatDoNotRelayout)
{
    FormLayout layout(kUnits);
    const PixelRect frame = layout.Get(kIdcSpectrumFrame).rect;
    // Before the first update the window system alone handles the size.
    EXPECT_FALSE(layout.OnSize(800, 700));
    layout.OnUpdate();
    EXPECT_FALSE(layout.OnSize(0, 0));
    EXPECT_FALSE(layout.OnSize(800, 111));
    EXPECT_EQ(layout.Get(kIdcSpectrumFrame).rect, frame);
    EXPECT_TRUE(layout.Get(1019).visible);
    EXPECT_TRUE(layout.OnSize(800, 112));
}

TEST(FormLayout, OddHeightChangesKeepBothGraphsEqual)
{
    FormLayout layout(kUnits);
    layout.OnUpdate();
    // Shrinking by an odd amount and growing back must leave both graphs the same height as
    // each other at every step, and back at the start.
    const int h0 = layout.m_rcWave.Height();
    ASSERT_TRUE(layout.OnSize(layout.FormWidth(), layout.FormHeight() - 41));
    EXPECT_EQ(layout.m_rcWave.Height(), h0 - 21);  // 42 shared out: the odd pixel is not lost
    EXPECT_EQ(layout.m_rcWave.Height(), layout.m_rcSpectrum.Height());
    ASSERT_TRUE(layout.OnSize(layout.FormWidth(), layout.FormHeight()));
    EXPECT_EQ(layout.m_rcWave.Height(), layout.m_rcSpectrum.Height());
    EXPECT_NEAR(layout.m_rcWave.Height(), h0, 1);
    // The spectrum frame never climbs into the waveform frame.
    EXPECT_GT(layout.Get(kIdcSpectrumFrame).rect.top, layout.Get(kIdcWaveFrame).rect.bottom);
}

}  // namespace
}  // namespace tonmira::view
