// The English window: every Japanese text of the program has a finished English entry in the
// catalogue (and no entry is left over), the language is chosen only when asked for, the core's
// formatted messages keep their values in English, and a window built in English shows it.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QXmlStreamReader>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "TestUtil.h"
#include "UiFixture.h"
#include "base/Messages.h"
#include "doc/TonmiraDoc.h"
#include "dsp/DetectionMetrics.h"
#include "dsp/WindowAnalysis.h"
#include "ui/dialogs/CAboutDlg.h"
#include "ui/i18n/Translation.h"
#include "view/CommandTable.h"

namespace tonmira::test {
namespace {

// Texts that are no words on screen: the settings' folder name.
const std::set<std::string> kNotShown = {"アプリケーション ウィザードで生成されたローカル アプリケーション"};

std::string Unescape(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Every string literal with a non-ASCII character in the C++ sources under src/, outside
// comments, with the file it was first seen in.
std::map<std::string, std::string> JapaneseLiterals()
{
    std::map<std::string, std::string> found;
    const std::filesystem::path src = std::filesystem::path(TONMIRA_SOURCE_DIR) / "src";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".h" && ext != ".cpp")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string text = buffer.str();
        for (std::size_t i = 0; i < text.size();) {
            if (text.compare(i, 2, "//") == 0) {
                i = text.find('\n', i);
            } else if (text.compare(i, 2, "/*") == 0) {
                i = text.find("*/", i + 2);
                i = i == std::string::npos ? i : i + 2;
            } else if (text[i] == '\'' || text[i] == '"') {
                const char quote = text[i];
                std::size_t j = i + 1;
                while (j < text.size() && text[j] != quote)
                    j += text[j] == '\\' ? 2 : 1;
                const std::string literal = text.substr(i + 1, j - i - 1);
                const bool wide = std::any_of(literal.begin(), literal.end(), [](char c) { return c & 0x80; });
                if (quote == '"' && wide && !kNotShown.count(literal))
                    found.emplace(Unescape(literal), entry.path().lexically_relative(src).string());
                i = j + 1;
            } else {
                ++i;
            }
            if (i == std::string::npos)
                break;
        }
    }
    // A menu item with a key shows its text and the key as one text, translated as one.
    for (const view::Command& command : view::Commands()) {
        auto text = found.find(command.text);
        if (command.keys[0] && command.menu != view::Menu::None && text != found.end()) {
            found.emplace(view::MenuText(command), text->second);
            found.erase(text);
        }
    }
    return found;
}

struct CatalogueEntry {
    std::string translation;
    std::string type;  // "unfinished", "obsolete", "vanished" or empty
};

std::map<std::string, CatalogueEntry> ReadCatalogue()
{
    QFile file(QStringLiteral(TONMIRA_SOURCE_DIR "/src/ui/i18n/tonmira_en.ts"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::map<std::string, CatalogueEntry> entries;
    std::string source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            EXPECT_EQ(xml.readElementText().toStdString(), "Tonmira") << "one context";
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText().toStdString();
        else if (xml.name() == QLatin1String("translation")) {
            const std::string type = xml.attributes().value(QLatin1String("type")).toString().toStdString();
            EXPECT_TRUE(entries.emplace(source, CatalogueEntry{xml.readElementText().toStdString(), type}).second)
                << "twice: " << source;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

struct English {
    English() { EXPECT_TRUE(ui::UseLanguage(ui::Language::English)); }
    ~English() { ui::UseLanguage(ui::Language::Japanese); }
};

TEST(TranslationTest, EveryTextOfTheProgramHasOneFinishedEnglishEntry)
{
    const auto literals = JapaneseLiterals();
    const auto catalogue = ReadCatalogue();
    ASSERT_GT(literals.size(), 150u);
    std::string missing;
    for (const auto& [text, file] : literals) {
        if (!catalogue.count(text))
            missing += "  (" + file + ")\n    <message>\n        <source>" + text +
                       "</source>\n        <translation>ENGLISH</translation>\n    </message>\n";
    }
    EXPECT_EQ(missing, "") << "texts without an entry in src/ui/i18n/tonmira_en.ts:\n" << missing;
    for (const auto& [source, entry] : catalogue) {
        EXPECT_TRUE(literals.count(source)) << "an entry no code uses: " << source;
        EXPECT_EQ(entry.type, "") << source;
        EXPECT_FALSE(entry.translation.empty()) << source;
    }

    // The compiled catalogue built into the program has them all.
    English english;
    for (const auto& [text, file] : literals)
        EXPECT_EQ(ui::Tr(text.c_str()).toStdString(), catalogue.count(text) ? catalogue.at(text).translation : text)
            << file;
}

TEST(TranslationTest, LanguageIsJapaneseUnlessAskedFor)
{
    using ui::Language;
    QStringList args{"tonmira", "a.wav"};
    EXPECT_EQ(ui::ChooseLanguage(args, "", QVariant()), Language::Japanese) << "whatever the locale";
    EXPECT_EQ(ui::ChooseLanguage(args, "", QVariant("en")), Language::English);
    EXPECT_EQ(ui::ChooseLanguage(args, "ja", QVariant("en")), Language::Japanese) << "environment over setting";
    EXPECT_EQ(ui::ChooseLanguage(args, "fr", QVariant("en_GB")), Language::English) << "an unknown value passes";
    EXPECT_EQ(args, QStringList({"tonmira", "a.wav"}));

    args = {"tonmira", "--lang", "en", "a.wav"};
    EXPECT_EQ(ui::ChooseLanguage(args, "ja", QVariant("ja")), Language::English) << "command line first";
    EXPECT_EQ(args, QStringList({"tonmira", "a.wav"})) << "the file stays the first argument";
    args = {"tonmira", "a.wav", "--lang=ja"};
    EXPECT_EQ(ui::ChooseLanguage(args, "en", QVariant()), Language::Japanese);
    EXPECT_EQ(args, QStringList({"tonmira", "a.wav"}));
}

TEST(TranslationTest, CoreMessagesKeepTheirValuesInEnglish)
{
    const std::string question = FormatArgs(msg::kSaveChanges, {"/tmp/a b.wav"});
    EXPECT_EQ(ui::TranslateMessage(question).toStdString(), question) << "Japanese by default";

    English english;
    EXPECT_EQ(ui::TranslateMessage(question).toStdString(), "Save changes to /tmp/a b.wav?");
    EXPECT_EQ(ui::TranslateMessage(FormatArgs(msg::kIntegerRange, {"1", "1000000"})).toStdString(),
              "Please enter an integer from 1 to 1000000.");
    EXPECT_EQ(ui::TranslateMessage(msg::kNotPcm).toStdString(), "This is not PCM data!");
    EXPECT_EQ(ui::TranslateMessage("Could not open file (hr=0x80004005).").toStdString(),
              "Could not open file (hr=0x80004005).")
        << "a decoder's own English text passes";

    // The messages the analysis formats itself, as it formats them.
    std::string band;
    EXPECT_FALSE(CheckDialogBandEdges(MetricsBand{-5, 100, 0}, 44100, band));
    EXPECT_EQ(ui::TranslateMessage(band).toStdString(), "Please enter a value from 0 to 22050!");
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    EXPECT_FALSE(WindowAnalysis::FftSizeFitsTake(doc, 4096, sink));
    ASSERT_EQ(sink.m_messages.size(), 1u);
    EXPECT_EQ(ui::TranslateMessage(sink.m_messages[0]).toStdString(), "Not enough data! Number of samples = 0");
}

TEST(TranslationTest, TheSystemsReasonStaysUnderTheTranslatedMessage)
{
    TempDir dir;
    CapturingMessageSink sink;
    CTonmiraDoc doc{sink};
    const std::string path = dir.File("gone/take.wav");
    EXPECT_FALSE(doc.OnSaveDocument(path));
    ASSERT_FALSE(sink.m_messages.empty());
    English english;
    EXPECT_EQ(ui::TranslateMessage(sink.m_messages.back()).toStdString(),
              "An unknown error occurred while accessing " + path + ".\n" + std::strerror(ENOENT));
}

using EnglishWindowTest = UiFixture;

TEST_F(EnglishWindowTest, WindowBuiltInEnglishShowsEnglish)
{
    English english;
    CapturingMessageSink messages;
    ui::CMainFrame window(messages, backend, clock);
    window.NewDocument();
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "Recordin&g/Playback", "&Position", "&Options", "&View", "&Help"}));
    EXPECT_EQ(window.Action(57601)->text(), "&Open...\tCtrl+O");
    EXPECT_EQ(window.Action(57601)->statusTip(), "Open an existing file");
    EXPECT_EQ(window.Action(32772)->text(), "Semi-Log &Graph");
    EXPECT_EQ(window.windowTitle(), "Untitled - Tonmira");
    // Each English item is reached by a letter of its own words, one letter per item of a menu.
    for (QAction* popup : window.menuBar()->actions()) {
        QSet<QChar> letters;
        for (QAction* item : popup->menu()->actions()) {
            const QString text = item->text().section('\t', 0, 0);
            // Recent files are numbered; their placeholder has no key at all.
            if (item->isSeparator() || text.isEmpty() || (text.startsWith('&') && text[1].isDigit()) ||
                item->data().toInt() == view::kCmdRecentFile)
                continue;
            const int amp = text.indexOf('&');
            EXPECT_TRUE(amp >= 0 && text[amp + 1].isLetter() && !text.contains('(')) << text.toStdString();
            if (amp >= 0) {
                EXPECT_FALSE(letters.contains(text[amp + 1].toLower())) << text.toStdString();
            }
            letters.insert(text[amp + 1].toLower());
        }
    }
    QStringList labels;
    for (QLabel* label : window.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Samples (N)")) << labels.join('|').toStdString();
    EXPECT_TRUE(labels.contains("Fund. 5"));
    EXPECT_EQ(ui::CAboutDlg(messages).windowTitle(), "About Tonmira");

    // The fixture's window, built before, stays as it was built: Japanese.
    EXPECT_EQ(frame->menuBar()->actions().first()->text(), "ﾌｧｲﾙ(&F)");
}

}  // namespace
}  // namespace tonmira::test
