#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "base/MessageSink.h"
#include "dsp/TextExport.h"
#include "doc/TonmiraDoc.h"
#include "dsp/FftEngine.h"
#include "dsp/WindowAnalysis.h"

using namespace tonmira;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;

namespace {

void MakeMonoTake(CTonmiraDoc& doc, const std::vector<short>& frames, UINT rate = 8000)
{
    doc.m_header.nChannels = 1;
    doc.m_header.nSamplesPerSec = rate;
    doc.m_header.wBitsPerSample = 16;
    doc.m_pData = static_cast<BYTE*>(std::malloc(frames.size() * 2));
    std::memcpy(doc.m_pData, frames.data(), frames.size() * 2);
    doc.m_pMono = doc.m_pData;
    doc.m_nSamples = static_cast<UINT>(frames.size());
    doc.m_nEndMark = doc.m_nSamples - 1;
}

int CountLinesIn(const std::string& text)
{
    int lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    return lines;
}

std::string Line(const std::vector<int>& spectrum, int lo, int hi)
{
    std::string line = std::to_string(spectrum[lo]);
    for (int k = lo + 1; k <= hi; ++k)
        line += ", " + std::to_string(spectrum[k]);
    return line + "\r\n";
}

}  // namespace

TEST(TextExport, PcmWindowStopsAtTheEndOfTheTake)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    MakeMonoTake(doc, {5, -6, 7, -32768, 32767});
    doc.m_nPosition = 2;
    ASSERT_TRUE(ExportPcmData(doc, 16, dir.File("w"), sink));
    EXPECT_EQ(ReadFileBytes(dir.File("w.pcm")), "7\r\n-32768\r\n32767\r\n");
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST(TextExport, TransitionBlocksReuseTheLastInputsAndLeaveTheLastSpectrum)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    std::vector<short> frames(40);
    for (int i = 0; i < 40; ++i)
        frames[i] = static_cast<short>((i * 7919) % 2001 - 1000);  // no period to hide a mistake
    MakeMonoTake(doc, frames);
    WindowAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    ASSERT_TRUE(analysis.SetFftSize(16, sink));
    doc.m_nStartMark = 3;
    doc.m_nEndMark = 38;  // 36 frames: blocks of 16, 16 and 4
    const int halfRate = static_cast<int>(doc.m_header.nSamplesPerSec / 2);
    ASSERT_TRUE(ExportSpectrumTransition(doc, analysis, 0, halfRate, dir.File("t.spa"), sink));

    CFftEngine fft;
    ASSERT_TRUE(fft.Init(16, 0));
    std::vector<int> spectrum(8);
    std::string expected;
    for (int start : {3, 19, 35}) {
        for (int i = 0; i < 16 && start + i <= 38; ++i)
            fft.SetSample(i, frames[start + i]);
        fft.Transform(spectrum.data());
        expected += Line(spectrum, 0, 7);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("t.spa")), expected);
    EXPECT_EQ(std::vector<int>(analysis.m_pSpectrum.get(), analysis.m_pSpectrum.get() + 8), spectrum);

    // lo above hi still writes the first value; marks the wrong way round write no line.
    ASSERT_TRUE(ExportSpectrumTransition(doc, analysis, 3000, 1000, dir.File("one.spa"), sink));
    EXPECT_EQ(CountLinesIn(ReadFileBytes(dir.File("one.spa"))), 3);
    EXPECT_EQ(ReadFileBytes(dir.File("one.spa")).find(','), std::string::npos);
    doc.m_nStartMark = 30;
    doc.m_nEndMark = 10;
    ASSERT_TRUE(ExportSpectrumTransition(doc, analysis, 3000, 1000, dir.File("none.spa"), sink));
    EXPECT_EQ(ReadFileBytes(dir.File("none.spa")), "");
    // An end mark beyond the take is limited to it.
    doc.m_nStartMark = 32;
    doc.m_nEndMark = 4000000000u;
    ASSERT_TRUE(ExportSpectrumTransition(doc, analysis, 3000, 1000, dir.File("end.spa"), sink));
    EXPECT_EQ(CountLinesIn(ReadFileBytes(dir.File("end.spa"))), 1);
    EXPECT_TRUE(sink.m_messages.empty());
}

TEST(TextExport, TransitionBinsStayInsideTheSpectrum)
{
    // 500000 x 65535 does not fit 32 bits.
    EXPECT_EQ(SpectrumTransitionBins(250000, 500000, 1000000, 131072).lo, 32767);
    EXPECT_EQ(SpectrumTransitionBins(250000, 500000, 1000000, 131072).hi, 65535);
    // A range beyond rate / 2 or below 0 is held to the bins that exist.
    EXPECT_EQ(SpectrumTransitionBins(-5000, 30000, 44100, 1024).lo, 0);
    EXPECT_EQ(SpectrumTransitionBins(-5000, 30000, 44100, 1024).hi, 511);
}

TEST(TextExport, FailuresKeepWhatWasThereAndSaySo)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc(sink);
    MakeMonoTake(doc, std::vector<short>(64, 100));
    std::vector<int> spectrum(8, 1);

    // A folder in the way of the target: nothing replaces it, the message is shown.
    std::filesystem::create_directory(dir.File("taken.spc"));
    EXPECT_FALSE(ExportSpectrumData(spectrum.data(), 16, dir.File("taken.spc"), sink));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.spc")));
    // No spectrum buffer (its allocation failed): a message, not a crash.
    EXPECT_FALSE(ExportSpectrumData(nullptr, 16, dir.File("n.spc"), sink));
    EXPECT_EQ(sink.m_messages, std::vector<std::string>(2, "スペクトラムデータの保存に失敗しました。"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("n.spc")));

    // An existing file is replaced whole, and no temporary file is left behind.
    test::WriteFileBytes(dir.File("old.spc"), std::string(1000, 'x'));
    ASSERT_TRUE(ExportSpectrumData(spectrum.data(), 16, dir.File("old.spc"), sink));
    EXPECT_EQ(ReadFileBytes(dir.File("old.spc")), "1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        entries += entry.is_regular_file();
    EXPECT_EQ(entries, 1);

    // Without a mono buffer the transition has nothing to read.
    WindowAnalysis analysis;
    ASSERT_TRUE(analysis.InitialUpdate(doc, sink));
    doc.m_pMono = nullptr;
    EXPECT_FALSE(ExportSpectrumTransition(doc, analysis, 0, 4000, dir.File("t.spa"), sink));
    EXPECT_EQ(sink.m_messages.back(), "スペクトラム推移データの保存に失敗しました。");
    doc.m_pMono = doc.m_pData;
}
