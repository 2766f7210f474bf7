// The event list pane: a log the program wrote, shown, filtered and sorted; a double-click on an
// offline row opens its input at the offset (asking about a modified take first), on a live row
// the event's file; the window's own collection adds its rows as events are done.
#include <QComboBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>

#include "UiFixture.h"
#include "collect/EventLog.h"
#include "collect/EventProcessor.h"
#include "ui/EventListPane.h"
#include "view/CommandIds.h"

namespace tonmira::test {
namespace {

using EventListTest = UiFixture;

EventOutcome Event(const std::string& input, double offset, const std::string& file, bool accepted, int peak)
{
    EventOutcome o;
    o.m_when = LocalDateTime{2024, 3, 5, 14, 7, 9};
    o.m_strInput = input;
    o.m_dOffsetSeconds = offset;
    o.m_strFinalPath = file;
    o.m_figures.m_nPeak = peak;
    o.m_figures.m_bIntegMet = o.m_figures.m_bPointsMet = o.m_figures.m_bStdDevMet = accepted;
    o.m_figures.m_bAccepted = accepted;
    o.m_bPlayLevelMet = true;
    return o;
}

TEST_F(EventListTest, ShowsALogAndLeadsToItsEvents)
{
    WriteWav("take.wav", SineSamples(132300, 1, 440, 44100, 9000), 1);
    const std::string live = WriteWav("20240305140709.WAV", SineSamples(4410, 1, 880, 44100, 9000), 1);
    const std::string log = dir.File("events.csv");
    // The offline row names its input as the command line was given it, next to the log.
    ASSERT_TRUE(EventLog::AppendToFile(log, EventLog::FormatRow(Event("take.wav", 1.5, "", true, 100))));
    ASSERT_TRUE(EventLog::AppendToFile(log, EventLog::FormatRow(Event("", -1, live, false, 200))));

    EXPECT_TRUE(frame->findChild<QDockWidget*>("eventListDock")->isHidden());  // off by default
    ASSERT_TRUE(frame->Dispatch(view::kCmdViewEventList));
    EXPECT_FALSE(frame->findChild<QDockWidget*>("eventListDock")->isHidden());
    EXPECT_TRUE(frame->QueryCommand(view::kCmdViewEventList).m_bCheck);

    ui::EventListPane& pane = *frame->EventList();
    ASSERT_TRUE(pane.Load(log));
    QTreeWidget* list = pane.List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_TRUE(list->topLevelItem(0)->text(1).contains("take.wav"));
    EXPECT_TRUE(list->topLevelItem(0)->text(1).contains("1.500"));
    pane.FilterBox()->setCurrentIndex(2);  // rejected only
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_TRUE(list->topLevelItem(0)->text(2).contains("ratio"));
    pane.FilterBox()->setCurrentIndex(0);
    list->header()->setSortIndicator(3, Qt::DescendingOrder);  // by P, largest first
    EXPECT_TRUE(list->topLevelItem(0)->text(3).contains("200"));
    list->header()->setSortIndicator(3, Qt::AscendingOrder);

    // A modified take is asked about first; cancelled, nothing is opened.
    ASSERT_TRUE(frame->OpenFile(WriteWav("other.wav", SineSamples(20000, 2, 440, 44100, 9000))));
    Doc().SetModifiedFlag();
    prompts.m_answer = view::SaveAnswer::Cancel;
    pane.Activate(0);
    EXPECT_EQ(prompts.m_questions.size(), 1u);
    EXPECT_EQ(Doc().m_nSamples, 20000u);

    // The row's file is read in the background like any open; the jump follows the read.
    const auto readEnded = [&] { return QTest::qWaitFor([&] { return !frame->IsLoading(); }, 10000); };
    prompts.m_answer = view::SaveAnswer::No;
    pane.Activate(0);
    ASSERT_TRUE(readEnded());
    EXPECT_EQ(frame->Documents().PathName(), dir.File("take.wav"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(frame->View().Control(1018))->text(), "00:01.500");
    EXPECT_EQ(Doc().m_nPosition, 66150u);

    pane.Activate(1);
    ASSERT_TRUE(readEnded());
    EXPECT_EQ(frame->Documents().PathName(), live);
    EXPECT_TRUE(sink.m_messages.empty());

    // The window's own collection: its event's row arrives with the event.
    Core().m_collection.m_lastEvent = Event("", -1, "/srv/new.WAV", true, 300);
    Core().m_session.Command([] {}, kChangeEventDone);
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_TRUE(list->topLevelItem(2)->text(3).contains("300"));

    // Not a log: refused with a message, the rows stay.
    EXPECT_FALSE(pane.Load(live));
    EXPECT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(list->topLevelItemCount(), 3);
}

}  // namespace
}  // namespace tonmira::test
