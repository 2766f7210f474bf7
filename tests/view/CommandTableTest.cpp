// Which commands of the window can be used in each state of the document, over every menu item,
// and what the one table of commands must hold for the menus, keys and tool bar built from it.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

#include "TakeFactory.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "view/CommandTable.h"
#include "view/InitialFormat.h"

namespace tonmira::view {
namespace {

std::set<int> MenuIds()
{
    std::set<int> ids;
    for (const Command& command : Commands())
        if (command.menu != Menu::None)
            ids.insert(command.id);
    return ids;
}

// The document's state with the frame's flags of `frame` (its own document part is ignored).
CommandContext Context(const CTonmiraDoc& doc, CommandContext frame = {}) { return DocumentContext(doc, frame); }

CommandState Query(const CTonmiraDoc& doc, int id) { return QueryCommand(Context(doc), id); }

std::set<int> Enabled(const CTonmiraDoc& doc, CommandContext frame = {})
{
    std::set<int> on;
    for (int id : MenuIds())
        if (QueryCommand(Context(doc, frame), id).m_bEnable)
            on.insert(id);
    return on;
}

class CommandRulesTest : public ::testing::Test {
protected:
    void GiveTake(WORD channels) { test::LoadSilence(doc, 8192, channels); }
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
};

TEST_F(CommandRulesTest, EmptyDocument)
{
    // New, open, record, stop, pause, record settings, collection settings, detection level,
    // graph type, properties, bar and overview toggles, help, about, exit.
    EXPECT_EQ(Enabled(doc), (std::set<int>{57600, 57601, 32781, 32779, 32780, 32794, 32775, 32802, 32772, 32788,
                                           59392, 59393, 32900, 32911, 57667, 57664, 57665}));
    // The recent-file entry only with entries.
    CommandContext frame;
    frame.m_bHasRecentFiles = true;
    EXPECT_TRUE(Enabled(doc, frame).count(kCmdRecentFile));
    // Stop shows checked while idle.
    const CommandState stop = Query(doc, kCmdStop);
    EXPECT_TRUE(stop.m_bSetCheck && stop.m_bCheck);
    // The bars' and the overview's switches show whether they are shown.
    frame.m_bToolBarVisible = false;
    frame.m_bOverviewVisible = true;
    EXPECT_FALSE(QueryCommand(Context(doc, frame), kCmdViewToolBar).m_bCheck);
    EXPECT_TRUE(QueryCommand(Context(doc, frame), kCmdViewStatusBar).m_bCheck);
    EXPECT_TRUE(QueryCommand(Context(doc, frame), kCmdViewOverview).m_bCheck);
}

TEST_F(CommandRulesTest, TakeLockedPlayingRecordingMono)
{
    GiveTake(2);
    const std::set<int> all = Enabled(doc);
    // Everything but the empty recent-file entry and the fit of a pane that is not shown.
    EXPECT_EQ(all.size(), MenuIds().size() - 2);
    EXPECT_FALSE(all.count(kCmdViewFitTake));
    CommandContext shown;
    shown.m_bOverviewVisible = true;
    EXPECT_TRUE(Enabled(doc, shown).count(kCmdViewFitTake));

    doc.m_bLock = 1;
    const std::set<int> locked = Enabled(doc);
    for (int id : {32778, 32781, 32779, 32780, 32785, 32786, 32787, 32794})
        EXPECT_FALSE(locked.count(id)) << id;
    EXPECT_TRUE(locked.count(kCmdLock));
    EXPECT_TRUE(locked.count(kCmdFileSave));
    EXPECT_TRUE(Query(doc, kCmdLock).m_bCheck);
    doc.m_bLock = 0;

    for (TransportState state : {TransportState::Playing, TransportState::Recording}) {
        doc.m_nState = state;
        const std::set<int> busy = Enabled(doc);
        for (int id : {57600, 57601, 57603, 57604, 32803, 32771, 32773, 32800, 32798, 32799, 32785, 32786, 32787,
                       32794, 32775})
            EXPECT_FALSE(busy.count(id)) << static_cast<int>(state) << " " << id;
        for (int id : {32778, 32781, 32779, 32780, 32782, 32783})
            EXPECT_TRUE(busy.count(id)) << static_cast<int>(state) << " " << id;
        EXPECT_EQ(Query(doc, kCmdPlay).m_bCheck, state == TransportState::Playing);
        EXPECT_EQ(Query(doc, kCmdRecord).m_bCheck, state == TransportState::Recording);
        EXPECT_FALSE(Query(doc, kCmdStop).m_bCheck);
    }
    // Paused and reversed show checked; reverse keeps its mark as it was while it is disabled.
    doc.m_bPause = 1;
    doc.m_bReverse = 1;
    EXPECT_TRUE(Query(doc, kCmdPause).m_bCheck);
    EXPECT_FALSE(Query(doc, kCmdReverse).m_bSetCheck);
    doc.m_nState = TransportState::Idle;
    EXPECT_TRUE(Query(doc, kCmdReverse).m_bSetCheck && Query(doc, kCmdReverse).m_bCheck);
}

TEST_F(CommandRulesTest, MonoTakeAndMarks)
{
    GiveTake(1);
    const std::set<int> on = Enabled(doc);
    EXPECT_FALSE(on.count(kCmdBalance));
    EXPECT_FALSE(on.count(kCmdSaveMonoData));
    EXPECT_TRUE(on.count(kCmdSpeed));
    // Marks at the take's ends show unchecked, anywhere else checked.
    EXPECT_FALSE(Query(doc, kCmdStartMark).m_bCheck);
    EXPECT_FALSE(Query(doc, kCmdEndMark).m_bCheck);
    doc.m_nStartMark = 10;
    doc.m_nEndMark = 100;
    EXPECT_TRUE(Query(doc, kCmdStartMark).m_bCheck);
    EXPECT_TRUE(Query(doc, kCmdEndMark).m_bCheck);
}

TEST_F(CommandRulesTest, CollectionWorkerHoldsTheTake)
{
    GiveTake(2);
    CommandContext frame;
    frame.m_bCollectBusy = true;
    // Stop (to end a replay) and the display commands stay; nothing that touches the take.
    EXPECT_EQ(Enabled(doc, frame), (std::set<int>{32779, 32772, 32802, 59392, 59393, 32900, 32911, 57667, 57664, 57665}));
}

TEST_F(CommandRulesTest, CommandsWithoutHandlerStayDisabled)
{
    GiveTake(2);
    for (int id : {kCmdEditCopy, kCmdEditCut, kCmdEditPaste, kCmdNextPane, kCmdPrevPane}) {
        const CommandState s = Query(doc, id);
        EXPECT_FALSE(s.m_bHandled || s.m_bEnable) << id;
    }
    EXPECT_FALSE(Query(doc, 12345).m_bHandled);
}

TEST_F(CommandRulesTest, UndoOnlyWithSomethingToUndoWhileIdle)
{
    GiveTake(2);
    CommandContext frame;
    const auto undo = [&] { return QueryCommand(Context(doc, frame), kCmdEditUndo).m_bEnable; };
    EXPECT_FALSE(undo());
    frame.m_bCanUndo = true;
    EXPECT_TRUE(undo());
    doc.m_nState = TransportState::Playing;
    EXPECT_FALSE(undo());
    doc.m_nState = TransportState::Idle;
    frame.m_bCollectBusy = true;
    EXPECT_FALSE(undo());
}

TEST(CommandTable, EachIdKeyAndButtonBelongsToOneCommand)
{
    std::set<int> ids;
    std::map<std::string, int> keys;
    for (const Command& command : Commands()) {
        EXPECT_TRUE(ids.insert(command.id).second) << "two rows for " << command.id;
        for (const char* key : command.keys) {
            if (key) {
                EXPECT_TRUE(keys.emplace(key, command.id).second) << key << " on two commands";
            }
        }
        if (command.menu != Menu::None) {
            EXPECT_NE(std::string(command.text), "") << command.id;
        }
    }
    for (int id : ToolBarEntries())
        EXPECT_TRUE(id == 0 || FindCommand(id)) << id;
}

TEST(InitialFormat, BestFormatOfTheInputDevice)
{
    WavHeader h{};
    FormatFromInputBits(0xFFFFF, h);  // everything: 96000 Hz stereo 16-bit
    EXPECT_EQ(h.nSamplesPerSec, 96000u);
    EXPECT_EQ(h.wBitsPerSample, 16);
    EXPECT_EQ(h.nChannels, 2);
    // The group decides by its bits 1 and 3 only: mono 16-bit alone gives 8 bits.
    FormatFromInputBits(0x400, h);
    EXPECT_EQ(h.nSamplesPerSec, 44100u);
    EXPECT_EQ(h.wBitsPerSample, 8);
    EXPECT_EQ(h.nChannels, 1);
    FormatFromInputBits(0x2, h);  // and bit 1 alone gives 16 bits, mono
    EXPECT_EQ(h.nSamplesPerSec, 11025u);
    EXPECT_EQ(h.wBitsPerSample, 16);
    EXPECT_EQ(h.nChannels, 1);
    FormatFromInputBits(0x10, h);  // 22050 Hz mono 8-bit
    EXPECT_EQ(h.wBitsPerSample, 8);
    EXPECT_EQ(h.nChannels, 1);
    FormatFromInputBits(0, h);  // no format reported at all
    EXPECT_TRUE(IsValidRecordFormat(h));
    EXPECT_EQ(h.nSamplesPerSec, 44100u);
    h.nSamplesPerSec = 8000;
    EXPECT_FALSE(IsValidRecordFormat(h));
}

}  // namespace
}  // namespace tonmira::view
