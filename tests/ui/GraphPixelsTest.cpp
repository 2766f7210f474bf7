// The two graphs' pixels against a plain reference drawing: every sample of the window and every
// spectrum bin stroked as a line of its own, one QPainter::drawLine each, the way the window drew
// them before it computed one line per pixel column. Takes of every kind, FFT sizes, positions,
// window widths, both axes and several frequency ranges; images compared pixel for pixel.
#include <QComboBox>
#include <QImage>
#include <QPainter>

#include <random>

#include "UiFixture.h"
#include "view/CommandIds.h"
#include "view/GraphGeometry.h"

namespace tonmira::test {
namespace {

using view::GdiLine;
using view::PixelRect;

// --- The reference: no reduction, one line per sample and per bin ---

std::vector<GdiLine> ReferenceWaveform(const PixelRect& w, const std::vector<int>& values, int n, int fullScale)
{
    std::vector<GdiLine> lines;
    const int half = (w.bottom - w.top) / 2;
    const std::uint64_t width = static_cast<std::uint64_t>(w.right > w.left ? w.right - w.left : 0);
    int column = w.left;
    for (int i = 0; i < static_cast<int>(values.size()) && i < n; ++i) {
        const int x = w.left + static_cast<int>(width * static_cast<std::uint64_t>(i) / static_cast<std::uint64_t>(n - 1));
        const int e = values[i] <= 0 ? 1 : -1;
        const int yEnd = w.top + half + e - static_cast<int>(static_cast<long long>(values[i]) * (half - 1) / fullScale);
        for (; column < x; ++column)
            lines.push_back({column, w.top + half + e, column, yEnd});
    }
    return lines;
}

std::vector<GdiLine> ReferenceBars(const PixelRect& r, const int* m, int h, int rate, int minHz, int maxHz,
                                   int spectrumMax, bool logAxis)
{
    std::vector<GdiLine> lines;
    const long long range = static_cast<long long>(maxHz) - minHz;
    const long long areaHeight = r.bottom - r.top + 1;
    for (int i = 0; i < h && range > 0; ++i) {
        if (m[i] <= 0)
            continue;
        const long long f = static_cast<long long>(i) * (rate / 2) / (h - 1);
        if (f <= minHz || f >= maxHz)
            continue;
        const int height = static_cast<int>(areaHeight * m[i] / spectrumMax);
        const int x = logAxis ? r.left + static_cast<int>(std::log10(static_cast<double>(f - minHz)) * (r.right - r.left) /
                                                          std::log10(static_cast<double>(range)))
                              : r.left + static_cast<int>((f - minHz) * (r.right - r.left) / range);
        lines.push_back({x, r.bottom, x, r.bottom - height});
    }
    return lines;
}

void StrokeEach(QPainter& p, const std::vector<GdiLine>& lines, const QColor& colour)
{
    p.setPen(QPen(colour, 1));
    for (const GdiLine& l : lines) {
        // Up to, not including, the end point.
        if (l.x0 == l.x1 && l.y0 != l.y1)
            p.drawLine(l.x0, l.y0, l.x1, l.y1 - (l.y1 > l.y0 ? 1 : -1));
        else if (l.y0 == l.y1 && l.x0 != l.x1)
            p.drawLine(l.x0, l.y0, l.x1 - (l.x1 > l.x0 ? 1 : -1), l.y1);
        else if (l.x0 != l.x1)
            p.drawLine(l.x0, l.y0, l.x1, l.y1);
    }
}

int DecodeAt(const BYTE* data, int bits, std::size_t i)
{
    return bits == 8 ? data[i] - 128 : static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
}

QRect Area(const PixelRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

class GraphPixelsTest : public UiFixture {
protected:
    // The window's values as the reference reads them: from the mono take at the position, or
    // the newest capture block averaged over its channels.
    std::vector<int> ReferenceValues(int& fullScale)
    {
        std::vector<int> values;
        const int n = Core().m_analysis.m_nFftSize;
        const int bits = Doc().m_header.wBitsPerSample;
        fullScale = bits == 8 ? 128 : 32768;
        if (Doc().m_pMono) {
            for (unsigned long long f = Doc().m_nPosition; f < Doc().m_nSamples && values.size() < std::size_t(n); ++f)
                values.push_back(DecodeAt(Doc().m_pMono, bits, static_cast<std::size_t>(f)));
            return values;
        }
        const CWaveDevice& device = Core().m_transport.Device();
        const DWORD slot = (device.m_nDone.load() - 1) % kWaveRingSlots;
        const auto* block = static_cast<const BYTE*>(device.m_pBuffer[slot]);
        const int channels = Doc().m_header.nChannels;
        const DWORD frames = device.m_nRecorded[slot].load() / static_cast<DWORD>(channels * bits / 8);
        for (std::size_t i = 0; i < frames && values.size() < std::size_t(n); ++i) {
            const int left = DecodeAt(block, bits, i * channels);
            values.push_back(channels == 1 ? left : (left + DecodeAt(block, bits, i * channels + 1)) / 2);
        }
        fullScale = WindowAnalysis::CaptureDivisor(bits, false, 0);
        return values;
    }

    // Grabs the view (which recomputes the spectrum when flagged), draws the reference over a
    // copy of it and returns the number of pixels that differ; `drawn` counts the green and red
    // pixels of the reference, so that a case showing nothing is noticed.
    int DifferingPixels(int& drawn)
    {
        frame->View().update();
        const QImage image = frame->View().grab().toImage();
        const PixelRect wave = frame->View().Layout().m_rcWave;
        const PixelRect spectrum = frame->View().Layout().m_rcSpectrum;
        const WindowAnalysis& a = Core().m_analysis;
        int fullScale = 0;
        const std::vector<int> values = ReferenceValues(fullScale);

        QImage reference = image.copy();
        {
            QPainter p(&reference);
            p.fillRect(Area(wave), Qt::white);
            p.fillRect(Area(spectrum), Qt::white);
            p.setClipRect(Area(wave));
            StrokeEach(p, {view::CentreLine(wave)}, QColor(0, 0, 0));
            StrokeEach(p, ReferenceWaveform(wave, values, a.m_nFftSize, fullScale), QColor(0, 128, 0));
            p.setClipRect(Area(spectrum));
            StrokeEach(p, view::GridLines(spectrum, Core().m_display.m_nMinFreq, Core().m_display.m_nMaxFreq, Core().m_bLogGraph != 0),
                       QColor(128, 128, 128));
            StrokeEach(p,
                       ReferenceBars(spectrum, a.m_pSpectrum.get(), a.m_nFftSize / 2,
                                     static_cast<int>(Doc().m_header.nSamplesPerSec), Core().m_display.m_nMinFreq, Core().m_display.m_nMaxFreq,
                                     a.m_nSpectrumMax, Core().m_bLogGraph != 0),
                       QColor(255, 0, 0));
        }
        EXPECT_EQ(image.depth(), 32);
        // Outside the two areas the reference is the view's own copy: only the areas can differ.
        int differing = 0;
        for (const QRect& area : {Area(wave), Area(spectrum)}) {
            const QRect r = area.intersected(image.rect());
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const auto* got = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                const auto* want = reinterpret_cast<const QRgb*>(reference.constScanLine(y));
                for (int x = r.left(); x <= r.right(); ++x) {
                    differing += got[x] != want[x];
                    drawn += qRed(want[x]) == 255 && qGreen(want[x]) == 0;
                    drawn += qRed(want[x]) == 0 && qGreen(want[x]) == 128 && qBlue(want[x]) == 0;
                }
            }
        }
        return differing;
    }

    // The frequency ranges, both axes, over the positions of the take for the FFT size chosen: each
    // range once, the positions taking turns from `turn` on (the caller varies it, so that over
    // several sizes every range meets every position).
    void CheckPositions(const std::string& take, std::vector<UINT> positions, std::size_t turn = 0)
    {
        const int n = Core().m_analysis.m_nFftSize;
        const int half = static_cast<int>(Doc().m_header.nSamplesPerSec / 2);
        const std::vector<std::tuple<int, int, bool>> ranges = {
            {0, half, false}, {0, half, true}, {100, 5000, false}, {100, 5000, true}, {1000, 1003, true},
            {half - 30, half - 10, false}, {0, 2, false}, {0, 100000, false}, {20, 100000, true}};
        for (std::size_t p = 0; p < positions.size(); ++p) {
            if (Doc().m_pMono)
                Doc().m_nPosition = std::min(positions[p], Doc().m_nSamples - 1);
            Core().m_session.Command([] {}, kChangePosition | kChangeAnalysis);
            for (std::size_t r = (p + turn) % positions.size(); r < ranges.size(); r += positions.size()) {
                const auto& [minHz, maxHz, log] = ranges[r];
                Core().m_display.m_nMinFreq = minHz;
                Core().m_display.m_nMaxFreq = maxHz;
                Core().m_bLogGraph = log;
                int drawn = 0;
                EXPECT_EQ(DifferingPixels(drawn), 0) << take << " N=" << n << " at " << Doc().m_nPosition << " "
                                                     << minHz << ".." << maxHz << (log ? " log" : "");
                m_nDrawn += drawn;
            }
        }
    }

    void CheckSizes(const std::string& take, const std::vector<int>& sizes)
    {
        auto* combo = qobject_cast<QComboBox*>(frame->View().Control(1001));
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            const int n = sizes[k];
            const int index = combo->findText(QString::number(n));
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            ASSERT_EQ(Core().m_analysis.m_nFftSize, n) << take;
            const UINT frames = Doc().m_nSamples;
            CheckPositions(take, {0, (frames - n) / 2 + 7, frames - n, frames - n / 3}, k);
        }
    }

    long long m_nDrawn = 0;
};

std::string Samples(int frames, int channels, int bits, const std::function<double(int)>& wave)
{
    std::string s;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const double v = std::clamp(wave(i) * (c == 1 ? 0.6 : 1.0), -1.0, 1.0);
            if (bits == 8)
                s.push_back(static_cast<char>(std::clamp(static_cast<int>(std::lround(128 + v * 128)), 0, 255)));
            else
                PutU16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(std::lround(v * 32768), -32768L, 32767L))));
        }
    return s;
}

class GraphTakesTest : public GraphPixelsTest {
protected:
    // Noise, a chirp, a full-scale square and silence, 16 and 8 bits, mono and stereo, at the FFT
    // sizes given (or their own list), then two takes shorter than the window the rate chooses
    // (4096 at 44100 Hz, 512 at 8000 Hz); the frame at `size`.
    void CheckTakes(QSize size, const std::vector<int>& sizes)
    {
        frame->resize(size);
        QApplication::processEvents();
        const double pi = 2 * std::asin(1.0);
        const auto chirp = [&](int i) { return 0.9 * std::sin(pi * 20000.0 * i * i / (44100.0 * 200000)); };
        const auto square = [](int i) { return (i / 50) % 2 ? -1.0 : 1.0; };
        const auto silence = [](int) { return 0.0; };
        struct Take {
            std::string name;
            int channels, bits, rate, frames;
            std::function<double(int)> wave;
            std::vector<int> sizes;
        };
        const std::vector<Take> takes = {
            {"noise 16-bit stereo", 2, 16, 44100, 200000, m_noise, {16, 64, 256, 1024, 4096, 16384, 65536, 131072}},
            {"chirp 16-bit mono", 1, 16, 44100, 200000, chirp, {16, 1024, 16384, 131072}},
            {"full-scale square 16-bit mono", 1, 16, 48000, 140000, square, {16, 1024, 131072}},
            {"silence 16-bit stereo", 2, 16, 44100, 140000, silence, {16, 4096, 131072}},
            {"noise 8-bit mono", 1, 8, 8000, 140000, m_noise, {16, 512, 8192, 131072}},
            {"chirp 8-bit stereo", 2, 8, 22050, 140000, chirp, {32, 2048, 131072}},
        };
        for (const Take& t : takes) {
            ASSERT_TRUE(frame->OpenFile(WriteWav("take.wav", Samples(t.frames, t.channels, t.bits, t.wave), t.channels,
                                                 static_cast<DWORD>(t.rate), t.bits)));
            CheckSizes(t.name, sizes.empty() ? t.sizes : sizes);
        }
        ASSERT_TRUE(frame->OpenFile(WriteWav("short.wav", Samples(1000, 2, 16, m_noise), 2, 44100)));
        ASSERT_EQ(Core().m_analysis.m_nFftSize, 4096);
        CheckPositions("short 16-bit", {0, 999});
        ASSERT_TRUE(frame->OpenFile(WriteWav("short8.wav", Samples(300, 1, 8, chirp), 1, 8000, 8)));
        CheckPositions("short 8-bit", {0, 150});
        EXPECT_GT(m_nDrawn, 500000);
    }

    std::mt19937 m_random{12};
    std::uniform_real_distribution<double> m_uniform{-1.0, 1.0};
    std::function<double(int)> m_noise = [this](int) { return m_uniform(m_random); };
};

TEST_F(GraphTakesTest, OneLinePerColumnDrawsWhatEveryLineDrew)
{
    CheckTakes(QSize(672, 522), {});

    // While recording without a take, the newest capture block: stereo, then 8-bit mono.
    for (const auto& [channels, bits] : {std::pair{2, 16}, std::pair{1, 8}}) {
        prompts.m_answer = view::SaveAnswer::No;  // the take recorded before is dropped
        frame->NewDocument();
        backend.SetInputGenerator([&](BYTE* dst, std::size_t bytes, std::uint64_t) {
            for (std::size_t i = 0; i < bytes; ++i)
                dst[i] = static_cast<BYTE>(m_random());
        });
        Doc().m_header.nSamplesPerSec = 44100;
        Doc().m_header.wBitsPerSample = static_cast<WORD>(bits);
        Doc().m_header.nChannels = static_cast<WORD>(channels);
        frame->View().OnInitialUpdate();
        ASSERT_TRUE(frame->Dispatch(view::kCmdRecord));
        backend.AdvanceTime(300000);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Core().m_transport.Device().m_nDone.load() > 2; }, 5000));
        ASSERT_EQ(Doc().m_pMono, nullptr);
        CheckPositions("capture " + std::to_string(channels) + "ch " + std::to_string(bits) + "-bit", {0});
        frame->View().StopForClose();
    }
}

TEST_F(GraphTakesTest, OneLinePerColumnDrawsWhatEveryLineDrewInAWideWindow)
{
    CheckTakes(QSize(1700, 900), {16, 4096, 131072});
}

}  // namespace
}  // namespace tonmira::test
