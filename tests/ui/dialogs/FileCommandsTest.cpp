// The file dialogs of the commands: what each asks, cancel ends the command, and the files
// written from the window are the files tonmira-cli writes.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "DialogTestUtil.h"
#include "TestUtil.h"
#include "doc/DocTestUtil.h"
#include "base/MessageSink.h"
#include "doc/TonmiraDoc.h"
#include "dsp/WindowAnalysis.h"
#include "ui/dialogs/FileCommands.h"

namespace tonmira::test {
namespace {

struct FileCommandsTest : ::testing::Test {
    TempDir dir;
    CapturingMessageSink sink;
    ScriptedChooser chooser;
    CTonmiraDoc doc{sink};
    WindowAnalysis analysis;
    std::string input;

    void SetUp() override
    {
        // 3000 frames of a 16-bit stereo chord, different in each channel.
        WavBytes wav;
        std::string data;
        for (int i = 0; i < 3000; ++i) {
            double t = i / 44100.0;
            PutU16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(9000 * std::sin(2 * M_PI * 440 * t))));
            PutU16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(
                             7000 * std::sin(2 * M_PI * 660 * t) + 3000 * std::sin(2 * M_PI * 1250 * t))));
        }
        wav.data = data;
        input = dir.File("chord.wav");
        WriteFileBytes(input, wav.Build());
        ASSERT_TRUE(doc.OnOpenDocument(input));
        ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
        ASSERT_TRUE(analysis.ChangeFftSize(doc, 1024, sink));
        doc.m_nPosition = 700;
        analysis.Recalculate(doc, analysis.m_nDetectLevel);
    }

    int HalfRate() const { return static_cast<int>(doc.m_header.nSamplesPerSec / 2); }

    // Runs tonmira-cli and returns the file it wrote (its fourth argument).
    std::string Cli(const std::vector<std::string>& args)
    {
        CliResult result = RunCli(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return ReadFileBytes(args[3]);
    }
};

TEST_F(FileCommandsTest, ExportsWriteWhatTheCliWrites)
{
    chooser.m_answers = {dir.File("window"), dir.File("spectrum.spc"), dir.File("transition.spa")};
    ASSERT_TRUE(ui::OnSavePcmData(doc, analysis, chooser, sink, nullptr));
    ASSERT_TRUE(ui::OnSaveSpectrum(analysis, chooser, sink, nullptr));
    ASSERT_TRUE(ui::OnSaveSpectrumTransition(doc, analysis, 0, HalfRate(), chooser, sink, nullptr));
    EXPECT_TRUE(sink.m_messages.empty());

    auto cli = [&](const char* kind, const char* out) {
        return Cli({"export", kind, input, dir.File(out), "--pos", "700", "--fft", "1024"});
    };
    const std::string pcm = ReadFileBytes(dir.File("window.pcm"));  // extension added
    EXPECT_EQ(std::count(pcm.begin(), pcm.end(), '\n'), 1024);
    EXPECT_EQ(pcm, cli("pcm", "cli.pcm"));
    EXPECT_EQ(ReadFileBytes(dir.File("spectrum.spc")), cli("spc", "cli.spc"));
    EXPECT_EQ(ReadFileBytes(dir.File("transition.spa")), cli("spa", "cli.spa"));
}

TEST_F(FileCommandsTest, MonoSaveWritesWhatTheCliWritesAndLeavesTheDocument)
{
    doc.m_nBalance = 30;
    ASSERT_TRUE(doc.BuildMonoBuffer());
    chooser.m_answers = {dir.File("mono")};
    ASSERT_TRUE(ui::OnSaveMonoData(doc, chooser, nullptr));
    CliResult result = RunCli({"mono", input, dir.File("cli.wav"), "--balance", "30"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ReadFileBytes(dir.File("mono.wav")), ReadFileBytes(dir.File("cli.wav")));
    EXPECT_EQ(doc.m_header.nChannels, 2);
    EXPECT_EQ(doc.m_strFileName, input);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(FileCommandsTest, CancelEndsEachCommandAndFiltersConvertForQt)
{
    // No answers queued: every dialog is cancelled and nothing is written.
    EXPECT_FALSE(ui::OnSaveMonoData(doc, chooser, nullptr));
    EXPECT_FALSE(ui::OnSavePcmData(doc, analysis, chooser, sink, nullptr));
    EXPECT_FALSE(ui::OnSaveSpectrum(analysis, chooser, sink, nullptr));
    EXPECT_FALSE(ui::OnSaveSpectrumTransition(doc, analysis, 0, HalfRate(), chooser, sink, nullptr));
    EXPECT_TRUE(sink.m_messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "only the input";

    ASSERT_EQ(chooser.m_asked.size(), 4u);
    for (const ui::FileDialogSpec& spec : chooser.m_asked)
        EXPECT_FALSE(spec.m_bOpen) << spec.m_pszTitle << ": a save dialog, with the overwrite question";
    EXPECT_EQ(ui::QtNameFilters(chooser.m_asked[0].m_pszFilter), "Wav Files(*.wav) (*.wav);;All Files(*.*) (*)");
    EXPECT_EQ(ui::QtNameFilters("Two(*.a;*.b)|*.a;*.b||"), "Two(*.a;*.b) (*.a *.b)");
}

}  // namespace
}  // namespace tonmira::test
