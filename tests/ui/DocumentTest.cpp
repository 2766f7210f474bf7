// File commands of the window: Open, Save As in both formats, the save question, recent files.
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QSettings>
#include <QStatusBar>

#include <cstdint>

#include "UiFixture.h"
#include "ui/QtDocumentPrompts.h"
#include "ui/dialogs/DialogTestUtil.h"
#include "doc/TonmiraDoc.h"
#include "ui/dialogs/LocalPath.h"
#include "view/CommandIds.h"

namespace tonmira::test {
namespace {

using DocumentTest = UiFixture;

TEST_F(DocumentTest, OpenThenSaveAsWavAndTextRoundTrip)
{
    const std::string samples = SineSamples(3000, 2, 1000, 44100, 12000);
    const std::string wav = WriteWav("in.wav", samples);
    ASSERT_TRUE(frame->OpenFile(wav));

    prompts.m_savePath = dir.File("copy.wav");
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileSaveAs));
    EXPECT_EQ(ReadFileBytes(dir.File("copy.wav")), ReadFileBytes(wav));
    EXPECT_EQ(frame->windowTitle(), "copy.wav - Tonmira");
    EXPECT_EQ(prompts.m_proposed.back(), wav);

    prompts.m_savePath = dir.File("copy.txt");
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileSaveAs));
    const std::string text = ReadFileBytes(dir.File("copy.txt"));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "0, 0\r\n");

    // The text file comes back as the same take (rate and bits from the format question).
    ASSERT_TRUE(frame->OpenFile(dir.File("copy.txt")));
    EXPECT_EQ(textFormat.m_nAsked, 1);
    ASSERT_EQ(Doc().m_nSamples, 3000u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Doc().m_pData), samples.size()), samples);
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST_F(DocumentTest, SaveQuestionBeforeTheTakeIsReplaced)
{
    const std::string wav = WriteWav("take.wav", SineSamples(5000, 2, 440, 44100, 9000));
    ASSERT_TRUE(frame->OpenFile(wav));
    Doc().SetModifiedFlag();

    prompts.m_answer = view::SaveAnswer::Cancel;
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileNew));
    ASSERT_EQ(prompts.m_questions.size(), 1u);
    EXPECT_EQ(prompts.m_questions[0], wav + " への変更を保存しますか?");
    EXPECT_TRUE(Doc().HasTake());  // cancelled: nothing happened

    // Yes saves first (the file gets the edited take), then the new document is empty.
    Doc().m_nStartMark = 1000;
    Doc().m_nEndMark = 2999;
    ASSERT_TRUE(Doc().TruncateToMarks());
    prompts.m_answer = view::SaveAnswer::Yes;
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileNew));
    EXPECT_FALSE(Doc().HasTake());
    EXPECT_EQ(frame->windowTitle(), "無題 - Tonmira");
    ASSERT_TRUE(frame->OpenFile(wav));
    EXPECT_EQ(Doc().m_nSamples, 2000u);

    // No drops the change.
    Doc().SetModifiedFlag();
    prompts.m_answer = view::SaveAnswer::No;
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileNew));
    EXPECT_FALSE(Doc().HasTake());
    ASSERT_TRUE(frame->OpenFile(wav));
    EXPECT_EQ(Doc().m_nSamples, 2000u);

    // A new document without a take keeps the range shown; an opened take brings its whole band.
    Core().m_display.m_nMinFreq = 100;
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileNew));
    EXPECT_EQ(Core().m_display.m_nMinFreq, 100);
    ASSERT_TRUE(frame->OpenFile(wav));
    EXPECT_EQ(Core().m_display.m_nMinFreq, 0);

    // Cancelling the question before an Open keeps the take and the view as they were.
    Core().m_display.m_nMinFreq = 100;  // a first update would put it back to 0
    Doc().SetModifiedFlag();
    prompts.m_answer = view::SaveAnswer::Cancel;
    EXPECT_FALSE(frame->OpenFile(WriteWav("other.wav", SineSamples(5000, 1, 440, 44100, 9000), 1)));
    EXPECT_EQ(Doc().m_nSamples, 2000u);
    EXPECT_EQ(Core().m_display.m_nMinFreq, 100);
    EXPECT_EQ(frame->Recent().Entries().front(), wav);

    // Closing the window asks too; Cancel keeps it open.
    Doc().SetModifiedFlag();
    prompts.m_answer = view::SaveAnswer::Cancel;
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
}

// The take on screen stays whole until the new one is read: a file that fails, or a read called
// off with Esc, leaves the take, its marks, the modified flag and the title as they were; while
// the file is read, what would touch the take waits.
TEST_F(DocumentTest, AFailedOrCalledOffOpenKeepsTheTakeItWouldHaveReplaced)
{
    const std::string good = WriteWav("good.wav", SineSamples(5000, 2, 440, 44100, 9000));
    ASSERT_TRUE(frame->OpenFile(good));
    Doc().m_nStartMark = 100;
    Doc().m_nEndMark = 3999;
    Doc().SetModifiedFlag();
    prompts.m_answer = view::SaveAnswer::No;
    const BYTE* take = Doc().m_pData;
    auto unchanged = [&](const char* when) {
        EXPECT_EQ(Doc().m_pData, take) << when;
        EXPECT_EQ(Doc().m_nSamples, 5000u) << when;
        EXPECT_EQ(Doc().m_nStartMark, 100u) << when;
        EXPECT_EQ(Doc().m_nEndMark, 3999u) << when;
        EXPECT_TRUE(Doc().IsModified()) << when;
        EXPECT_EQ(Doc().m_strFileName, good) << when;
        EXPECT_EQ(frame->windowTitle(), "good.wav - Tonmira") << when;
    };

    WriteFileBytes(dir.File("bad.wav"), "RIFF....WAVEjunk");
    EXPECT_EQ(frame->OpenAndWait(dir.File("bad.wav")), view::OpenResult::Failed);
    ASSERT_FALSE(sink.m_messages.empty());
    EXPECT_EQ(sink.m_messages.back(), dir.File("bad.wav") + " へのアクセス中に不明なエラーが発生しました。");
    unchanged("after a failed open");

    sink.m_messages.clear();
    std::optional<view::OpenResult> result;
    ASSERT_TRUE(frame->StartOpen(WriteWav("other.wav", SineSamples(7000, 1, 440, 44100, 9000), 1),
                                 [&](view::OpenResult r) { result = r; }));
    EXPECT_FALSE(frame->Dispatch(view::kCmdTruncate));
    EXPECT_FALSE(frame->QueryCommand(view::kCmdFileOpen).m_bEnable);
    EXPECT_FALSE(frame->StartOpen(good)) << "one read at a time";
    EXPECT_TRUE(frame->QueryCommand(view::kCmdAppExit).m_bEnable);
    QTest::keyClick(frame.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 10000));
    EXPECT_EQ(*result, view::OpenResult::Cancelled);
    EXPECT_FALSE(frame->IsLoading());
    EXPECT_TRUE(sink.m_messages.empty());
    unchanged("after Esc");
    EXPECT_TRUE(frame->Dispatch(view::kCmdTruncate)) << "the commands are back";
}

TEST_F(DocumentTest, RecentFilesKeepFourAndSurviveTheWindow)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 5; ++i) {
        paths.push_back(WriteWav("f" + std::to_string(i) + ".wav", SineSamples(5000, 1, 440, 44100, 9000), 1));
        ASSERT_TRUE(frame->OpenFile(paths.back()));
    }
    // Again, spelled relative to the working folder: moves to the top as the one absolute entry.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::create_directory(dir.Path() / "sub");
    std::filesystem::current_path(dir.Path());
    const bool opened = frame->OpenFile("./sub/../f2.wav");
    std::filesystem::current_path(before);
    ASSERT_TRUE(opened);
    const std::vector<std::string> expected = {paths[2], paths[4], paths[3], paths[1]};
    EXPECT_EQ(frame->Recent().Entries(), expected);

    frame.reset();
    frame = std::make_unique<ui::CMainFrame>(sink, backend, clock);
    frame->SetPrompts(&prompts);
    EXPECT_EQ(frame->Recent().Entries(), expected);
    EXPECT_TRUE(frame->QueryCommand(view::kCmdRecentFile).m_bEnable);

    // An entry that cannot be opened any more is taken off the list.
    std::filesystem::remove(paths[2]);
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecentFile));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->IsLoading(); }, 10000));
    EXPECT_EQ(frame->Recent().Entries(), (std::vector<std::string>{paths[4], paths[3], paths[1]}));
}

// A name that is not UTF-8 (Latin-1 "café" from an old archive) opens from the command line, as
// the bytes the file system holds, and stays on the recent list across windows.
TEST_F(DocumentTest, ANameThatIsNotUtf8OpensFromTheCommandLineAndTheRecentList)
{
    const std::string path = WriteWav("caf\xe9.wav", SineSamples(2000, 1, 440, 44100, 9000), 1);
    std::string program = "tonmira";
    std::string argument = path;
    std::string lang = "--lang", english = "en", langIs = "--lang=ja";
    char* argv[] = {program.data(), lang.data(), english.data(), langIs.data(), argument.data(), nullptr};
    EXPECT_EQ(ui::CommandLinePath(3, argv), "") << "a language is no file";
    ASSERT_TRUE(frame->OpenFile(ui::CommandLinePath(5, argv)));
    EXPECT_EQ(Doc().m_strFileName, path);
    EXPECT_EQ(Doc().m_nSamples, 2000u);

    frame.reset();
    frame = std::make_unique<ui::CMainFrame>(sink, backend, clock);
    frame->SetPrompts(&prompts);
    EXPECT_EQ(frame->Recent().Entries(), (std::vector<std::string>{path}));
    ASSERT_TRUE(frame->Dispatch(view::kCmdRecentFile));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame->IsLoading(); }, 10000));
    EXPECT_EQ(Doc().m_strFileName, path);
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST_F(DocumentTest, AConvertedSourceIsToldAndSaveProposesAWavBesideIt)
{
    // 24-bit stereo: the take is rounded to 16 bits, which the status bar says.
    std::string data;
    for (int i = 0; i < 2000; ++i)
        for (int c = 0; c < 2; ++c) {
            const std::int32_t v = (i % 100) * 40000 - 2000000;
            data.append(reinterpret_cast<const char*>(&v), 3);
        }
    auto u32 = [](std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::uint16_t v) { return std::string(reinterpret_cast<const char*>(&v), 2); };
    const std::string wav = "RIFF" + u32(36 + static_cast<std::uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) +
                            u16(2) + u32(48000) + u32(48000 * 6) + u16(6) + u16(24) + "data" +
                            u32(static_cast<std::uint32_t>(data.size())) + data;
    WriteFileBytes(dir.File("deep.wav"), wav);
    ASSERT_TRUE(frame->OpenFile(dir.File("deep.wav")));
    EXPECT_EQ(Doc().m_header.wBitsPerSample, 16);
    const QString notice = frame->statusBar()->currentMessage();
    EXPECT_TRUE(notice.startsWith("変換して読み込みました: 24-bit to 16-bit")) << notice.toStdString();
    EXPECT_EQ(frame->statusBar()->toolTip(), notice) << "the whole text, however narrow the window";

    // Save does not write over the 24-bit source: it asks where, proposing a WAV beside it.
    prompts.m_savePath = dir.File("deep-16bit.wav");
    ASSERT_TRUE(frame->Dispatch(view::kCmdFileSave));
    EXPECT_EQ(prompts.m_proposed.back(), dir.File("deep-16bit.wav"));
    EXPECT_EQ(ReadFileBytes(dir.File("deep.wav")), wav);
    EXPECT_EQ(ReadFileBytes(dir.File("deep-16bit.wav")).size(), 44u + 2000u * 4u);
    EXPECT_TRUE(sink.m_messages.empty());

    // A file opened as it is takes the notice away.
    ASSERT_TRUE(frame->OpenFile(dir.File("deep-16bit.wav")));
    EXPECT_EQ(frame->statusBar()->currentMessage(), "レディ");
    EXPECT_EQ(frame->statusBar()->toolTip(), "");
}

// Open shows each filter by its name and finds every format the program reads without the name
// typed; Save As offers only what it writes.
TEST_F(DocumentTest, FileDialogsOfferWhatTheProgramReadsAndWrites)
{
    for (const char* name : {"a.wav", "b.flac", "c.mp3", "d.txt"})
        WriteFileBytes(dir.File(name), "");
    QStringList shownFilters;
    QStringList listed;
    auto filters = [](QDialog* dlg) {
        QStringList items;
        auto* combo = dlg->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; combo && i < combo->count(); ++i)
            items << combo->itemText(i);
        return items;
    };
    ModalScript script({[&](QDialog* dlg) {
                            auto* files = qobject_cast<QFileDialog*>(dlg);
                            ASSERT_NE(files, nullptr);
                            shownFilters = filters(dlg);
                            files->setDirectory(QString::fromStdString(dir.Path().string()));
                            files->selectNameFilter(files->nameFilters().value(1));
                            QTest::qWait(300);  // the folder is read in the background
                            auto* view = dlg->findChild<QListView*>("listView");
                            for (int i = 0; view && i < view->model()->rowCount(view->rootIndex()); ++i)
                                listed << view->model()->index(i, 0, view->rootIndex()).data().toString();
                            dlg->reject();
                        },
                        [&](QDialog* dlg) {
                            shownFilters << "|" << filters(dlg);
                            dlg->reject();
                        }});
    frame->Dispatch(view::kCmdFileOpen);
    ui::QtDocumentPrompts(frame.get()).AskSavePath(dir.File("a.wav"));
    EXPECT_EQ(script.Remaining(), 0u);
    ASSERT_GE(shownFilters.size(), 5);
    EXPECT_EQ(shownFilters[0], "Tonmira ﾌｧｲﾙ(*.wav, *.wma)");
    EXPECT_EQ(shownFilters.mid(shownFilters.indexOf("|") + 1), (QStringList{"Wave ﾌｧｲﾙ(*.wav)", "ﾃｷｽﾄ ﾌｧｲﾙ(*.txt)"}));
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"a.wav", "b.flac", "c.mp3", "d.txt"})) << listed.join(' ').toStdString();
}

}  // namespace
}  // namespace tonmira::test
