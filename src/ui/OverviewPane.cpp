#include "ui/OverviewPane.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>
#include <cassert>

#include "ui/TonmiraView.h"
#include "view/ColourMap.h"

namespace tonmira::ui {

namespace {

constexpr int kOverviewHeight = 56;
// Finished tiles kept beyond those on screen, so that panning back does not compute again.
constexpr std::size_t kSpareTiles = 8;

int WorkerCount() { return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u)); }

}  // namespace

OverviewPane::OverviewPane(CTonmiraView& view, QWidget* parent)
    : QWidget(parent), m_view(view), m_uiThread(std::this_thread::get_id())
{
    setObjectName(QStringLiteral("overviewPane"));
    setMinimumHeight(kOverviewHeight + 120);
    setMouseTracking(false);
    m_pTiles = std::make_unique<view::SonogramTiles>(
        WorkerCount(), [this](std::uint64_t generation, std::int64_t index, view::SonogramTiles::Levels levels) {
            // Worker thread: only post.
            QMetaObject::invokeMethod(
                this, [this, generation, index, levels] { OnTileReady(generation, index, levels); },
                Qt::QueuedConnection);
        });
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
    l.minHz = core.m_analysis.m_nMinFreq;
    l.maxHz = core.m_analysis.m_nMaxFreq;
    l.logAxis = core.m_bLogGraph != 0;
    const double hop = std::max(l.n / 2, 1);
    l.columnFrames = m_bWholeTake && r.width() > 0 ? std::max(1.0, static_cast<double>(m_take.frames) / r.width()) : hop;
    return l;
}

std::int64_t OverviewPane::FirstColumn() const
{
    if (m_bWholeTake)
        return 0;
    const std::int64_t hop = std::max(m_layout.n / 2, 1);
    return static_cast<std::int64_t>(m_view.Core().m_doc.m_nPosition) / hop - SpectrogramRect().width() / 2;
}

QRect OverviewPane::OverviewRect() const { return QRect(0, 0, width(), std::min(kOverviewHeight, height())); }

QRect OverviewPane::SpectrogramRect() const
{
    const int top = kOverviewHeight + 2;
    return QRect(0, top, width(), std::max(height() - top, 0));
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
    // The tiles on screen, nearest the middle first; the rest is forgotten.
    const int width = SpectrogramRect().width();
    const std::int64_t first = FirstColumn();
    const std::int64_t firstTile = first >= 0 ? first / view::kTileColumns : -((-first + view::kTileColumns - 1) / view::kTileColumns);
    const std::int64_t lastTile = (first + width - 1) / view::kTileColumns;
    const std::int64_t maxColumn = m_bWholeTake ? width - 1
                                                : static_cast<std::int64_t>(m_take.frames / static_cast<std::uint64_t>(std::max(m_layout.n / 2, 1)));
    std::vector<std::int64_t> wanted;
    for (std::int64_t t = std::max<std::int64_t>(firstTile, 0); t <= lastTile && t * view::kTileColumns <= maxColumn; ++t)
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
    for (const auto& [index, image] : m_tileImages)
        if (image.height() == r.height())
            p.drawImage(QPoint(static_cast<int>(index * view::kTileColumns - first), r.top()), image);
    // The analysis window's place.
    const CTonmiraDoc& doc = m_view.Core().m_doc;
    const double columnFrames = m_layout.columnFrames > 0 ? m_layout.columnFrames : 1.0;
    const int x = static_cast<int>(static_cast<double>(doc.m_nPosition) / columnFrames - static_cast<double>(first));
    p.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DashLine));
    p.drawLine(x, r.top(), x, r.bottom());
    p.setPen(Qt::white);
    const QString axis = QStringLiteral("%1 Hz").arg(m_layout.maxHz);
    p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignLeft, axis);
    p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignBottom | Qt::AlignLeft, QStringLiteral("%1 Hz").arg(m_layout.minHz));
    p.drawText(r.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignRight,
               m_bWholeTake ? tr("テイク全体") : tr("位置の周辺"));
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
    m_view.MoveToSliderPosition(static_cast<UINT>(std::clamp(frame, 0.0, static_cast<double>(m_take.frames))));
}

void OverviewPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        MoveTo(event->position().toPoint().x(), event->position().toPoint().y());
}

void OverviewPane::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        MoveTo(event->position().toPoint().x(), event->position().toPoint().y());
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
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen)
        SetWholeTake(chosen == whole);
}

}  // namespace tonmira::ui
