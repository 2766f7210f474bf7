// Going to a typed time: the position moves the slider's way (text, slider, fundamentals follow);
// a time the take does not hold is refused with a message and moves nothing.
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include "UiFixture.h"
#include "view/CommandIds.h"
#include "view/FormTemplate.h"

namespace tonmira::test {
namespace {

using GoToTimeTest = UiFixture;

QStringList FirstBox(ui::CTonmiraView& view)
{
    QStringList entries;
    auto* list = qobject_cast<QListWidget*>(view.Control(view::kIdcFundamentalList[0]));
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    return entries;
}

TEST_F(GoToTimeTest, MovesLikeTheSliderAndRefusesTimesOutsideTheTake)
{
    // 3 s: a low tone for the first half, a high one after it.
    ASSERT_TRUE(frame->OpenFile(WriteWav("two.wav", SineSamples(66150, 1, 300, 44100, 9000) +
                                                       SineSamples(66150, 1, 3000, 44100, 9000), 1)));
    EXPECT_TRUE(frame->QueryCommand(view::kCmdGoToTime).m_bEnable);
    ui::CTonmiraView& view = frame->View();
    auto* position = qobject_cast<QLineEdit*>(view.Control(1018));
    auto* slider = qobject_cast<QSlider*>(view.Control(1000));
    const QStringList low = FirstBox(view);

    ASSERT_TRUE(view.GoToTime("0:02.000"));
    EXPECT_EQ(Doc().m_nPosition, 88200u);
    EXPECT_EQ(slider->value(), 88200);
    EXPECT_EQ(position->text(), "00:02.000");
    EXPECT_NE(FirstBox(view), low);  // the window's analysis moved with it
    EXPECT_TRUE(sink.m_messages.empty());

    for (const char* refused : {"3.001", "-1", "0:2", "two"}) {
        EXPECT_FALSE(view.GoToTime(refused)) << refused;
        EXPECT_EQ(Doc().m_nPosition, 88200u) << refused;
        EXPECT_EQ(position->text(), "00:02.000");
    }
    ASSERT_EQ(sink.m_messages.size(), 4u);
    // Out of the take: the message names the range the take allows.
    for (std::size_t i : {0, 1}) {
        EXPECT_NE(sink.m_messages[i].find("00:00.000"), std::string::npos) << sink.m_messages[i];
        EXPECT_NE(sink.m_messages[i].find("00:03.000"), std::string::npos) << sink.m_messages[i];
    }
    EXPECT_NE(sink.m_messages[2].find("h:mm:ss.fff"), std::string::npos);

    // Plain seconds and hours; the take's end goes as far as the slider does.
    ASSERT_TRUE(view.GoToTime("0.5"));
    EXPECT_EQ(position->text(), "00:00.500");
    ASSERT_TRUE(view.GoToTime("0:00:03"));
    EXPECT_EQ(Doc().m_nPosition, static_cast<UINT>(slider->maximum()));
}

}  // namespace
}  // namespace tonmira::test
