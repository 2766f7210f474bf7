#pragma once
// The numeric readouts under the mouse: over the waveform area the time and the sample value,
// over the spectrum area the frequency, the bin's magnitude and level in dBFS, the nearest note
// with cents and the interpolated peak nearby, shown in the status bar's message pane. The list
// boxes and the graphs are left as they are. UI thread only.
#include <QObject>
#include <QString>
#include <optional>

#include "view/Readout.h"

class QStatusBar;

namespace tonmira::ui {

class CTonmiraView;

class GraphReadout : public QObject {
    Q_OBJECT
public:
    // Watches view's mouse moves (and turns its mouse tracking on); writes into bar.
    GraphReadout(CTonmiraView& view, QStatusBar& bar);

    // The text for a point of the view, empty outside both graph areas or without a take.
    QString TextAt(QPoint point);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CTonmiraView& m_view;
    QStatusBar& m_bar;
    view::PeakReadout m_peak;
    bool m_bShowing = false;
};

}  // namespace tonmira::ui
