// The drawing budget: the slider moved one step and the window repainted (the spectrum is
// recomputed, the fundamentals picked, both graphs drawn), against one CFftEngine transform of
// the same N (N samples set + transform), at N = 4096 and 131072. Offscreen Qt platform.
// Two repaints: what the program paints after a step (the event loop paints the region the step
// invalidated: both graphs, the position field, the slider), and the whole view with every one
// of its controls.
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "audio/SimulatedBackend.h"
#include "base/MessageSink.h"
#include "collect/LocalClock.h"
#include "doc/WavFile.h"
#include "dsp/FftEngine.h"
#include "ui/MainFrame.h"
#include "ui/TonmiraView.h"
#include "view/ViewCore.h"

namespace {

constexpr std::uint32_t kFrames = 10 * 44100;

class QuietSink : public tonmira::MessageSink {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

// Ten seconds of a chord in noise, 16-bit stereo at 44100 Hz.
std::string WriteTake()
{
    const std::string path = "/tmp/tonmira-draw-bench-" + std::to_string(::getpid()) + ".wav";
    tonmira::WavHeader header{};
    tonmira::FillWavHeader(header, 2, 44100, 16, kFrames);
    std::vector<std::int16_t> samples(2 * kFrames);
    std::uint32_t state = 1;
    for (std::uint32_t i = 0; i < kFrames; ++i) {
        state = state * 1664525u + 1013904223u;
        const double t = i / 44100.0;
        const double v = 6000 * (std::sin(2 * M_PI * 440 * t) + std::sin(2 * M_PI * 554.4 * t) +
                                 std::sin(2 * M_PI * 659.3 * t)) + static_cast<std::int16_t>(state >> 16) / 64.0;
        samples[2 * i] = samples[2 * i + 1] = static_cast<std::int16_t>(v);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(&header, sizeof header, 1, f);
    std::fwrite(samples.data(), 2, samples.size(), f);
    std::fclose(f);
    return path;
}

struct Window {
    QuietSink sink;
    tonmira::SimulatedBackend backend;
    tonmira::FixedLocalClock clock{tonmira::LocalDateTime{2024, 3, 5, 14, 7, 9}};
    std::unique_ptr<tonmira::ui::CMainFrame> frame;
    std::string path = WriteTake();

    Window()
    {
        backend.m_bKeepOutput = false;
        frame = std::make_unique<tonmira::ui::CMainFrame>(sink, backend, clock);
        frame->NewDocument();
        frame->resize(1000, 700);
        frame->show();
        QApplication::processEvents();
        if (!frame->OpenFile(path))
            std::fprintf(stderr, "could not open %s\n", path.c_str());
        QApplication::processEvents();
    }
    ~Window() { std::remove(path.c_str()); }

    bool ChooseSize(int n)
    {
        auto* combo = qobject_cast<QComboBox*>(frame->View().Control(1001));
        const int index = combo->findText(QString::number(n));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        QApplication::processEvents();
        return frame->View().Core().m_analysis.m_nFftSize == n;
    }
};

// Made on first use, destroyed before the application object.
std::unique_ptr<Window> g_window;

Window& TheWindow()
{
    if (!g_window)
        g_window = std::make_unique<Window>();
    return *g_window;
}

// The window at the benchmark's N, or null (the run marked as failed) when the size is refused.
Window* WindowAtSize(benchmark::State& state)
{
    Window& w = TheWindow();
    if (!w.ChooseSize(static_cast<int>(state.range(0)))) {
        state.SkipWithError("FFT size not taken");
        return nullptr;
    }
    return &w;
}

void BM_SliderStepAndRepaint(benchmark::State& state)
{
    Window* w = WindowAtSize(state);
    if (!w)
        return;
    auto* slider = qobject_cast<QSlider*>(w->frame->View().Control(1000));
    tonmira::ui::CTonmiraView& view = w->frame->View();
    view.repaint();
    bool forward = true;
    for (auto _ : state) {
        // Back and forth, so that every step moves the position.
        slider->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        forward = !forward;
        view.repaint();
    }
}

void BM_SliderStepAndUpdate(benchmark::State& state)
{
    Window* w = WindowAtSize(state);
    if (!w)
        return;
    auto* slider = qobject_cast<QSlider*>(w->frame->View().Control(1000));
    const tonmira::CTonmiraDoc& doc = w->frame->View().Core().m_doc;
    QApplication::processEvents();
    bool forward = true;
    for (auto _ : state) {
        const tonmira::UINT before = doc.m_nPosition;
        slider->triggerAction(forward ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
        forward = !forward;
        QApplication::processEvents();
        if (doc.m_nPosition == before) {
            state.SkipWithError("the step did not move the position");
            return;
        }
    }
}

// The anchor a slider step cannot beat: a repaint of the window as it is, plus one transform of
// the same N (feeding the window's samples) — the work a step has to do, nothing of the program's
// own around it. BM_SliderStepAndRepaint / BM_Anchor is the step's overhead factor.
void BM_Anchor(benchmark::State& state)
{
    Window* w = WindowAtSize(state);
    if (!w)
        return;
    const int n = static_cast<int>(state.range(0));
    tonmira::ui::CTonmiraView& view = w->frame->View();
    const auto* mono = reinterpret_cast<const std::int16_t*>(view.Core().m_doc.m_pMono);
    tonmira::CFftEngine fft;
    fft.Init(n, 0);
    std::vector<int> spectrum(n / 2);
    view.repaint();
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            fft.SetSample(i, mono[i]);
        fft.Transform(spectrum.data());
        benchmark::DoNotOptimize(spectrum.data());
        view.repaint();
    }
}

void BM_Transform(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    Window& w = TheWindow();
    const auto* mono = reinterpret_cast<const std::int16_t*>(w.frame->View().Core().m_doc.m_pMono);
    tonmira::CFftEngine fft;
    fft.Init(n, 0);
    std::vector<int> spectrum(n / 2);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            fft.SetSample(i, mono[i]);
        fft.Transform(spectrum.data());
        benchmark::DoNotOptimize(spectrum.data());
    }
}

}  // namespace

BENCHMARK(BM_Transform)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SliderStepAndUpdate)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Anchor)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SliderStepAndRepaint)->Arg(4096)->Arg(131072)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tonmira-bench"));
    QApplication::setApplicationName(QStringLiteral("Tonmira"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
