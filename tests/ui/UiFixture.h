#pragma once
// A main window on the simulated sound device, with captured messages, fixed answers to the
// document questions and a fixed clock: nothing modal is ever shown.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "audio/SimulatedBackend.h"
#include "base/MessageSink.h"
#include "collect/LocalClock.h"
#include "doc/DocTestUtil.h"
#include "ui/MainFrame.h"
#include "ui/TonmiraView.h"
#include "view/DocumentCommands.h"

namespace tonmira::test {

class FixedPrompts : public view::DocumentPrompts {
public:
    view::SaveAnswer AskSaveChanges(const std::string& question) override
    {
        m_questions.push_back(question);
        return m_answer;
    }
    std::optional<std::string> AskSavePath(const std::string& proposed) override
    {
        m_proposed.push_back(proposed);
        return m_savePath;
    }
    view::SaveAnswer m_answer = view::SaveAnswer::Cancel;
    std::optional<std::string> m_savePath;
    std::vector<std::string> m_questions;
    std::vector<std::string> m_proposed;
};

// 16-bit samples of a sine of `amplitude` at `hz`, frames x channels (both channels alike).
inline std::string SineSamples(int frames, int channels, double hz, double rate, int amplitude)
{
    std::string s;
    const double pi = 2 * std::asin(1.0);
    for (int i = 0; i < frames; ++i) {
        const int v = static_cast<int>(std::lround(amplitude * std::sin(2 * pi * hz * i / rate)));
        for (int c = 0; c < channels; ++c)
            PutU16(s, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    return s;
}

struct UiFixture : ::testing::Test {
    CapturingMessageSink sink;
    SimulatedBackend backend;
    FixedLocalClock clock{LocalDateTime{2024, 3, 5, 14, 7, 9}};
    FixedPrompts prompts;
    ScriptedPrompt textFormat{44100, 0};
    TempDir dir;
    std::unique_ptr<ui::CMainFrame> frame;

    UiFixture()
    {
        QSettings().clear();
        backend.m_bKeepOutput = false;
        frame = std::make_unique<ui::CMainFrame>(sink, backend, clock);
        frame->SetPrompts(&prompts);
        Core().m_doc.m_pFormatPrompt = &textFormat;
        frame->NewDocument();
        frame->show();
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    ~UiFixture() override
    {
        prompts.m_answer = view::SaveAnswer::No;
        frame.reset();
    }

    view::ViewCore& Core() { return frame->View().Core(); }
    CTonmiraDoc& Doc() { return Core().m_doc; }

    std::string WriteWav(const std::string& name, const std::string& samples, int channels = 2, DWORD rate = 44100,
                         int bits = 16)
    {
        WavBytes w;
        w.bits = static_cast<std::uint16_t>(bits);
        w.channels = static_cast<std::uint16_t>(channels);
        w.rate = rate;
        w.data = samples;
        const std::string path = dir.File(name);
        WriteFileBytes(path, w.Build());
        return path;
    }
};

}  // namespace tonmira::test
