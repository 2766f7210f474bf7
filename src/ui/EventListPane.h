#pragma once
// The event list pane (off unless switched on in the 表示 menu): the rows of an event log the user
// opens, and the rows of the window's own collection as its events are done. Sorted by a click on
// a column's header, filtered by verdict; a double-click leads to the event (the frame opens it).
// The rows, their decoding, order and targets are view::EventLogTable's; this only shows them.
// UI thread only.
#include <QWidget>
#include <functional>
#include <string>

#include "view/EventLogTable.h"

class QComboBox;
class QLabel;
class QTreeWidget;

namespace tonmira::ui {

class CTonmiraView;

class EventListPane : public QWidget {
    Q_OBJECT
public:
    explicit EventListPane(CTonmiraView& view, QWidget* parent = nullptr);
    ~EventListPane() override;

    // Shows the rows of the log at path instead of those shown. False, the list as it was, after
    // a message when the file cannot be read or is no event log.
    bool Load(const std::string& path);
    // The row shown at `index` (display order) is asked for, as by a double-click.
    void Activate(int index);
    // Where an activated row leads; set by the frame.
    std::function<void(const view::EventJump&)> m_onJump;

    QTreeWidget* List() const { return m_pList; }
    QComboBox* FilterBox() const { return m_pFilter; }
    const view::EventLogTable& Table() const { return m_table; }

private:
    void OnOpenClicked();
    void Fill();

    CTonmiraView& m_view;
    view::EventLogTable m_table;
    std::string m_strFolder;  // the opened log's folder, for the relative paths in it
    QTreeWidget* m_pList = nullptr;
    QComboBox* m_pFilter = nullptr;
    QLabel* m_pSource = nullptr;
    std::size_t m_nSubscription = 0;
};

}  // namespace tonmira::ui
