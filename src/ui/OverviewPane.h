#pragma once
// The overview pane (off unless switched on in the 表示 menu): the whole take's waveform from a
// min/max summary built in the background, the analysis window and the marks on it, and below
// it a spectrogram of the whole take (drawn from a spectrum summary built on worker threads, coarse
// first) or of the part around the position (one spectrum per column, computed in tiles on
// worker threads). Clicking or dragging moves the position as the slider does. The wheel zooms the
// time axis around the pointer (the strip and the whole take's spectrogram together), Shift+wheel
// pans, Shift+drag selects a range for the marks.
// UI thread only; the workers never touch a widget: they post their results.
#include <QImage>
#include <QWidget>
#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "base/Changes.h"
#include "view/PaneTimeAxis.h"
#include "view/SonogramTiles.h"
#include "view/TakePicture.h"
#include "view/TakeLevelSummary.h"
#include "view/SummaryPyramid.h"

namespace tonmira::ui {

class CTonmiraView;

class OverviewPane : public QWidget {
    Q_OBJECT
public:
    explicit OverviewPane(CTonmiraView& view, QWidget* parent = nullptr);
    ~OverviewPane() override;

    // The take may change now (before every command, also around its modal dialogs): background
    // work stops, lets go of the take and stays off until the matching Resume.
    void Suspend();
    // The change is over: work restarts for the present take once every Suspend is resumed.
    void Resume();
    // The window closes: the work stops for good (before the view and its take go).
    void Shutdown();
    // After any change: restarts the work the present take needs, repaints what moved.
    void Refresh();

    bool WholeTake() const { return m_bWholeTake; }
    void SetWholeTake(bool whole);
    // The whole take across the pane again, after any zoom.
    void FitWholeTake();
    // Zooms by factor (> 1 in) around column x, or pans by columns, as the wheel does.
    void ZoomAt(double x, double factor);
    void Pan(std::int64_t columns);
    const view::PaneTimeAxis& Axis() const { return m_axis; }
    // Window commands offered in the context menu too (the frame's own actions).
    void AddMenuAction(QAction* action) { m_menuActions.push_back(action); }
    // Whether the spectrogram of the whole take is drawn from exact per-column spectra (deep zoom)
    // rather than from the summary.
    bool DeepZoom() const;
    // The finished summary, null while it is built (tests).
    const view::SummaryPyramid* Pyramid() const { return m_pPyramid.get(); }
    int BuildProgressPerMille() const { return m_nProgress.load(std::memory_order_relaxed); }
    view::SonogramTiles& Tiles() { return *m_pTiles; }
    std::size_t TileImageCount() const { return m_tileImages.size(); }
    const view::TakeLevelSummary& Summary() const { return *m_pSummary; }
    // The whole take's spectrogram as drawn (spectrogram area's size), empty before the first
    // finished block.
    const QImage& WholeTakeImage() const { return m_wholeImage; }
    // The picture's frequency axis and size: the spectrum area's, the spectrogram area's size.
    view::PictureAxes WholeTakeAxes() const;
    // Writes the finished whole-take picture as PNG; false when there is none or on a failed write.
    bool SaveWholeTakePng(const QString& path) const;
    QSize sizeHint() const override { return QSize(600, 260); }
    // The two areas in widget pixels, each with its time labels under it.
    QRect OverviewRect() const;
    QRect SpectrogramRect() const;
    // What the pointer at point reads over the spectrogram (time, frequency and, over the whole
    // take, the level in dBFS); empty elsewhere.
    QString ReadoutAt(QPoint point) const;

signals:
    // The pointer's readout changed; empty when it left the spectrogram.
    void Readout(const QString& text);
    // A Shift+drag selected frames first..last (first < last) of the take.
    void RangeSelected(unsigned first, unsigned last);

protected:
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The take shown: a summary or tile made from another is thrown away. The serial counts the
    // session's announcements of a replaced or edited take (an edit may keep the buffer).
    struct TakeShown {
        const unsigned char* data = nullptr;
        std::uint64_t frames = 0;
        bool eightBit = false;
        unsigned serial = 0;
        bool operator==(const TakeShown&) const = default;
    };
    TakeShown CurrentTake() const;
    view::MonoSamples Samples() const;
    view::SpectrogramLayout CurrentLayout() const;
    std::int64_t FirstColumn() const;
    void StopWork();
    void StartBuilder();
    void StopBuilder();
    void OnPyramidBuilt(unsigned serial);
    void OnTileReady(std::uint64_t generation, std::int64_t index, const view::SonogramTiles::Levels& levels);
    void RefreshSummary();
    void OnSummaryProgress();
    // The first frame and frames per column of the whole take's picture as the axis stands.
    std::pair<double, double> WholeSpan() const { return {m_axis.FromFrame(), m_axis.FramesPerColumn()}; }
    void DrawWholeTake();
    bool UsesTiles() const;
    // The frame a point stands for: the strip's and the whole take's columns follow the axis.
    double FrameAt(QPoint point) const;
    void MoveTo(int x, int y);
    void PaintOverview(class QPainter& p);
    void PaintSpectrogram(class QPainter& p);
    void PaintSelection(class QPainter& p);
    // Time labels in area for seconds from..to over width pixels; a scale of reserve pixels at the
    // right is left free.
    void PaintTimeAxis(class QPainter& p, QRect area, double from, double to, int reserve);
    void PaintColourBar(class QPainter& p, QRect area);
    // Seconds at the left and right edges of the spectrogram.
    std::pair<double, double> SpectrogramSeconds() const;

    CTonmiraView& m_view;
    const std::thread::id m_uiThread;
    bool m_bWholeTake = true;
    bool m_bSuspended = false;
    bool m_bShutDown = false;
    int m_nHold = 0;  // Suspends not yet resumed
    TakeShown m_take;
    unsigned m_nTakeSerial = 0;

    std::thread m_builder;
    std::atomic<bool> m_bCancelBuild{false};
    std::atomic<int> m_nProgress{0};
    unsigned m_nBuildSerial = 0;
    std::unique_ptr<view::SummaryPyramid> m_pBuilding;  // the builder's until it is joined
    std::unique_ptr<view::SummaryPyramid> m_pPyramid;

    std::unique_ptr<view::SonogramTiles> m_pTiles;
    std::uint64_t m_nGeneration = 0;
    view::SpectrogramLayout m_layout;
    std::map<std::int64_t, QImage> m_tileImages;
    std::map<std::int64_t, view::SonogramTiles::Levels> m_tileLevels;  // the same tiles' levels
    std::set<std::int64_t> m_requested;

    std::unique_ptr<view::TakeLevelSummary> m_pSummary;
    std::atomic<bool> m_bSummaryPosted{false};  // a progress report waits in the UI queue
    view::PictureAxes m_wholeAxes;               // of m_wholeImage
    QImage m_wholeImage;
    std::vector<std::uint8_t> m_wholeLevels;     // m_wholeImage's colour levels
    view::SummaryRows m_summaryRows;             // the summary's blocks reduced to its rows
    std::pair<double, double> m_wholeSpan;       // m_wholeImage's first frame and frames per column

    view::PaneTimeAxis m_axis;
    std::vector<QAction*> m_menuActions;
    bool m_bSelecting = false;                   // a Shift+drag is under way
    double m_selectFrom = 0, m_selectTo = 0;     // its frames

    unsigned long long m_shown[5] = {};
};

}  // namespace tonmira::ui
