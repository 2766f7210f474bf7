// The overview pane and the readouts in the window: off by default, the chirp's ridge in its
// pixels, clicks moving the position as the slider does, the command line's picture equal to the
// pane's, the status bar's readouts, the wheel's zoom and pan, a Shift+drag's marks, and a form
// that keeps its size when the pane comes.
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSlider>
#include <QToolBar>
#include <QStatusBar>
#include <QScreen>
#include <QWheelEvent>

#include "UiFixture.h"
#include "ui/GraphReadout.h"
#include "ui/OverviewPane.h"
#include "view/CommandIds.h"

namespace tonmira::test {
namespace {

// 16-bit mono samples of a linear chirp from f0 to f1 Hz.
std::string ChirpSamples(int frames, double rate, double f0, double f1)
{
    std::string s;
    const double pi = 2 * std::asin(1.0);
    const double seconds = frames / rate;
    for (int i = 0; i < frames; ++i) {
        const double t = i / rate;
        const double v = 16000 * std::sin(2 * pi * (f0 * t + (f1 - f0) * t * t / (2 * seconds)));
        PutU16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v))));
    }
    return s;
}

// Pixels of area (in a's coordinates) whose colour differs in b, where a's (0, 0) is b's offset.
int DifferingPixels(const QImage& a, const QImage& b, QPoint offset, QRect area)
{
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            differing += (a.pixel(x, y) & 0xffffff) != (b.pixel(offset.x() + x, offset.y() + y) & 0xffffff) ? 1 : 0;
    return differing;
}

class OverviewTest : public UiFixture {
protected:
    QDockWidget* Dock() { return frame->findChild<QDockWidget*>(QStringLiteral("overviewDock")); }
    QAction* Switch() { return frame->findChild<QAction*>(QStringLiteral("cmd%1").arg(view::kCmdViewOverview)); }
    ui::OverviewPane& Pane() { return *frame->Overview(); }
};

TEST_F(OverviewTest, OffByDefaultAndSwitchedAtTheEndOfTheViewMenu)
{
    ASSERT_TRUE(Dock());
    ASSERT_TRUE(Switch());
    EXPECT_FALSE(Dock()->isVisible());
    EXPECT_FALSE(Switch()->isChecked());
    EXPECT_TRUE(Switch()->isEnabled());
    EXPECT_FALSE(Switch()->statusTip().isEmpty());
    // The view takes the whole centre as before: the dock takes no room while hidden.
    EXPECT_EQ(frame->centralWidget()->geometry().top(), frame->ToolBar()->geometry().bottom() + 1);
    QMenu* viewMenu = nullptr;
    for (QAction* entry : frame->menuBar()->actions())
        if (entry->menu() && entry->menu()->actions().contains(frame->Action(view::kCmdViewStatusBar)))
            viewMenu = entry->menu();
    ASSERT_TRUE(viewMenu);
    // The additions follow the specified items after a separator: the overview's switch, then the
    // command that fits the whole take.
    const QList<QAction*> items = viewMenu->actions();
    const qsizetype bar = items.indexOf(frame->Action(view::kCmdViewStatusBar));
    ASSERT_LT(bar + 3, items.size());
    EXPECT_TRUE(items[bar + 1]->isSeparator());
    EXPECT_EQ(items[bar + 2], Switch());
    EXPECT_EQ(items[bar + 3], frame->Action(view::kCmdViewFitTake));
    EXPECT_FALSE(frame->Action(view::kCmdViewFitTake)->isEnabled()) << "nothing to fit while the pane is off";
    // Hidden, the pane does no work.
    std::string constant;
    for (int i = 0; i < 20000; ++i)
        PutU16(constant, 12000);
    ASSERT_TRUE(frame->OpenFile(WriteWav("a.wav", constant, 1)));
    QTest::qWait(50);
    EXPECT_EQ(Pane().Pyramid(), nullptr);

    Switch()->trigger();
    EXPECT_TRUE(Dock()->isVisible());
    // The waveform of a constant positive take: green above the centre, none below (the right
    // half, away from the position's mark).
    ASSERT_TRUE(QTest::qWaitFor([&] { return Pane().Pyramid() != nullptr; }, 20000));
    const QImage image = Pane().grab().toImage();
    const QRect o = Pane().OverviewRect();
    int above = 0, below = 0;
    for (int x = o.center().x(); x < o.right() - 1; ++x)
        for (int y = o.top() + 1; y < o.bottom(); ++y)
            if (image.pixel(x, y) == qRgb(0, 128, 0))
                ++(y < o.top() + o.height() / 2 ? above : below);
    EXPECT_GT(above, 0);
    EXPECT_EQ(below, 0);
    Dock()->close();
    EXPECT_FALSE(Switch()->isChecked());
}

TEST_F(OverviewTest, ChirpRidgeRisesAndClicksMoveThePositionAsTheSlider)
{
    const int rate = 44100;
    const int frames = rate * 3;
    ASSERT_TRUE(frame->OpenFile(WriteWav("chirp.wav", ChirpSamples(frames, rate, 300, 15000), 1)));
    frame->resize(900, 500);  // the pane then has its height: the window grows by it
    Switch()->trigger();
    QApplication::processEvents();
    ui::OverviewPane& pane = Pane();
    const QRect s = pane.SpectrogramRect();
    ASSERT_GT(s.height(), 60);
    auto drawn = [&] { return pane.Pyramid() && pane.Summary().Complete() && !pane.WholeTakeImage().isNull(); };
    ASSERT_TRUE(QTest::qWaitFor(drawn, 20000));
    QTest::qWait(50);  // the last progress report drawn

    // The brightest row of a column (the ridge) climbs from left to right. The axis labels stand in
    // the corners, the position's line at the left edge: they are left out.
    const QImage image = pane.grab().toImage();
    auto ridge = [&](int x) {
        int best = s.top();
        for (int y = s.top(); y <= s.bottom(); ++y)
            if (qGray(image.pixel(x, y)) > qGray(image.pixel(x, best)))
                best = y;
        return best;
    };
    int previous = ridge(s.left() + s.width() / 8 + 40);
    for (int x = s.left() + s.width() / 4; x < s.right() - 100; x += s.width() / 8) {
        const int y = ridge(x);
        EXPECT_LT(y, previous) << "x " << x;
        previous = y;
    }
    // Linear axis over 0..rate/2: at the middle of the take the chirp is at 7650 Hz.
    const double expected = s.top() + s.height() * (1.0 - 7650.0 / (rate / 2));
    EXPECT_NEAR(ridge(s.left() + s.width() / 2), expected, s.height() / 30.0);

    // The pointer on the ridge there reads its time, frequency and level in the status bar.
    const QPoint onRidge(s.left() + s.width() / 2, ridge(s.left() + s.width() / 2));
    const QString reading = pane.ReadoutAt(onRidge);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("時間 0:00:(\\d\\d\\.\\d{3})  周波数 (\\d+) Hz  (-?[0-9.]+) dBFS")).match(reading);
    ASSERT_TRUE(m.hasMatch()) << reading.toStdString();
    EXPECT_NEAR(m.captured(1).toDouble(), 1.5, 3.0 / s.width());
    EXPECT_NEAR(m.captured(2).toDouble(), 7650, (rate / 2.0) / s.height() * 3);
    EXPECT_GT(m.captured(3).toDouble(), -40.0) << "the ridge stands well above silence";
    QTest::mouseMove(&pane, onRidge);
    EXPECT_EQ(frame->statusBar()->currentMessage(), reading);
    EXPECT_TRUE(pane.ReadoutAt(QPoint(onRidge.x(), s.bottom() + 3)).isEmpty()) << "under the spectrogram";

    // The part around the position is computed in tiles on the workers; the semi-log setting
    // gives new ones.
    pane.SetWholeTake(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.TileImageCount() >= 1; }, 20000));
    frame->Dispatch(view::kCmdGraphType);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.TileImageCount() >= 1; }, 20000));
    EXPECT_EQ(pane.Tiles().TilesOnOwnerThread(), 0);
    pane.SetWholeTake(true);

    // A click a third of the way in puts the position where letting the slider go there does.
    auto* slider = frame->View().findChild<QSlider*>();
    const int x = pane.width() / 3;
    QTest::mouseClick(&pane, Qt::LeftButton, Qt::NoModifier, QPoint(x, pane.OverviewRect().center().y()));
    const UINT expectedPosition = static_cast<UINT>(static_cast<double>(frames) * x / pane.width());
    EXPECT_EQ(Doc().m_nPosition, expectedPosition);
    EXPECT_EQ(slider->value(), static_cast<int>(expectedPosition));
    // A click at the end stops where the slider's range does.
    QTest::mouseClick(&pane, Qt::LeftButton, Qt::NoModifier, QPoint(pane.width() - 1, 10));
    EXPECT_EQ(static_cast<int>(Doc().m_nPosition), slider->maximum());

    // While a change is held (a command's modal dialog), the pane's timer does not restart any
    // work, even on a new take; once resumed, the new take's summary is built.
    pane.Suspend();
    ASSERT_TRUE(frame->OpenFile(WriteWav("short.wav", SineSamples(9000, 1, 440, 44100, 9000), 1)));
    QTest::qWait(350);
    ASSERT_TRUE(pane.Pyramid());
    EXPECT_EQ(pane.Pyramid()->Frames(), static_cast<std::uint64_t>(frames));
    pane.Resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.Pyramid() && pane.Pyramid()->Frames() == 9000; }, 20000));
}

TEST_F(OverviewTest, TheCommandLinePictureIsThePanesPixels)
{
    const int rate = 22050;
    const int frames = rate * 20;
    ASSERT_TRUE(frame->OpenFile(WriteWav("chirp.wav", ChirpSamples(frames, rate, 200, 9000), 1, rate)));
    frame->resize(820, 700);
    Switch()->trigger();
    QApplication::processEvents();
    ui::OverviewPane& pane = Pane();
    for (const bool logAxis : {false, true}) {
        if (logAxis)
            frame->Dispatch(view::kCmdGraphType);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return pane.Summary().Complete() && !pane.WholeTakeImage().isNull() &&
                       pane.WholeTakeImage().size() == pane.SpectrogramRect().size();
            },
            20000));
        QTest::qWait(50);  // the last progress report drawn
        const view::PictureAxes a = pane.WholeTakeAxes();
        const QString png = QString::fromStdString(dir.File(logAxis ? "log.png" : "linear.png"));
        std::vector<std::string> args{"spectrogram",  dir.File("chirp.wav"),
                                      png.toStdString(), "--fft", std::to_string(Core().m_analysis.m_nFftSize),
                                      "--width",      std::to_string(a.width),
                                      "--height",     std::to_string(a.height),
                                      "--min-freq",   std::to_string(a.minHz),
                                      "--max-freq",   std::to_string(a.maxHz)};
        if (logAxis)
            args.push_back("--log");
        const CliResult cli = RunCli(args);
        ASSERT_EQ(cli.exitCode, 0) << cli.err;
        const QImage picture(png);
        ASSERT_EQ(picture.size(), pane.SpectrogramRect().size());
        EXPECT_EQ(DifferingPixels(picture, pane.WholeTakeImage(), QPoint(0, 0), picture.rect()), 0) << "log " << logAxis;
        // What the pane shows on screen, away from its labels and the position's line.
        const QImage shown = pane.grab().toImage();
        const QRect s = pane.SpectrogramRect();
        EXPECT_EQ(DifferingPixels(picture, shown, s.topLeft(), QRect(90, 20, s.width() - 90, s.height() - 40)), 0)
            << "log " << logAxis;
        // The pane's own export writes the same picture.
        const QString saved = QString::fromStdString(dir.File("pane.png"));
        ASSERT_TRUE(pane.SaveWholeTakePng(saved));
        EXPECT_EQ(DifferingPixels(picture, QImage(saved), QPoint(0, 0), picture.rect()), 0);
    }
}

// One wheel step of notches at point, with modifiers.
void Wheel(QWidget& widget, QPoint point, int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWheelEvent event(point, widget.mapToGlobal(point), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

TEST_F(OverviewTest, TheWheelZoomsAndPansAndShiftDragSetsTheMarks)
{
    const int rate = 22050;
    const int frames = rate * 300;
    const double f0 = 200, f1 = 9000;
    ASSERT_TRUE(frame->OpenFile(WriteWav("chirp.wav", ChirpSamples(frames, rate, f0, f1), 1, rate)));
    frame->resize(900, 700);
    Switch()->trigger();
    QApplication::processEvents();
    ui::OverviewPane& pane = Pane();
    // Five minutes: slow under the thread sanitizer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.Pyramid() && pane.Summary().Complete(); }, 120000));
    const QRect s = pane.SpectrogramRect();
    EXPECT_TRUE(frame->Action(view::kCmdViewFitTake)->isEnabled());

    // The ridge's row at column x is the chirp's frequency at the time the axis gives for x.
    auto ridgeHz = [&](int x) {
        QApplication::processEvents();
        const QImage image = pane.grab().toImage();
        int best = s.top();
        for (int y = s.top(); y <= s.bottom(); ++y)
            if (qGray(image.pixel(x, y)) > qGray(image.pixel(x, best)))
                best = y;
        return (1.0 - (best - s.top() + 0.5) / s.height()) * (rate / 2.0);
    };
    auto chirpHz = [&](double frame) { return f0 + (f1 - f0) * frame / frames; };
    const double binHz = rate / 2.0 / s.height() * 3;

    // Two notches in at a third of the pane: the frame under the pointer stays, the view narrows.
    const QPoint at(s.width() / 3, s.center().y());
    const double under = pane.Axis().FrameAt(at.x());
    Wheel(pane, at, 2);
    ASSERT_FALSE(pane.Axis().Fitted());
    EXPECT_NEAR(pane.Axis().FrameAt(at.x()), under, pane.Axis().FramesPerColumn() * 1.5);
    EXPECT_NEAR(pane.Axis().ToFrame() - pane.Axis().FromFrame(), frames / std::pow(1.25, 2), frames / 100.0);
    EXPECT_FALSE(pane.DeepZoom());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pane.WholeTakeImage().isNull(); }, 5000));
    for (const int x : {200, 500, 800})
        EXPECT_NEAR(ridgeHz(x), chirpHz(pane.Axis().FrameAt(x + 0.5)), binHz) << "zoomed, x " << x;

    // Shift+wheel pans a notch later in the take, the strip along.
    const double from = pane.Axis().FromFrame();
    Wheel(pane, at, -1, Qt::ShiftModifier);
    EXPECT_GT(pane.Axis().FromFrame(), from);
    EXPECT_NEAR(ridgeHz(500), chirpHz(pane.Axis().FrameAt(500.5)), binHz) << "panned";

    // Deep in, the columns come from exact spectra on the workers, and the pointer reads their level.
    for (int k = 0; k < 40 && !pane.DeepZoom(); ++k)
        Wheel(pane, at, 2);
    ASSERT_TRUE(pane.DeepZoom());
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.ReadoutAt(QPoint(at.x(), s.top() + 5)).contains(QStringLiteral("dBFS")); }, 60000));
    EXPECT_NEAR(ridgeHz(at.x()), chirpHz(pane.Axis().FrameAt(at.x() + 0.5)), binHz * 2) << "deep";
    // The pointer reads the level of the pixel under it: loud on the ridge, far quieter above it.
    auto dbfsAt = [&](double hz) {
        const int y = s.top() + static_cast<int>((1.0 - hz / (rate / 2.0)) * s.height());
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("(-?[0-9.]+) dBFS")).match(pane.ReadoutAt(QPoint(at.x(), y)));
        return m.hasMatch() ? m.captured(1).toDouble() : -100.0;
    };
    const double ridge = chirpHz(pane.Axis().FrameAt(at.x() + 0.5));
    EXPECT_GT(dbfsAt(ridge), -20.0);
    EXPECT_LT(dbfsAt(ridge + 4000), dbfsAt(ridge) - 40.0);
    // Around the position too.
    pane.SetWholeTake(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pane.ReadoutAt(QPoint(s.width() / 2, s.top() + 5)).contains(QStringLiteral("dBFS")); }, 60000));
    pane.SetWholeTake(true);

    // The command fits the whole take again.
    ASSERT_TRUE(frame->Dispatch(view::kCmdViewFitTake));
    EXPECT_TRUE(pane.Axis().Fitted());

    // Shift+drag from a quarter to a half of the strip: the marks there, as the mark commands set
    // them, the position at the range's start.
    Wheel(pane, at, 2);
    const int y = pane.OverviewRect().center().y();
    const QPoint a(s.width() / 4, y), b(s.width() / 2, y);
    const auto first = static_cast<UINT>(pane.Axis().FrameAt(a.x()));
    const auto last = static_cast<UINT>(pane.Axis().FrameAt(b.x()));
    QTest::mousePress(&pane, Qt::LeftButton, Qt::ShiftModifier, a);
    QTest::mouseMove(&pane, (a + b) / 2);
    QTest::mouseRelease(&pane, Qt::LeftButton, Qt::ShiftModifier, b);
    EXPECT_EQ(Doc().m_nStartMark, first);
    EXPECT_EQ(Doc().m_nEndMark, last);
    EXPECT_EQ(Doc().m_nPosition, first);
    EXPECT_TRUE(frame->Action(view::kCmdStartMark)->isChecked());
    EXPECT_TRUE(frame->Action(view::kCmdEndMark)->isChecked());
    // A second selection replaces both marks (the commands toggle: set marks go first).
    QTest::mousePress(&pane, Qt::LeftButton, Qt::ShiftModifier, b);
    QTest::mouseRelease(&pane, Qt::LeftButton, Qt::ShiftModifier, b + QPoint(40, 0));
    EXPECT_EQ(Doc().m_nStartMark, last);
    EXPECT_EQ(Doc().m_nEndMark, static_cast<UINT>(pane.Axis().FrameAt(b.x() + 40)));
}

TEST_F(OverviewTest, TheFormKeepsItsSizeWhenThePaneComes)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("tone.wav", SineSamples(44100, 1, 440, 44100, 9000), 1)));
    // Small windows, and one the screen has little room below: the pane cannot have its height.
    const int room = frame->screen()->availableGeometry().height();
    for (const QSize size : {QSize(420, 320), QSize(672, 400), QSize(672, room - 20)}) {
        frame->resize(size);
        QApplication::processEvents();
        const int windowHeight = frame->height();
        const QRect view = frame->centralWidget()->geometry();
        std::vector<QRect> controls;
        for (const QWidget* w : frame->View().findChildren<QWidget*>())
            controls.push_back(w->geometry());
        Switch()->trigger();
        QApplication::processEvents();
        ASSERT_TRUE(Dock()->isVisible());
        // The window grew for the pane. The pane gives way first: the form keeps its height (and
        // no control loses any of its size) unless the pane is down to its least; even then the
        // form keeps its template's height.
        const int form = frame->centralWidget()->height();
        EXPECT_GE(Pane().height(), Pane().minimumHeight());
        EXPECT_GT(frame->height(), windowHeight);
        EXPECT_GE(form, std::min(view.height(), frame->View().Layout().FormHeight())) << size.height();
        if (form < view.height()) {
            EXPECT_EQ(Pane().height(), Pane().minimumHeight()) << "the form gave way first at " << size.height();
        } else {
            std::size_t i = 0;
            for (const QWidget* w : frame->View().findChildren<QWidget*>()) {
                EXPECT_GE(w->width(), controls[i].width()) << w->objectName().toStdString() << " at " << size.height();
                EXPECT_GE(w->height(), controls[i++].height()) << w->objectName().toStdString() << " at " << size.height();
            }
        }
        // Switched off, the window gives the height back.
        Switch()->trigger();
        QApplication::processEvents();
        EXPECT_EQ(frame->height(), windowHeight) << size.width();
        EXPECT_EQ(frame->centralWidget()->height(), view.height());
    }
}

TEST_F(OverviewTest, ReadoutsUnderTheMouse)
{
    const int rate = 44100;
    ASSERT_TRUE(frame->OpenFile(WriteWav("tone.wav", SineSamples(20000, 1, 1232.8, rate, 16384), 1)));
    frame->View().grab();  // paint once: the spectrum is computed
    ui::CTonmiraView& v = frame->View();
    auto* readout = v.findChild<ui::GraphReadout*>();
    ASSERT_TRUE(readout);
    const view::PixelRect wave = v.Layout().m_rcWave;
    const view::PixelRect spectrum = v.Layout().m_rcSpectrum;

    // The waveform's first column: time 0 and the first sample.
    EXPECT_EQ(readout->TextAt(QPoint(wave.left, wave.top + 5)), QStringLiteral("時間 0.0000 秒  値 0"));
    // Over the spectrum at the tone: its level near -6 dBFS (half scale), the note and the peak.
    const int x = spectrum.left + static_cast<int>(std::lround(1232.8 * (spectrum.right - spectrum.left) / (rate / 2)));
    const QString text = readout->TextAt(QPoint(x, spectrum.top + 10));
    EXPECT_TRUE(text.contains(QStringLiteral("D#6"))) << text.toStdString();
    const QRegularExpressionMatch peak = QRegularExpression(QStringLiteral("ピーク ([0-9.]+) Hz")).match(text);
    ASSERT_TRUE(peak.hasMatch()) << text.toStdString();
    EXPECT_NEAR(peak.captured(1).toDouble(), 1232.8, 1.0);
    const QRegularExpressionMatch db = QRegularExpression(QStringLiteral("(-?[0-9.]+) dBFS")).match(text);
    ASSERT_TRUE(db.hasMatch());
    EXPECT_LT(db.captured(1).toDouble(), 0.0);
    EXPECT_GT(db.captured(1).toDouble(), -30.0);
    // Outside the graphs: nothing; moving there gives the status bar back its idle text.
    EXPECT_TRUE(readout->TextAt(QPoint(spectrum.right + 30, spectrum.top + 10)).isEmpty());
    QTest::mouseMove(&v, QPoint(x, spectrum.top + 10));
    EXPECT_EQ(frame->statusBar()->currentMessage(), text);
    QTest::mouseMove(&v, QPoint(spectrum.right + 30, spectrum.bottom + 5));
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("レディ"));
}

}  // namespace
}  // namespace tonmira::test
