// What the overview pane does with the mouse: clicks and drags move the position, the wheel zooms
// and pans the time axis, Shift+drag selects a range for the marks, the pointer reads the
// spectrogram, the context menu chooses what it shows. UI thread only.
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "base/Messages.h"
#include "ui/OverviewPane.h"
#include "ui/TonmiraView.h"
#include "ui/i18n/Translation.h"
#include "view/PaneAxes.h"
#include "view/Readout.h"

namespace tonmira::ui {

namespace {

constexpr double kZoomPerNotch = 1.25;  // one wheel notch (120 units)
constexpr int kPanPerNotch = 8;         // a notch pans an eighth of the pane

}  // namespace

double OverviewPane::FrameAt(QPoint point) const
{
    if (m_bWholeTake || point.y() < SpectrogramRect().top())
        return m_axis.FrameAt(std::clamp(point.x(), 0, std::max(width() - 1, 0)));
    return static_cast<double>(FirstColumn() + point.x()) * std::max(m_layout.n / 2, 1);
}

void OverviewPane::MoveTo(int x, int y)
{
    if (!m_take.data || width() <= 0)
        return;
    double frame = FrameAt(QPoint(x, y));
    // A spectrogram column shows the window centred on it: that window becomes the analysis window.
    if (y >= SpectrogramRect().top())
        frame -= m_layout.n / 2.0;
    m_view.MoveToSliderPosition(static_cast<UINT>(std::clamp(frame, 0.0, static_cast<double>(m_take.frames))));
}

void OverviewPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_take.data)
        return;
    const QPoint point = event->position().toPoint();
    if (event->modifiers() & Qt::ShiftModifier) {
        m_bSelecting = true;
        m_selectFrom = m_selectTo = FrameAt(point);
        update();
        return;
    }
    MoveTo(point.x(), point.y());
}

void OverviewPane::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (m_bSelecting) {
        m_selectTo = FrameAt(point);
        update();
    } else if (event->buttons() & Qt::LeftButton) {
        MoveTo(point.x(), point.y());
    }
    emit Readout(ReadoutAt(point));
}

void OverviewPane::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_bSelecting)
        return;
    m_bSelecting = false;
    m_selectTo = FrameAt(event->position().toPoint());
    update();
    const double last = std::max(static_cast<double>(m_take.frames), 1.0) - 1;
    const auto a = static_cast<unsigned>(std::clamp(std::min(m_selectFrom, m_selectTo), 0.0, last));
    const auto b = static_cast<unsigned>(std::clamp(std::max(m_selectFrom, m_selectTo), 0.0, last));
    if (a < b)
        emit RangeSelected(a, b);
}

void OverviewPane::wheelEvent(QWheelEvent* event)
{
    // Some systems turn Shift+wheel into a horizontal wheel: either direction counts.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    if (delta == 0 || !m_take.data) {
        event->ignore();
        return;
    }
    const double notches = delta / 120.0;
    if (event->modifiers() & Qt::ShiftModifier)
        Pan(-static_cast<std::int64_t>(std::lround(notches * std::max(width() / kPanPerNotch, 1))));
    else
        ZoomAt(event->position().x(), std::pow(kZoomPerNotch, notches));
    event->accept();
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
    int level = -1;
    if (!UsesTiles() && m_wholeAxes.width == r.width() && m_wholeAxes.height == r.height() &&
        m_wholeLevels.size() == static_cast<std::size_t>(r.width()) * static_cast<std::size_t>(r.height())) {
        level = m_wholeLevels[static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width()) + static_cast<std::size_t>(x)];
    } else if (UsesTiles()) {
        // The tile under the pointer, column after column.
        const std::int64_t column = FirstColumn() + x;
        const std::int64_t tile = column >= 0 ? column / view::kTileColumns : -1;
        const auto found = m_tileLevels.find(tile);
        if (tile >= 0 && found != m_tileLevels.end() && found->second) {
            const auto at = static_cast<std::size_t>(column - tile * view::kTileColumns) * static_cast<std::size_t>(m_layout.rows) +
                            static_cast<std::size_t>(y);
            if (at < found->second->size())
                level = (*found->second)[at];
        }
    }
    if (level >= 0)
        text += level == 0 ? tr("  -100 dBFS 以下") : QStringLiteral("  %1 dBFS").arg(view::LevelToDbfs(level), 0, 'f', 1);
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
    if (!m_menuActions.empty()) {
        menu.addSeparator();
        for (QAction* action : m_menuActions)
            menu.addAction(action);
    }
    menu.addSeparator();
    QAction* save = menu.addAction(tr("画像として保存..."));
    save->setEnabled(m_bWholeTake && m_axis.Fitted() && m_pSummary->Complete() && !m_wholeImage.isNull());
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == save) {
        const QString path =
            QFileDialog::getSaveFileName(this, tr("画像として保存"), QString(), tr("PNG 画像 (*.png)"));
        if (!path.isEmpty() && !SaveWholeTakePng(path))
            QMessageBox::critical(this, QStringLiteral("Tonmira"), TranslateMessage(msg::kWriteFailed));
    } else if (chosen == whole || chosen == around) {
        SetWholeTake(chosen == whole);
    }
}

}  // namespace tonmira::ui
