// The dialogs of the view's own commands: properties, range expansion, the detection-level
// window and the detection-condition calculation; and the dialog-unit layout they share.
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cmath>
#include <filesystem>
#include <cstring>

#include "DialogTestUtil.h"
#include "TestUtil.h"
#include "doc/DocTestUtil.h"
#include "base/MessageSink.h"
#include "base/SampleMath.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "ui/dialogs/CAboutDlg.h"
#include "ui/dialogs/CFreqLevel.h"
#include "ui/dialogs/CPropertyDlg.h"
#include "ui/dialogs/CRangeSetupDlg.h"
#include "ui/dialogs/CSekibunRitsu.h"
#include "ui/dialogs/HelpTopics.h"
#include "ui/i18n/Translation.h"

namespace tonmira::test {
namespace {

using namespace ui;

struct ViewDialogsTest : ::testing::Test {
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};

    // A mono 16-bit take of 440 Hz and 1320 Hz (peak above 5000) written and opened.
    std::string OpenTone(UINT frames)
    {
        WavBytes wav;
        wav.channels = 1;
        std::string data;
        for (UINT i = 0; i < frames; ++i) {
            double t = i / 44100.0;
            double v = 6000 * std::sin(2 * M_PI * 440 * t) + 2000 * std::sin(2 * M_PI * 1320 * t);
            PutU16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
        }
        wav.data = data;
        std::string path = dir.File("tone.wav");
        WriteFileBytes(path, wav.Build());
        EXPECT_TRUE(doc.OnOpenDocument(path));
        return path;
    }
    const std::int16_t* Samples() const { return reinterpret_cast<const std::int16_t*>(doc.m_pData); }
};

TEST_F(ViewDialogsTest, PropertiesOfAnEmptyDocumentAndOfATake)
{
    doc.m_header.nSamplesPerSec = 48000;
    doc.m_header.wBitsPerSample = 8;
    doc.m_header.nChannels = 1;
    CPropertyDlg empty(sink);
    empty.SetFromDocument(doc);
    empty.show();
    EXPECT_EQ(empty.windowTitle(), "ﾌﾟﾛﾊﾟﾃｨ");
    auto label = [](QWidget* dlg, int id) { return Control<QLabel>(dlg, id)->text().toStdString(); };
    EXPECT_EQ(label(&empty, kIdcPropTime), "00:00.000");
    EXPECT_EQ(label(&empty, kIdcPropRate), "48000");
    EXPECT_EQ(label(&empty, kIdcPropBits), "8");
    EXPECT_EQ(label(&empty, kIdcPropChannels), "1");
    EXPECT_EQ(label(&empty, kIdcPropPath), "");

    std::string path = OpenTone(100000);
    CPropertyDlg take(sink);
    take.SetFromDocument(doc);
    take.show();
    EXPECT_EQ(label(&take, kIdcPropTime), "00:02.267");
    EXPECT_EQ(label(&take, kIdcPropRate), "44100");
    EXPECT_EQ(label(&take, kIdcPropBits), "16");
    EXPECT_EQ(Control<QLabel>(&take, kIdcPropPath)->toolTip().toStdString(), path);

    // A path longer than its place keeps its start and its file name; the tool tip has it whole.
    std::string deep = "/";
    for (int i = 0; i < 30; ++i)
        deep += "folder" + std::to_string(i) + "/";
    deep += "tone.wav";
    CPropertyDlg far(sink);
    far.m_strPath = deep;
    far.show();
    auto* shown = Control<QLabel>(&far, kIdcPropPath);
    EXPECT_TRUE(shown->text().startsWith("/folder0/")) << shown->text().toStdString();
    EXPECT_TRUE(shown->text().endsWith("/tone.wav")) << shown->text().toStdString();
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->text()), shown->width());
    EXPECT_EQ(shown->toolTip().toStdString(), deep);
}

TEST_F(ViewDialogsTest, RangeSliderRunsFromFullScaleAtTheTop)
{
    OpenTone(4000);
    const int peak = RangeExpansionPeak(doc);
    ASSERT_GT(peak, 5000);
    std::vector<std::int16_t> before(Samples(), Samples() + 4000);

    ModalScript script({[&](QDialog* dlg) {
                            auto* slider = Control<QSlider>(dlg, kIdcRangeSlider);
                            EXPECT_EQ(dlg->size(), DialogUnits(dlg->font()).Size(63, 163));
                            EXPECT_EQ(slider->orientation(), Qt::Vertical);
                            EXPECT_EQ(slider->maximum(), 32767);
                            EXPECT_EQ(slider->tickInterval(), 3276);
                            EXPECT_EQ(slider->value(), 32767 - peak);
                            Click(dlg, kIdOk);  // not moved
                        },
                        [&](QDialog* dlg) {
                            QTest::keyClick(Control(dlg, kIdcRangeSlider), Qt::Key_Home);  // the top
                            Click(dlg, kIdCancel);
                        },
                        [&](QDialog* dlg) {
                            QTest::keyClick(Control(dlg, kIdcRangeSlider), Qt::Key_Home);
                            Click(dlg, kIdOk);
                        }});
    int repaints = 0;
    auto repaint = [&] { ++repaints; };
    EXPECT_FALSE(RunRangeExpansion(doc, sink, nullptr, repaint));
    EXPECT_EQ(std::vector<std::int16_t>(Samples(), Samples() + 4000), before);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(RunRangeExpansion(doc, sink, nullptr, repaint));
    EXPECT_EQ(repaints, 1) << "repainted after each OK, not after Cancel";
    EXPECT_TRUE(RunRangeExpansion(doc, sink, nullptr, repaint));
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_EQ(doc.m_nPeak, 32767);
    EXPECT_EQ(FindSamplePeak(doc.m_pData, 4000, 16).m_nPeak, 32767);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ViewDialogsTest, DetectionLevelWindowKeepsItsLevelAndRepicksAtOnce)
{
    OpenTone(8192);
    WindowAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    view::FreqLevelPicker picker;
    std::vector<FundamentalBoxes> filled;
    CFreqLevel window(analysis, picker, [&](const FundamentalBoxes& boxes) { filled.push_back(boxes); }, sink,
                      nullptr);
    window.SetLevel(analysis.m_nDetectLevel);

    // Before the view handed a spectrum over, the slider only sets the level.
    window.show();
    EXPECT_EQ(window.m_sliderLevel->value(), 5);
    EXPECT_FALSE(Control(&window, kIdCancel)->isVisible());
    window.m_sliderLevel->setValue(7);
    EXPECT_TRUE(filled.empty());

    FundamentalBoxes viewBoxes = analysis.Recalculate(doc, window.Level());
    ASSERT_FALSE(viewBoxes[0].empty());
    QTest::keyClick(window.m_sliderLevel, Qt::Key_Left);  // 6
    ASSERT_EQ(filled.size(), 1u) << "one pick per move";
    EXPECT_FALSE(filled[0][0].empty());
    EXPECT_EQ(analysis.m_nDetectLevel, 6) << "the level picks use from now on";
    QTest::keyClick(window.m_sliderLevel, Qt::Key_Home);  // level 0 picks nothing
    ASSERT_EQ(filled.size(), 2u);
    for (const auto& box : filled[1])
        EXPECT_TRUE(box.empty());

    window.m_sliderLevel->setValue(9);
    Click(&window, kIdOk);  // "閉じる"
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(window.m_sliderLevel->value(), 9);
    EXPECT_EQ(window.Level(), 9);
    EXPECT_EQ(Control<QPushButton>(&window, kIdOk)->text(), "閉じる");
}

TEST_F(ViewDialogsTest, DetectionConditionsMatchTheCliAndCheckTheBand)
{
    std::string path = OpenTone(8192);
    WindowAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    analysis.Recalculate(doc, analysis.m_nDetectLevel);

    CSekibunRitsu dlg(sink);
    dlg.m_pSpectrum = analysis.m_pSpectrum.get();
    dlg.m_nFftSize = analysis.m_nFftSize;
    dlg.m_nRate = 44100;
    dlg.m_nBandLowHz = 200;
    dlg.m_nBandHighHz = 2000;
    dlg.m_nExcludeHz = 300;
    ShowActive(&dlg);
    EXPECT_EQ(Text(&dlg, kIdcCalcBandHigh), "2000");
    Click(&dlg, kIdcCalcButton);
    CliResult cli = RunCli({"metrics", path, "--band-low", "200", "--band-high", "2000", "--exclude", "300"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    const std::string shown = Text(&dlg, kIdcCalcIntegration) + "\n" + Text(&dlg, kIdcCalcStdDev) + "\n" +
                              Text(&dlg, kIdcCalcAbove) + "\n";
    EXPECT_EQ(shown, cli.out);
    EXPECT_TRUE(sink.m_messages.empty());

    // Band edges outside 0..22050: the message, and the previous figures stay.
    for (const char* bad : {"22051", "-1"}) {
        Type(&dlg, kIdcCalcBandHigh, bad);
        Click(&dlg, kIdcCalcButton);
        EXPECT_EQ(sink.m_messages.back(), "0 以上, 22050 以下の値を入力してください！");
        EXPECT_EQ(Text(&dlg, kIdcCalcIntegration) + "\n" + Text(&dlg, kIdcCalcStdDev) + "\n" + Text(&dlg, kIdcCalcAbove) + "\n",
                  shown);
    }
    Type(&dlg, kIdcCalcBandLow, "1e3");
    Click(&dlg, kIdcCalcButton);
    EXPECT_EQ(sink.m_messages.back(), "整数を入力してください。");
    ExpectFocusedAndSelected(&dlg, kIdcCalcBandLow);

    // An empty band (lower edge above the upper) shows zeros in the result formats.
    Type(&dlg, kIdcCalcBandLow, "5000");
    Type(&dlg, kIdcCalcBandHigh, "4000");
    Click(&dlg, kIdcCalcButton);
    EXPECT_EQ(Text(&dlg, kIdcCalcIntegration), " 0.00");
    EXPECT_EQ(Text(&dlg, kIdcCalcStdDev), "    0.00");
    EXPECT_EQ(Text(&dlg, kIdcCalcAbove), " 0.00");
    EXPECT_EQ(sink.m_messages.size(), 3u);
}

TEST_F(ViewDialogsTest, TemplatesAndDialogUnits)
{
    // Base units 6 x 13: a horizontal unit is 1.5 px, a vertical one 1.625 px, rounded.
    DialogUnits units(view::BaseUnits{6, 13});
    EXPECT_EQ(units.X(4), 6);
    EXPECT_EQ(units.X(63), 95);
    EXPECT_EQ(units.Y(8), 13);
    EXPECT_EQ(units.Y(163), 265);
    EXPECT_EQ(units.Rect(3, 4, 313, 104), QRect(5, 7, 469, 169));

    CAboutDlg about(sink);
    about.show();
    EXPECT_EQ(about.TemplateId(), 100);
    bool versionShown = false;
    for (QLabel* label : about.findChildren<QLabel*>())
        versionShown |= label->text() == "Tonmira Version 2.2";
    EXPECT_TRUE(versionShown);
    // Every line of the about box is whole, in either language.
    for (Language language : {Language::Japanese, Language::English}) {
        UseLanguage(language);
        CAboutDlg box(sink);
        box.show();
        for (QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue;
            if (label->wordWrap())
                EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
            else
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        }
    }
    UseLanguage(Language::Japanese);
    EXPECT_EQ(CRangeSetupDlg(sink).windowTitle(), "ﾚﾝｼﾞ拡張");
    EXPECT_EQ(CRangeSetupDlg(sink).TemplateId(), 137);
}

TEST_F(ViewDialogsTest, HelpFindsTheManualNextToTheProgram)
{
    std::filesystem::create_directories(dir.Path() / "manual" / "ja");
    WriteFileBytes(dir.File("manual/ja/index.html"), "<html></html>");
    const QString programDir = QString::fromStdString(dir.Path().string());
    EXPECT_EQ(ManualIndexPath(programDir, "en"), programDir + "/manual/ja/index.html") << "Japanese when no English";
    std::filesystem::create_directories(dir.Path() / "manual" / "en");
    WriteFileBytes(dir.File("manual/en/index.html"), "<html></html>");
    EXPECT_EQ(ManualIndexPath(programDir, "en"), programDir + "/manual/en/index.html");
    EXPECT_EQ(ManualIndexPath(programDir + "/nowhere", "ja"), QString());

    // Installed: bin/tonmira and share/tonmira/manual.
    std::filesystem::create_directories(dir.Path() / "usr" / "bin");
    std::filesystem::create_directories(dir.Path() / "usr" / "share" / "tonmira" / "manual" / "en");
    WriteFileBytes(dir.File("usr/share/tonmira/manual/en/index.html"), "<html></html>");
    EXPECT_EQ(ManualIndexPath(programDir + "/usr/bin", "en"), programDir + "/usr/share/tonmira/manual/en/index.html");
    EXPECT_EQ(ManualIndexPath(programDir + "/usr/bin", "ja"), programDir + "/usr/share/tonmira/manual/en/index.html")
        << "the other language rather than none";

    // The manual in the window's language, whatever the system's.
    for (Language language : {Language::Japanese, Language::English}) {
        ASSERT_TRUE(UseLanguage(language));
        QString openedPath;
        EXPECT_TRUE(OpenHelpTopics(sink, [&](const QUrl& url) { return !(openedPath = url.toLocalFile()).isEmpty(); },
                                   programDir));
        EXPECT_EQ(openedPath, programDir + (language == Language::English ? "/manual/en/index.html" : "/manual/ja/index.html"));
    }
    UseLanguage(Language::Japanese);

    // The test program's folder holds no manual: the message names where it was looked for.
    int opened = 0;
    EXPECT_FALSE(OpenHelpTopics(sink, [&](const QUrl&) { return ++opened > 0; }));
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(sink.m_messages[0].rfind("マニュアルが見つかりません: ", 0), 0u);
}

}  // namespace
}  // namespace tonmira::test
