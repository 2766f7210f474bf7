#include "ui/EventListPane.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "collect/EventLog.h"
#include "ui/TonmiraView.h"
#include "ui/dialogs/LocalPath.h"
#include "ui/i18n/Translation.h"

namespace tonmira::ui {

namespace {

constexpr int kRowRole = Qt::UserRole;

QStringList RowTexts(const view::EventLogRow& row)
{
    QString when = QString::fromStdString(row.dateTime);
    when.replace(QLatin1Char('T'), QLatin1Char(' '));
    const QString input = row.input.empty()
                              ? Tr("ライブ")
                              : QStringLiteral("%1  %2 s")
                                    .arg(ShownPath(std::filesystem::path(row.input).filename().string()),
                                         QString::fromStdString(row.offset));
    const QString verdict = row.accepted ? Tr("採用") : Tr("不採用 (%1)").arg(QString::fromStdString(row.rejectedBy));
    const QString figures = Tr("P %1  積分 %2%  点 %3%  偏差 %4")
                                .arg(QString::fromStdString(row.peak), QString::fromStdString(row.integration),
                                     QString::fromStdString(row.points), QString::fromStdString(row.stddev));
    return {when, input, verdict, figures};
}

}  // namespace

EventListPane::EventListPane(CTonmiraView& view, QWidget* parent) : QWidget(parent), m_view(view)
{
    setObjectName(QStringLiteral("eventList"));
    auto* open = new QPushButton(Tr("記録を開く..."), this);
    open->setObjectName(QStringLiteral("openLog"));
    m_pFilter = new QComboBox(this);
    m_pFilter->setObjectName(QStringLiteral("eventFilter"));
    m_pFilter->addItems({Tr("すべて"), Tr("採用のみ"), Tr("不採用のみ")});
    m_pSource = new QLabel(this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(open);
    bar->addWidget(m_pFilter);
    bar->addWidget(m_pSource, 1);

    m_pList = new QTreeWidget(this);
    m_pList->setObjectName(QStringLiteral("eventRows"));
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setHeaderLabels({Tr("時刻"), Tr("入力とオフセット"), Tr("判定と理由"), Tr("数値")});
    // The table sorts (by value, not by the shown text); the header only shows the order.
    m_pList->header()->setSectionsClickable(true);
    m_pList->header()->setSortIndicatorShown(true);
    m_pList->header()->setSortIndicator(-1, Qt::AscendingOrder);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(m_pList, 1);

    connect(open, &QPushButton::clicked, this, &EventListPane::OnOpenClicked);
    connect(m_pFilter, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_table.SetFilter(static_cast<view::EventLogTable::Filter>(index));
        Fill();
    });
    connect(m_pList->header(), &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        if (column < 0)
            return;
        m_table.SortBy(static_cast<view::EventLogTable::Column>(column), order == Qt::AscendingOrder);
        Fill();
    });
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { Activate(m_pList->indexOfTopLevelItem(item)); });

    // The window's own collection: each event's row as it is logged.
    view::ViewCore& core = m_view.Core();
    m_nSubscription = core.m_session.Changes().Subscribe([this, &core](ChangeSet changes) {
        if (!(changes & kChangeEventDone))
            return;
        if (std::optional<view::EventLogRow> row =
                view::ParseEventLogRow(EventLog::FormatRow(core.m_collection.m_lastEvent))) {
            m_table.Append(std::move(*row));
            Fill();
        }
    });
}

EventListPane::~EventListPane() { m_view.Core().m_session.Changes().Unsubscribe(m_nSubscription); }

bool EventListPane::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    if (in.is_open())
        text << in.rdbuf();
    if (!in.is_open() || in.bad()) {
        m_view.Host().Message(Tr("%1 を読み込めません。").arg(ShownPath(path)).toStdString());
        return false;
    }
    view::EventLogContents contents = view::ParseEventLog(text.str());
    if (!contents.isLog) {
        m_view.Host().Message(Tr("%1 はイベントの記録ではありません。").arg(ShownPath(path)).toStdString());
        return false;
    }
    m_table.SetRows(std::move(contents.rows));
    m_strFolder = std::filesystem::path(path).parent_path().string();
    m_pSource->setText(ShownPath(path));
    m_pSource->setToolTip(ShownPath(path));
    Fill();
    return true;
}

void EventListPane::Activate(int index)
{
    QTreeWidgetItem* item = m_pList->topLevelItem(index);
    if (!item || !m_onJump)
        return;
    const auto row = static_cast<std::size_t>(item->data(0, kRowRole).toULongLong());
    m_onJump(view::JumpFor(m_table.Row(row), m_strFolder));
}

void EventListPane::OnOpenClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, Tr("イベントの記録を開く"), QString(),
                                                      Tr("イベントの記録 (*.csv)") + QStringLiteral(";;") +
                                                          Tr("すべてのﾌｧｲﾙ") + QStringLiteral(" (*)"));
    if (!path.isEmpty())
        Load(LocalPath(path));
}

void EventListPane::Fill()
{
    m_pList->clear();
    QList<QTreeWidgetItem*> items;
    for (std::size_t index : m_table.Visible()) {
        const view::EventLogRow& row = m_table.Row(index);
        auto* item = new QTreeWidgetItem(RowTexts(row));
        item->setData(0, kRowRole, QVariant::fromValue<qulonglong>(index));
        const std::string& path = row.input.empty() ? row.file : row.input;
        item->setToolTip(1, ShownPath(path));
        items.append(item);
    }
    m_pList->addTopLevelItems(items);
    for (int c = 0; c < m_pList->columnCount(); ++c)
        m_pList->resizeColumnToContents(c);
}

}  // namespace tonmira::ui
