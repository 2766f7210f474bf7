// The main view: first update from the take's format, relayout with the window, and the pixels
// of the two graphs on a grabbed image.
#include <QComboBox>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include "UiFixture.h"
#include "view/FormTemplate.h"
#include "view/CommandIds.h"
#include "view/GraphGeometry.h"

namespace tonmira::test {
namespace {

using ViewTest = UiFixture;

const QColor kGrey(128, 128, 128);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

TEST_F(ViewTest, InitialUpdateFollowsTheRate)
{
    ui::CTonmiraView& view = frame->View();
    ASSERT_TRUE(frame->OpenFile(WriteWav("a.wav", SineSamples(10000, 2, 440, 44100, 9000))));
    EXPECT_EQ(qobject_cast<QLineEdit*>(view.Control(1003))->text(), "0");
    EXPECT_EQ(qobject_cast<QLineEdit*>(view.Control(1002))->text(), "22050");
    EXPECT_EQ(qobject_cast<QComboBox*>(view.Control(1001))->currentText(), "4096");
    EXPECT_EQ(qobject_cast<QLineEdit*>(view.Control(1018))->text(), "00:00.000");
    auto* slider = qobject_cast<QSlider*>(view.Control(1000));
    EXPECT_EQ(slider->maximum(), 10000 - 4096);
    EXPECT_EQ(slider->value(), 0);

    ASSERT_TRUE(frame->OpenFile(WriteWav("b.wav", SineSamples(300, 1, 440, 8000, 9000), 1, 8000)));
    EXPECT_EQ(qobject_cast<QComboBox*>(view.Control(1001))->currentText(), "512");
    EXPECT_EQ(qobject_cast<QLineEdit*>(view.Control(1002))->text(), "4000");
    EXPECT_EQ(slider->maximum(), 1);  // the take is shorter than the window
    // The boxes show the new take's analysis, computed once by the open.
    const FundamentalBoxes& boxes = Core().m_session.Fundamentals();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        EXPECT_EQ(qobject_cast<QListWidget*>(view.Control(view::kIdcFundamentalList[i]))->count(),
                  static_cast<int>(boxes[i].size()));

    // A size chosen in the combo moves into the analysis and the transport.
    auto* combo = qobject_cast<QComboBox*>(view.Control(1001));
    combo->setCurrentIndex(4);
    emit combo->activated(4);
    EXPECT_EQ(Core().m_analysis.m_nFftSize, 256);
    EXPECT_EQ(slider->maximum(), 300 - 256);
}

TEST_F(ViewTest, ControlsFollowTheWindowSize)
{
    ui::CTonmiraView& view = frame->View();
    const QRect spectrum = view.Control(view::kIdcSpectrumFrame)->geometry();
    const QRect list = view.Control(1044)->geometry();
    const view::PixelRect wave = view.Layout().m_rcWave;
    EXPECT_FALSE(view.Control(1019)->isVisible());  // hidden since the first relayout

    frame->resize(frame->width(), frame->height() + 40);
    QApplication::processEvents();
    EXPECT_EQ(view.Control(view::kIdcSpectrumFrame)->geometry(), spectrum.adjusted(0, 20, 0, 40));
    EXPECT_EQ(view.Control(1044)->geometry(), list.translated(0, 20));
    EXPECT_EQ(view.Layout().m_rcWave.Height(), wave.Height() + 20);

    // A view 111 pixels high keeps every control where it was.
    const QRect before = view.Control(view::kIdcSpectrumFrame)->geometry();
    view.resize(view.width(), 111);
    QApplication::processEvents();
    EXPECT_EQ(view.Control(view::kIdcSpectrumFrame)->geometry(), before);
}

class PaintTest : public UiFixture {
protected:
    QImage Grab()
    {
        frame->View().update();
        return frame->View().grab().toImage();
    }
    view::PixelRect Spectrum() { return frame->View().Layout().m_rcSpectrum; }
    view::PixelRect Wave() { return frame->View().Layout().m_rcWave; }
    // Grey columns in the spectrum area's row one below its top.
    std::vector<int> GreyColumns(const QImage& image)
    {
        std::vector<int> xs;
        const view::PixelRect s = Spectrum();
        for (int x = s.left; x < s.right; ++x)
            if (image.pixelColor(x, s.top + 1) == kGrey)
                xs.push_back(x);
        return xs;
    }
    void SetRange(int minHz, int maxHz, bool log)
    {
        Core().m_display.m_nMinFreq = minHz;
        Core().m_display.m_nMaxFreq = maxHz;
        Core().m_bLogGraph = log;
    }
};

std::vector<int> Unique(std::vector<int> xs)
{
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    return xs;
}

TEST_F(PaintTest, GridOnEveryAxis)
{
    // Without a take: white areas, the grid, nothing else.
    SetRange(0, 22050, false);
    QImage image = Grab();
    const view::PixelRect s = Spectrum();
    std::vector<int> expected;
    for (int k = 1; k <= 22; ++k)
        expected.push_back(s.left + k * 1000 * s.Width() / 22050);
    EXPECT_EQ(GreyColumns(image), expected);
    // A line runs the whole height of the area; between lines the area is white.
    EXPECT_EQ(image.pixelColor(expected[0], s.bottom - 1), kGrey);
    EXPECT_EQ(image.pixelColor(expected[0] + 3, s.top + 5), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(Wave().left + 3, Wave().top + 3), QColor(Qt::white));

    SetRange(100, 400, false);
    EXPECT_EQ(GreyColumns(Grab()), (std::vector<int>{s.left, s.left + 100 * s.Width() / 300,
                                                      s.left + 200 * s.Width() / 300}));
    SetRange(100, 350, false);
    EXPECT_EQ(GreyColumns(Grab()).size(), 25u);
    SetRange(0, 2, false);
    EXPECT_TRUE(GreyColumns(Grab()).empty());

    SetRange(0, 22050, true);
    const std::vector<int> log = GreyColumns(Grab());
    EXPECT_EQ(log, Unique(view::GridLineXs(s, 0, 22050, true)));
    EXPECT_EQ(log.front(), s.left);  // 1 Hz
    EXPECT_GT(log.size(), 30u);
}

TEST_F(PaintTest, FullScaleSampleAndLoudestBin)
{
    // 16-bit mono: a 1000 Hz tone at nearly full scale; the window at 0 starts with it.
    std::string samples = SineSamples(8192, 1, 1000, 44100, 30000);
    ASSERT_TRUE(frame->OpenFile(WriteWav("tone.wav", samples, 1)));
    QImage image = Grab();
    const view::PixelRect w = Wave();
    const view::PixelRect s = Spectrum();
    const int y0 = w.top + (w.bottom - w.top) / 2;
    EXPECT_EQ(image.pixelColor(w.left + 5, y0), QColor(Qt::black));

    // The loudest bin's bar fills the spectrum area from bottom to top.
    int tallest = -1;
    for (int x = s.left; x < s.right; ++x)
        if (image.pixelColor(x, s.top) == kRed && image.pixelColor(x, s.bottom - 1) == kRed)
            tallest = x;
    ASSERT_GE(tallest, 0);
    EXPECT_NEAR(tallest - s.left, 1000.0 * s.Width() / 22050, 2.0);
    // Its fundamental is listed.
    auto* first = qobject_cast<QListWidget*>(frame->View().Control(1042));
    ASSERT_GT(first->count(), 0);
    EXPECT_NEAR(first->item(0)->text().toDouble(), 1000.0, 11.0);

    // A window of full-scale positive samples: the columns reach one pixel below the top (the
    // end point itself is not painted), silence draws nothing.
    std::string loud;
    for (int i = 0; i < 8192; ++i)
        PutU16(loud, static_cast<std::uint16_t>(i < 4096 ? 32767 : 0));
    ASSERT_TRUE(frame->OpenFile(WriteWav("loud.wav", loud, 1)));
    image = Grab();
    const int x = w.left + 10;
    EXPECT_EQ(image.pixelColor(x, w.top + 2), kGreen);
    EXPECT_EQ(image.pixelColor(x, w.top + 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(x, y0 - 1), kGreen);
    EXPECT_EQ(image.pixelColor(x, y0 + 1), QColor(Qt::white));

    // Paint only draws: a plain repaint does not transform again.
    const int max = Core().m_analysis.m_nSpectrumMax;
    Core().m_analysis.m_pSpectrum[1] = max * 4;
    Grab();
    EXPECT_EQ(Core().m_analysis.m_pSpectrum[1], max * 4);
    EXPECT_EQ(Core().m_analysis.m_nSpectrumMax, max);
}

}  // namespace
}  // namespace tonmira::test
