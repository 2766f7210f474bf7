// Which commands of the window can be used in each state of the document, over every menu item.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>

#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "view/CommandTable.h"
#include "view/CommandUi.h"
#include "view/FrameCommandIds.h"
#include "view/InitialFormat.h"

namespace tonmira::view {
namespace {

std::set<int> MenuIds()
{
    std::set<int> ids;
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items)
            if (item.id)
                ids.insert(item.id);
    return ids;
}

std::set<int> Enabled(const CTonmiraDoc& doc, FrameFlags flags = {})
{
    std::set<int> on;
    for (int id : MenuIds())
        if (QueryCommandUi(doc, id, flags).m_bEnable)
            on.insert(id);
    return on;
}

class CommandUiTest : public ::testing::Test {
protected:
    void GiveTake(int channels)
    {
        doc.m_header.nChannels = static_cast<WORD>(channels);
        doc.m_header.wBitsPerSample = 16;
        doc.m_header.nSamplesPerSec = 44100;
        doc.m_nSamples = 8192;
        doc.m_pData = static_cast<BYTE*>(std::calloc(8192, 2 * channels));
        doc.m_nEndMark = 8191;
        ASSERT_TRUE(doc.BuildMonoBuffer());
    }
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
};

TEST_F(CommandUiTest, EmptyDocument)
{
    // New, open, record, stop, pause, record settings, collection settings, detection level,
    // graph type, properties, bar toggles, help, about, exit.
    EXPECT_EQ(Enabled(doc), (std::set<int>{57600, 57601, 32781, 32779, 32780, 32794, 32775, 32802, 32772, 32788,
                                           59392, 59393, 57667, 57664, 57665}));
    // The recent-file entry only with entries.
    FrameFlags flags;
    flags.m_bHasRecentFiles = true;
    EXPECT_TRUE(Enabled(doc, flags).count(kCmdRecentFile));
    // Stop shows checked while idle.
    const CommandState stop = QueryCommandUi(doc, kCmdStop, {});
    EXPECT_TRUE(stop.m_bSetCheck && stop.m_bCheck);
}

TEST_F(CommandUiTest, TakeLockedPlayingRecordingMono)
{
    GiveTake(2);
    const std::set<int> all = Enabled(doc);
    EXPECT_EQ(all.size(), MenuIds().size() - 1);  // everything but the empty recent-file entry

    doc.m_bLock = 1;
    const std::set<int> locked = Enabled(doc);
    for (int id : {32778, 32781, 32779, 32780, 32785, 32786, 32787, 32794})
        EXPECT_FALSE(locked.count(id)) << id;
    EXPECT_TRUE(locked.count(kCmdLock));
    EXPECT_TRUE(QueryCommandUi(doc, kCmdLock, {}).m_bCheck);
    doc.m_bLock = 0;

    for (int state : {1, 2}) {
        doc.m_nState = state;
        const std::set<int> busy = Enabled(doc);
        for (int id : {57600, 57601, 57603, 57604, 32803, 32771, 32773, 32800, 32798, 32799, 32785, 32786, 32787,
                       32794, 32775})
            EXPECT_FALSE(busy.count(id)) << state << " " << id;
        for (int id : {32778, 32781, 32779, 32780, 32782, 32783})
            EXPECT_TRUE(busy.count(id)) << state << " " << id;
        EXPECT_EQ(QueryCommandUi(doc, kCmdPlay, {}).m_bCheck, state == 1);
        EXPECT_EQ(QueryCommandUi(doc, kCmdRecord, {}).m_bCheck, state == 2);
        EXPECT_FALSE(QueryCommandUi(doc, kCmdStop, {}).m_bCheck);
    }
}

TEST_F(CommandUiTest, MonoTakeAndMarks)
{
    GiveTake(1);
    const std::set<int> on = Enabled(doc);
    EXPECT_FALSE(on.count(kCmdBalance));
    EXPECT_FALSE(on.count(kCmdSaveMonoData));
    EXPECT_TRUE(on.count(kCmdSpeed));
    EXPECT_FALSE(QueryCommandUi(doc, kCmdStartMark, {}).m_bCheck);
    EXPECT_FALSE(QueryCommandUi(doc, kCmdEndMark, {}).m_bCheck);
    doc.m_nStartMark = 10;
    doc.m_nEndMark = 100;
    EXPECT_TRUE(QueryCommandUi(doc, kCmdStartMark, {}).m_bCheck);
    EXPECT_TRUE(QueryCommandUi(doc, kCmdEndMark, {}).m_bCheck);
}

TEST_F(CommandUiTest, CollectionWorkerHoldsTheTake)
{
    GiveTake(2);
    FrameFlags flags;
    flags.m_bCollectBusy = true;
    // Stop (to end a replay) and the display commands stay; nothing that touches the take.
    EXPECT_EQ(Enabled(doc, flags), (std::set<int>{32779, 32772, 32802, 59392, 59393, 57667, 57664, 57665}));
}

TEST_F(CommandUiTest, CommandsWithoutHandlerStayDisabled)
{
    GiveTake(2);
    for (int id : {kCmdEditCopy, kCmdEditCut, kCmdEditPaste, kCmdEditUndo, kCmdNextPane, kCmdPrevPane}) {
        const CommandState s = QueryCommandUi(doc, id, {});
        EXPECT_FALSE(s.m_bHandled || s.m_bEnable) << id;
    }
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
