#include "ui/OverviewPane.h"

#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cassert>

#include "base/Messages.h"
#include "ui/TonmiraView.h"
#include "ui/i18n/Translation.h"
#include "view/ColourMap.h"
#include "view/PaneAxes.h"
#include "view/PngFile.h"
#include "view/Readout.h"

namespace tonmira::ui {

namespace {

constexpr int kOverviewHeight = 56;
constexpr int kTimeAxisHeight = 14;  // the time labels under the spectrogram
constexpr int kTickSpacing = 90;     // least distance of two time labels, pixels
constexpr int kHzSpacing = 24;       // of two frequency labels
constexpr int kColourBarWidth = 180; // the dBFS scale at the right of the time labels
// Finished tiles kept beyond those on screen, so that panning back does not compute again.
constexpr std::size_t kSpareTiles = 8;

int WorkerCount() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u)); }

}  // namespace

OverviewPane::OverviewPane(CTonmiraView& view, QWidget* parent)
    : QWidget(parent), m_view(view), m_uiThread(std::this_thread::get_id())
{
    setObjectName(QStringLiteral("overviewPane"));
    setMinimumHeight(kOverviewHeight + 120);
    setMouseTracking(true);  // the readout follows the pointer
    m_pTiles = std::make_unique<view::SonogramTiles>(
        WorkerCount(), [this](std::uint64_t generation, std::int64_t index, view::SonogramTiles::Levels levels) {
            // Worker thread: only post.
            QMetaObject::invokeMethod(
                this, [this, generation, index, levels] { OnTileReady(generation, index, levels); },
                Qt::QueuedConnection);
        });
    m_pSummary = std::make_unique<view::SpectrumSummary>(WorkerCount());
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
    l.columnFrames = m_bWholeTake && r.width() > 0 ? std::max(1.0, static_cast<double>(m_take.frames) / r.width()) : hop;
    return l;
}

std::int64_t OverviewPane::FirstColumn() const
{
    if (m_bWholeTake)
        return 0;
    // The analysis window's centre in the middle: its column is the one showing its spectrum.
    const std::int64_t hop = std::max(m_layout.n / 2, 1);
    return (static_cast<std::int64_t>(m_view.Core().m_doc.m_nPosition) + m_layout.n / 2) / hop -
           SpectrogramRect().width() / 2;
}

QRect OverviewPane::OverviewRect() const { return QRect(0, 0, width(), std::min(kOverviewHeight, height())); }

QRect OverviewPane::SpectrogramRect() const
{
    const int top = kOverviewHeight + 2;
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
        m_requested.clear();
        m_layout = {};
        m_take = take;
        if (m_take.data)
            StartBuilder();
        update();
    } else if (wasSuspended && m_take.data && !m_pPyramid && !m_builder.joinable()) {
        StartBuilder();  // the command stopped a build of the same take
    }
    if (!m_take.data)
        return;

    const view::SpectrogramLayout layout = CurrentLayout();
    if (!(layout == m_layout)) {
        m_tileImages.clear();
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
    const std::int64_t maxColumn = m_bWholeTake ? width - 1
                                                : static_cast<std::int64_t>(m_take.frames / static_cast<std::uint64_t>(std::max(m_layout.n / 2, 1)));
    std::vector<std::int64_t> wanted;
    for (std::int64_t t = std::max<std::int64_t>(firstTile, 0); !m_bWholeTake && t <= lastTile && t * view::kTileColumns <= maxColumn; ++t)
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
    } else if (!m_pSummary->Complete() && !m_pSummary->Running()) {
        m_pSummary->Resume();
    }
    if (!(WholeTakeAxes() == m_wholeAxes) || m_wholeImage.isNull())
        DrawWholeTake();
}

void OverviewPane::OnSummaryProgress()
{
    m_bSummaryPosted.store(false);
    if (m_bWholeTake && isVisible())
        DrawWholeTake();
}

void OverviewPane::DrawWholeTake()
{
    m_wholeAxes = WholeTakeAxes();
    const view::PictureAxes& a = m_wholeAxes;
    m_wholeLevels = view::WholeTakeLevels(*m_pSummary, a);
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
    if (!m_pSummary->Complete() || m_wholeImage.isNull())
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

void OverviewPane::paintEvent(QPaintEvent* /*event*/)
{
    // Painting reads the take and the tiles: the UI thread only.
    assert(std::this_thread::get_id() == m_uiThread);
    QPainter p(this);
    PaintOverview(p);
    PaintSpectrogram(p);
    PaintTimeAxis(p);
}

std::pair<double, double> OverviewPane::SpectrogramSeconds() const
{
    const double rate = std::max<double>(m_view.Core().m_doc.m_header.nSamplesPerSec, 1.0);
    if (m_bWholeTake)
        return {0.0, static_cast<double>(m_take.frames) / rate};
    const double hop = std::max(m_layout.n / 2, 1);
    const double first = static_cast<double>(FirstColumn());
    return {first * hop / rate, (first + SpectrogramRect().width()) * hop / rate};
}

void OverviewPane::PaintTimeAxis(QPainter& p)
{
    const QRect s = SpectrogramRect();
    const QRect axis(0, s.bottom() + 1, width(), kTimeAxisHeight);
    p.fillRect(axis, palette().window());
    if (!m_take.data || s.width() <= 0)
        return;
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(palette().windowText().color());
    // The colour scale at the right end: -100 dBFS (darkest) to 0 dBFS.
    const QRect bar(axis.right() - kColourBarWidth + 34, axis.top() + 3, kColourBarWidth - 80, axis.height() - 6);
    const auto& colours = view::ViridisTable();
    for (int x = 0; x < bar.width(); ++x)
        p.fillRect(QRect(bar.left() + x, bar.top(), 1, bar.height()), QColor(colours[static_cast<std::size_t>(x * 255 / std::max(bar.width() - 1, 1))]));
    p.drawText(QRect(bar.left() - 34, axis.top(), 32, axis.height()), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("-100"));
    p.drawText(QRect(bar.right() + 3, axis.top(), 44, axis.height()), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0 dBFS"));

    const auto [from, to] = SpectrogramSeconds();
    const double step = view::TimeTickStep(to - from, s.width(), kTickSpacing);
    if (step <= 0)
        return;
    for (double t = std::ceil(std::max(from, 0.0) / step) * step; t <= to; t += step) {
        const int x = static_cast<int>(std::lround((t - from) / (to - from) * s.width()));
        if (x + kTickSpacing > axis.right() - kColourBarWidth)
            break;
        p.drawLine(x, axis.top(), x, axis.top() + 3);
        p.drawText(QRect(x + 2, axis.top(), kTickSpacing, axis.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(view::ClockText(t, step)));
    }
}

void OverviewPane::PaintOverview(QPainter& p)
{
    const QRect r = OverviewRect();
    p.fillRect(r, Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    // A summary of a take that has gone (a change still held) reads freed samples at its edges.
    if (!m_take.data || !(CurrentTake() == m_take))
        return;
    if (!m_pPyramid) {
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter,
                   tr("概要を作成中… %1%").arg(m_nProgress.load(std::memory_order_relaxed) / 10));
        return;
    }
    const double frames = static_cast<double>(m_take.frames);
    const int fullScale = m_take.eightBit ? 128 : 32768;
    const int half = r.height() / 2;
    const int centre = r.top() + half;
    p.setPen(QColor(0, 128, 0));
    for (int x = 0; x < r.width(); ++x) {
        const auto a = static_cast<std::uint64_t>(frames * x / r.width());
        const auto b = std::max(a + 1, static_cast<std::uint64_t>(frames * (x + 1) / r.width()));
        if (a >= m_take.frames)
            break;
        const view::MinMax m = m_pPyramid->Query(a, b);
        p.drawLine(x, centre - m.max * (half - 1) / fullScale, x, centre - m.min * (half - 1) / fullScale);
    }
    const CTonmiraDoc& doc = m_view.Core().m_doc;
    auto xOf = [&](double frame) { return static_cast<int>(frame * r.width() / frames); };
    const int x0 = xOf(doc.m_nPosition);
    const int x1 = std::max(x0 + 2, xOf(static_cast<double>(doc.m_nPosition) + m_view.Core().m_analysis.m_nFftSize));
    p.fillRect(QRect(x0, r.top(), x1 - x0, r.height()), QColor(0, 0, 255, 70));
    p.setPen(QPen(QColor(0, 0, 255), 1));
    p.drawLine(x0, r.top(), x0, r.bottom());
    p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
    p.drawLine(xOf(doc.m_nStartMark), r.top(), xOf(doc.m_nStartMark), r.bottom());
    p.drawLine(xOf(doc.m_nEndMark), r.top(), xOf(doc.m_nEndMark), r.bottom());
}

void OverviewPane::PaintSpectrogram(QPainter& p)
{
    const QRect r = SpectrogramRect();
    if (r.height() <= 0)
        return;
    p.fillRect(r, QColor(view::ViridisTable()[0]));
    if (!m_take.data)
        return;
    const std::int64_t first = FirstColumn();
    p.setClipRect(r);
    if (m_bWholeTake) {
        if (!m_wholeImage.isNull())
            p.drawImage(r.topLeft(), m_wholeImage);
    } else {
        for (const auto& [index, image] : m_tileImages)
            if (image.height() == r.height())
                p.drawImage(QPoint(static_cast<int>(index * view::kTileColumns - first), r.top()), image);
    }
    // The analysis window's place: the column of its centre.
    const CTonmiraDoc& doc = m_view.Core().m_doc;
    const double centre = static_cast<double>(doc.m_nPosition) + m_layout.n / 2.0;
    const int x = m_bWholeTake ? view::ColumnOfFrame(centre, m_take.frames, r.width())
                               : static_cast<int>(std::floor(centre / std::max(m_layout.n / 2, 1) - static_cast<double>(first)));
    p.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DashLine));
    p.drawLine(x, r.top(), x, r.bottom());
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(10);
    p.setFont(font);
    for (const double hz : view::FrequencyTicks(m_layout.minHz, m_layout.maxHz, m_layout.logAxis, r.height(), kHzSpacing)) {
        const int y = r.top() + static_cast<int>(std::lround(
                                    (1.0 - view::AxisFraction(hz, m_layout.minHz, m_layout.maxHz, m_layout.logAxis)) * r.height()));
        p.drawLine(0, y, 4, y);
        p.drawText(QRect(6, y - 7, 80, 14), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(view::FrequencyText(hz)));
    }
    p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignRight,
               m_bWholeTake ? tr("テイク全体") : tr("位置の周辺"));
    if (m_bWholeTake && !m_pSummary->Complete() && !m_pSummary->Empty())
        p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignBottom | Qt::AlignRight,
                   tr("スペクトログラムを作成中… %1%").arg(m_pSummary->ProgressPerMille() / 10));
    p.setClipping(false);
}

void OverviewPane::MoveTo(int x, int y)
{
    if (!m_take.data || width() <= 0)
        return;
    double frame;
    if (m_bWholeTake || y < SpectrogramRect().top())
        frame = static_cast<double>(m_take.frames) * std::clamp(x, 0, width() - 1) / width();
    else
        frame = static_cast<double>(FirstColumn() + x) * std::max(m_layout.n / 2, 1);
    // A spectrogram column shows the window centred on it: that window becomes the analysis window.
    if (y >= SpectrogramRect().top())
        frame -= m_layout.n / 2.0;
    m_view.MoveToSliderPosition(static_cast<UINT>(std::clamp(frame, 0.0, static_cast<double>(m_take.frames))));
}

void OverviewPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        MoveTo(event->position().toPoint().x(), event->position().toPoint().y());
}

void OverviewPane::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton)
        MoveTo(point.x(), point.y());
    emit Readout(ReadoutAt(point));
}

void OverviewPane::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Refresh();  // a new size is a new layout: tiles and picture are made for it
}

void OverviewPane::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit Readout(QString());
}

QString OverviewPane::ReadoutAt(QPoint point) const
{
    const QRect r = SpectrogramRect();
    if (!m_take.data || !r.contains(point) || m_layout.n <= 0)
        return {};
    const auto [from, to] = SpectrogramSeconds();
    const int x = point.x() - r.left(), y = point.y() - r.top();
    // The middle of the pixel, as the picture's column and row stand for it.
    const double seconds = from + (to - from) * (x + 0.5) / r.width();
    const double hz = view::AxisFrequency(1.0 - (y + 0.5) / r.height(), m_layout.minHz, m_layout.maxHz, m_layout.logAxis);
    QString text = tr("時間 %1  周波数 %2 Hz").arg(QString::fromStdString(view::ClockText(seconds, 0.001))).arg(hz, 0, 'f', 0);
    if (m_bWholeTake && m_wholeAxes.width == r.width() && m_wholeAxes.height == r.height() &&
        m_wholeLevels.size() == static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(r.height())) {
        const int level = m_wholeLevels[static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width()) + static_cast<std::size_t>(x)];
        text += level == 0 ? tr("  -100 dBFS 以下") : QStringLiteral("  %1 dBFS").arg(view::LevelToDbfs(level), 0, 'f', 1);
    }
    return text;
}

void OverviewPane::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* whole = menu.addAction(tr("テイク全体"));
    QAction* around = menu.addAction(tr("位置の周辺"));
    whole->setCheckable(true);
    around->setCheckable(true);
    whole->setChecked(m_bWholeTake);
    around->setChecked(!m_bWholeTake);
    menu.addSeparator();
    QAction* save = menu.addAction(tr("画像として保存..."));
    save->setEnabled(m_bWholeTake && m_pSummary->Complete() && !m_wholeImage.isNull());
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == save) {
        const QString path =
            QFileDialog::getSaveFileName(this, tr("画像として保存"), QString(), tr("PNG 画像 (*.png)"));
        if (!path.isEmpty() && !SaveWholeTakePng(path))
            QMessageBox::critical(this, QStringLiteral("Tonmira"), TranslateMessage(msg::kWriteFailed));
    } else if (chosen) {
        SetWholeTake(chosen == whole);
    }
}

}  // namespace tonmira::ui
