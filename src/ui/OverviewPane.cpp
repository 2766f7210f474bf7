#include "ui/OverviewPane.h"

#include <QPointer>
#include <algorithm>
#include <cassert>

#include "base/Messages.h"
#include "base/ThreadPriority.h"
#include "ui/TonmiraView.h"
#include "ui/i18n/Translation.h"
#include "view/ColourMap.h"
#include "view/PaneAxes.h"
#include "view/PngFile.h"
#include "view/Readout.h"

namespace tonmira::ui {

namespace {

constexpr int kOverviewHeight = 56;
constexpr int kTimeAxisHeight = 14;  // the time labels under the strip and the spectrogram
// Finished tiles kept beyond those on screen, so that panning back does not compute again.
constexpr std::size_t kSpareTiles = 8;

int WorkerCount() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u)); }

}  // namespace

OverviewPane::OverviewPane(CTonmiraView& view, QWidget* parent)
    : QWidget(parent), m_view(view), m_uiThread(std::this_thread::get_id())
{
    setObjectName(QStringLiteral("overviewPane"));
    // Small enough to give way to the form first on a small screen.
    setMinimumHeight(kOverviewHeight + 2 * kTimeAxisHeight + 2 + 40);
    setMouseTracking(true);  // the readout follows the pointer
    m_pTiles = std::make_unique<view::SonogramTiles>(
        WorkerCount(), [this](std::uint64_t generation, std::int64_t index, view::SonogramTiles::Levels levels) {
            // Worker thread: only post.
            QMetaObject::invokeMethod(
                this, [this, generation, index, levels] { OnTileReady(generation, index, levels); },
                Qt::QueuedConnection);
        });
    m_pSummary = std::make_unique<view::TakeLevelSummary>(WorkerCount());
    // The pane may go before or after the session: a pane that has gone hears nothing.
    view.Core().m_session.Changes().Subscribe([pane = QPointer<OverviewPane>(this)](ChangeSet changes) {
        if (!pane)
            return;
        if (changes & (kChangeTakeReplaced | kChangeTakeEdited))
            ++pane->m_nTakeSerial;
        pane->Refresh();
    });
}

OverviewPane::~OverviewPane()
{
    StopBuilder();
    m_pSummary.reset();
    m_pTiles.reset();
}

void OverviewPane::SetWholeTake(bool whole)
{
    m_bWholeTake = whole;
    Refresh();
    update();
}

bool OverviewPane::DeepZoom() const
{
    // Columns of four hops or fewer: the tiles' spectra cover every window of a column exactly.
    const int hop = std::max(m_view.Core().m_analysis.m_nFftSize / 2, 1);
    return m_bWholeTake && !m_axis.Fitted() && m_axis.FramesPerColumn() <= view::kMaxSpectraPerColumn * hop;
}

bool OverviewPane::UsesTiles() const { return !m_bWholeTake || DeepZoom(); }

void OverviewPane::FitWholeTake()
{
    m_axis.Fit();
    Refresh();
    update();
}

void OverviewPane::ZoomAt(double x, double factor)
{
    if (m_axis.ZoomAt(x, factor)) {
        Refresh();
        update();
    }
}

void OverviewPane::Pan(std::int64_t columns)
{
    if (m_axis.Pan(columns)) {
        Refresh();
        update();
    }
}

OverviewPane::TakeShown OverviewPane::CurrentTake() const
{
    const CTonmiraDoc& doc = m_view.Core().m_doc;
    // While recording the take grows: nothing reads it.
    if (!doc.m_pMono || doc.m_nSamples == 0 || doc.m_nState == TransportState::Recording)
        return {};
    return {doc.m_pMono, doc.m_nSamples, doc.m_header.wBitsPerSample == 8, m_nTakeSerial};
}

view::MonoSamples OverviewPane::Samples() const { return {m_take.data, m_take.frames, m_take.eightBit}; }

view::SpectrogramLayout OverviewPane::CurrentLayout() const
{
    const view::ViewCore& core = m_view.Core();
    const QRect r = SpectrogramRect();
    view::SpectrogramLayout l;
    l.n = core.m_analysis.m_nFftSize;
    l.rate = static_cast<int>(core.m_doc.m_header.nSamplesPerSec);
    l.rows = std::max(r.height(), 0);
    l.minHz = core.m_display.m_nMinFreq;
    l.maxHz = core.m_display.m_nMaxFreq;
    l.logAxis = core.m_bLogGraph != 0;
    const double hop = std::max(l.n / 2, 1);
    // Drawn from the summary, the whole take needs no tiles: its zoom leaves them alone.
    l.columnFrames = !m_bWholeTake ? hop : DeepZoom() ? m_axis.FramesPerColumn() : 0.0;
    return l;
}

std::int64_t OverviewPane::FirstColumn() const
{
    if (m_bWholeTake)
        return m_axis.FirstColumn();
    // The analysis window's centre in the middle: its column is the one showing its spectrum.
    const std::int64_t hop = std::max(m_layout.n / 2, 1);
    return (static_cast<std::int64_t>(m_view.Core().m_doc.m_nPosition) + m_layout.n / 2) / hop -
           SpectrogramRect().width() / 2;
}

QRect OverviewPane::OverviewRect() const { return QRect(0, 0, width(), std::min(kOverviewHeight, height())); }

QRect OverviewPane::SpectrogramRect() const
{
    const int top = kOverviewHeight + kTimeAxisHeight + 2;
    return QRect(0, top, width(), std::max(height() - top - kTimeAxisHeight, 0));
}

void OverviewPane::Suspend()
{
    ++m_nHold;
    StopWork();
}

void OverviewPane::Resume()
{
    if (m_nHold > 0)
        --m_nHold;
    Refresh();
}

void OverviewPane::StopWork()
{
    StopBuilder();
    m_pTiles->Reset({}, {});
    m_pSummary->Cancel();  // what is finished stays for the same take
    m_requested.clear();
    m_bSuspended = true;
}

void OverviewPane::Shutdown()
{
    m_bShutDown = true;
    StopWork();
}

void OverviewPane::StartBuilder()
{
    m_bCancelBuild.store(false, std::memory_order_relaxed);
    m_nProgress.store(0, std::memory_order_relaxed);
    m_pBuilding = std::make_unique<view::SummaryPyramid>();
    const unsigned serial = ++m_nBuildSerial;
    const view::MonoSamples samples = Samples();
    view::SummaryPyramid* target = m_pBuilding.get();
    m_builder = std::thread([this, serial, samples, target] {
        LowerThisThreadsPriority();
        const bool built = target->Build(samples, m_bCancelBuild, [this, serial](double done) {
            const int perMille = static_cast<int>(done * 1000);
            // A repaint per percent shows the progress without flooding the queue.
            if (m_nProgress.exchange(perMille, std::memory_order_relaxed) / 10 != perMille / 10)
                QMetaObject::invokeMethod(this, [this, serial] {
                    if (serial == m_nBuildSerial)
                        update();
                }, Qt::QueuedConnection);
        });
        if (built)
            QMetaObject::invokeMethod(this, [this, serial] { OnPyramidBuilt(serial); }, Qt::QueuedConnection);
    });
}

void OverviewPane::StopBuilder()
{
    m_bCancelBuild.store(true, std::memory_order_relaxed);
    if (m_builder.joinable())
        m_builder.join();
    ++m_nBuildSerial;  // a result already posted is stale now
}

void OverviewPane::OnPyramidBuilt(unsigned serial)
{
    if (serial != m_nBuildSerial || !m_builder.joinable())
        return;
    m_builder.join();
    m_pPyramid = std::move(m_pBuilding);
    update();
}

void OverviewPane::Refresh()
{
    assert(std::this_thread::get_id() == m_uiThread);
    if (!isVisible() || m_bShutDown || m_nHold > 0)
        return;
    const TakeShown take = CurrentTake();
    bool wasSuspended = m_bSuspended;
    m_bSuspended = false;
    if (!(take == m_take)) {
        StopBuilder();
        m_pPyramid.reset();
        m_pTiles->Reset({}, {});
        m_pSummary->Clear();
        m_wholeImage = QImage();
        m_tileImages.clear();
        m_tileLevels.clear();
        m_requested.clear();
        m_layout = {};
        m_take = take;
        m_axis.Fit();  // another take, or an edited one: shown whole
        if (m_take.data)
            StartBuilder();
        update();
    } else if (wasSuspended && m_take.data && !m_pPyramid && !m_builder.joinable()) {
        StartBuilder();  // the command stopped a build of the same take
    }
    if (!m_take.data)
        return;

    m_axis.SetTake(m_take.frames, SpectrogramRect().width(), m_view.Core().m_analysis.m_nFftSize);
    const view::SpectrogramLayout layout = CurrentLayout();
    if (!(layout == m_layout)) {
        m_tileImages.clear();
        m_tileLevels.clear();
        m_layout = layout;
        wasSuspended = true;
    }
    if (wasSuspended || m_pTiles->Generation() != m_nGeneration || m_nGeneration == 0) {
        m_nGeneration = m_pTiles->Reset(Samples(), m_layout);
        m_requested.clear();
        update();
    }
    RefreshSummary();
    // The tiles on screen, nearest the middle first; the rest is forgotten. The whole take is
    // drawn from the summary instead.
    const int width = SpectrogramRect().width();
    const std::int64_t first = FirstColumn();
    const std::int64_t firstTile = first >= 0 ? first / view::kTileColumns : -((-first + view::kTileColumns - 1) / view::kTileColumns);
    const std::int64_t lastTile = (first + width - 1) / view::kTileColumns;
    const bool tiles = UsesTiles();
    const std::int64_t maxColumn =
        tiles && m_layout.columnFrames >= 1.0 ? static_cast<std::int64_t>(static_cast<double>(m_take.frames) / m_layout.columnFrames) : -1;
    std::vector<std::int64_t> wanted;
    for (std::int64_t t = std::max<std::int64_t>(firstTile, 0); tiles && t <= lastTile && t * view::kTileColumns <= maxColumn; ++t)
        wanted.push_back(t);
    const std::int64_t middle = (firstTile + lastTile) / 2;
    std::sort(wanted.begin(), wanted.end(), [middle](std::int64_t a, std::int64_t b) {
        return std::llabs(a - middle) < std::llabs(b - middle);
    });
    for (std::int64_t t : wanted)
        if (!m_tileImages.count(t) && m_requested.insert(t).second)
            m_pTiles->Request(t);
    for (auto it = m_tileImages.begin(); it != m_tileImages.end();) {
        const bool far = it->first < firstTile - static_cast<std::int64_t>(kSpareTiles / 2) ||
                         it->first > lastTile + static_cast<std::int64_t>(kSpareTiles / 2);
        if (far)
            m_tileLevels.erase(it->first);
        it = far ? m_tileImages.erase(it) : std::next(it);
    }

    const CTonmiraDoc& doc = m_view.Core().m_doc;
    const unsigned long long shown[5] = {doc.m_nPosition, doc.m_nStartMark, doc.m_nEndMark,
                                         static_cast<unsigned long long>(m_layout.n),
                                         static_cast<unsigned long long>(m_nProgress.load(std::memory_order_relaxed))};
    if (!std::equal(std::begin(shown), std::end(shown), std::begin(m_shown))) {
        std::copy(std::begin(shown), std::end(shown), std::begin(m_shown));
        update();
    }
}

view::PictureAxes OverviewPane::WholeTakeAxes() const
{
    const view::ViewCore& core = m_view.Core();
    const QRect r = SpectrogramRect();
    view::PictureAxes a;
    a.width = std::max(r.width(), 0);
    a.height = std::max(r.height(), 0);
    a.rate = static_cast<int>(core.m_doc.m_header.nSamplesPerSec);
    a.minHz = core.m_display.m_nMinFreq;
    a.maxHz = core.m_display.m_nMaxFreq;
    a.logAxis = core.m_bLogGraph != 0;
    return a;
}

void OverviewPane::RefreshSummary()
{
    if (!m_bWholeTake) {
        m_pSummary->Cancel();  // the tiles have the workers' time now
        return;
    }
    const int n = m_layout.n;
    if (m_pSummary->Empty() || m_pSummary->N() != n) {
        m_wholeImage = QImage();
        m_pSummary->Start(Samples(), n, [this] {
            // Worker thread: only post, once until the UI has drawn.
            if (!m_bSummaryPosted.exchange(true))
                QMetaObject::invokeMethod(this, [this] { OnSummaryProgress(); }, Qt::QueuedConnection);
        });
        // Nothing of it is finished yet: the first progress report draws it. Pooling an empty
        // summary of a long take would only hold up the window.
        return;
    } else if (!m_pSummary->Complete() && !m_pSummary->Running()) {
        m_pSummary->Resume();
    }
    if (!DeepZoom() && (!(WholeTakeAxes() == m_wholeAxes) || m_wholeImage.isNull() || WholeSpan() != m_wholeSpan))
        DrawWholeTake();
}

void OverviewPane::OnSummaryProgress()
{
    m_bSummaryPosted.store(false);
    if (m_bWholeTake && !DeepZoom() && isVisible())
        DrawWholeTake();
}

void OverviewPane::DrawWholeTake()
{
    m_wholeAxes = WholeTakeAxes();
    m_wholeSpan = WholeSpan();
    const view::PictureAxes& a = m_wholeAxes;
    // Fitted, the picture is the one the command line draws; zoomed, the summary's blocks under
    // the columns.
    if (m_axis.Fitted())
        m_wholeLevels = view::WholeTakeLevels(*m_pSummary, a, &m_summaryRows);
    else
        m_wholeLevels = view::RangeLevels(*m_pSummary, a, m_wholeSpan.first, m_wholeSpan.second, &m_summaryRows);
    const std::vector<std::uint32_t> pixels = view::ColourPixels(m_wholeLevels);
    if (a.width <= 0 || a.height <= 0 || pixels.empty() || m_pSummary->Empty() ||
        std::all_of(pixels.begin(), pixels.end(), [&](std::uint32_t p) { return p == pixels.front(); })) {
        // Nothing finished yet (or nothing to see): no picture rather than a dark one.
        if (!m_pSummary->Complete()) {
            m_wholeImage = QImage();
            update();
            return;
        }
    }
    QImage image(a.width, a.height, QImage::Format_RGB32);
    for (int y = 0; y < a.height; ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(a.width), a.width,
                    reinterpret_cast<QRgb*>(image.scanLine(y)));
    m_wholeImage = std::move(image);
    update();
}

bool OverviewPane::SaveWholeTakePng(const QString& path) const
{
    if (!m_pSummary->Complete() || m_wholeImage.isNull() || !m_axis.Fitted())
        return false;
    const view::PictureAxes& a = m_wholeAxes;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(a.width) * static_cast<std::size_t>(a.height));
    for (int y = 0; y < a.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(m_wholeImage.constScanLine(y));
        std::copy_n(line, a.width, pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(a.width));
    }
    return view::WritePng(path.toStdString(), a.width, a.height, pixels);
}

void OverviewPane::OnTileReady(std::uint64_t generation, std::int64_t index, const view::SonogramTiles::Levels& levels)
{
    if (generation != m_nGeneration || !levels)
        return;
    m_requested.erase(index);
    const int rows = m_layout.rows;
    if (rows <= 0 || levels->size() < static_cast<std::size_t>(view::kTileColumns * rows))
        return;
    QImage image(view::kTileColumns, rows, QImage::Format_RGB32);
    const auto& colours = view::ViridisTable();
    for (int r = 0; r < rows; ++r) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(r));
        for (int c = 0; c < view::kTileColumns; ++c)
            line[c] = colours[(*levels)[static_cast<std::size_t>(c * rows + r)]];
    }
    m_tileImages[index] = std::move(image);
    m_tileLevels[index] = levels;
    update();
}

void OverviewPane::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
}

void OverviewPane::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    StopWork();
}

}  // namespace tonmira::ui
