// Undo of the edits that rewrite the whole take: truncation and range expansion come back exactly
// (samples, marks, position, format, modified flag), once, and only while nothing else has
// changed the take since.
#include <QLineEdit>
#include <QSlider>
#include <string>

#include "UiFixture.h"
#include "collect/RangeExpansion.h"
#include "view/CommandIds.h"

namespace tonmira::test {
namespace {

using UndoTest = UiFixture;

// 16-bit samples that differ frame by frame, so that a take put back in the wrong place shows.
std::string Ramp(int frames, int channels)
{
    std::string s;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            PutU16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>((i * 7 + c * 1000) % 20000 - 10000)));
    return s;
}

std::string TakeBytes(const CTonmiraDoc& doc)
{
    return std::string(reinterpret_cast<const char*>(doc.m_pData), std::size_t{doc.m_nSamples} * doc.FrameBytes());
}

bool CanUndo(ui::CMainFrame& frame) { return frame.QueryCommand(view::kCmdEditUndo).m_bEnable; }

TEST_F(UndoTest, TruncationComesBackWithMarksPositionAndFlag)
{
    ASSERT_TRUE(frame->OpenFile(WriteWav("ramp.wav", Ramp(20000, 2))));
    ui::CTonmiraView& view = frame->View();
    view.MoveToSliderPosition(3000);
    ASSERT_TRUE(frame->Dispatch(view::kCmdStartMark));
    view.MoveToSliderPosition(12000);
    ASSERT_TRUE(frame->Dispatch(view::kCmdEndMark));
    view.MoveToSliderPosition(5000);
    EXPECT_FALSE(CanUndo(*frame));  // marks are no edit of the take

    const std::string before = TakeBytes(Doc());
    const UINT start = Doc().m_nStartMark, end = Doc().m_nEndMark;
    ASSERT_EQ(start, 3000u);
    auto* position = qobject_cast<QLineEdit*>(view.Control(1018));
    auto* slider = qobject_cast<QSlider*>(view.Control(1000));
    const QString positionText = position->text();
    ASSERT_TRUE(frame->Dispatch(view::kCmdTruncate));
    ASSERT_EQ(Doc().m_nSamples, end - start + 1);
    ASSERT_TRUE(Doc().IsModified());
    ASSERT_TRUE(CanUndo(*frame));

    // The key does it, as the command table binds it.
    QTest::keyClick(frame.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Doc().m_nSamples, 20000u);
    EXPECT_TRUE(TakeBytes(Doc()) == before);
    EXPECT_EQ(Doc().m_nStartMark, start);
    EXPECT_EQ(Doc().m_nEndMark, end);
    EXPECT_EQ(Doc().m_nPosition, 5000u);
    EXPECT_FALSE(Doc().IsModified());
    // The screen follows: the slider over the whole take again, the position text.
    EXPECT_EQ(slider->maximum(), 20000 - 4096);
    EXPECT_EQ(slider->value(), 5000);
    EXPECT_EQ(position->text(), positionText);
    // One level: nothing is left to undo.
    EXPECT_FALSE(CanUndo(*frame));
    EXPECT_FALSE(frame->Dispatch(view::kCmdEditUndo));
}

TEST_F(UndoTest, ExpansionComesBackAndASaveInBetweenLeavesTheTakeModified)
{
    const std::string path = WriteWav("quiet.wav", SineSamples(8000, 1, 440, 8000, 4000), 1, 8000);
    ASSERT_TRUE(frame->OpenFile(path));
    const std::string before = TakeBytes(Doc());
    const int peak = RangeExpansionPeak(Doc());
    EXPECT_FALSE(Core().ExpandRange(peak, peak));  // no change, nothing to undo
    EXPECT_FALSE(CanUndo(*frame));
    ASSERT_TRUE(Core().ExpandRange(peak, 32767));
    ASSERT_NE(TakeBytes(Doc()), before);
    ASSERT_TRUE(CanUndo(*frame));

    ASSERT_TRUE(frame->Dispatch(view::kCmdEditUndo));
    EXPECT_TRUE(TakeBytes(Doc()) == before);
    EXPECT_EQ(Doc().m_nPeak, peak);
    EXPECT_FALSE(Doc().IsModified());
    // A one-channel take's mono buffer is its data again, not the freed block.
    EXPECT_EQ(Doc().m_pMono, Doc().m_pData);

    // Saved after the expansion: the file holds the expanded take, so the take put back differs.
    ASSERT_TRUE(Core().ExpandRange(RangeExpansionPeak(Doc()), 32767));
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileSave));
    ASSERT_FALSE(Doc().IsModified());
    ASSERT_TRUE(frame->Dispatch(view::kCmdEditUndo));
    EXPECT_TRUE(TakeBytes(Doc()) == before);
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(UndoTest, AnyOtherChangeOfTheTakeForgetsIt)
{
    prompts.m_answer = view::SaveAnswer::No;  // the truncated take is not kept
    const std::string first = WriteWav("a.wav", Ramp(20000, 2));
    ASSERT_TRUE(frame->OpenFile(first));
    Doc().m_nStartMark = 100;
    ASSERT_TRUE(frame->Dispatch(view::kCmdTruncate));
    ASSERT_TRUE(CanUndo(*frame));
    ASSERT_TRUE(frame->OpenFile(WriteWav("b.wav", Ramp(9000, 1), 1)));
    EXPECT_FALSE(CanUndo(*frame));
    EXPECT_FALSE(frame->Dispatch(view::kCmdEditUndo));
    EXPECT_EQ(Doc().m_nSamples, 9000u);

    // Another edit (the balance rewrites the mono mix) and a new document each forget it too.
    ASSERT_TRUE(frame->OpenFile(first));
    Doc().m_nStartMark = 100;
    ASSERT_TRUE(frame->Dispatch(view::kCmdTruncate));
    Core().m_session.Command([&] { Core().m_transport.ApplyBalance(30); });
    EXPECT_FALSE(CanUndo(*frame));
    Doc().m_nStartMark = 100;
    ASSERT_TRUE(frame->Dispatch(view::kCmdTruncate));
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileNew));
    EXPECT_FALSE(CanUndo(*frame));
}

}  // namespace
}  // namespace tonmira::test
