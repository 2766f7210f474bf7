#include "ui/i18n/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <memory>
#include <optional>

#include "base/Messages.h"
#include "ui/dialogs/HelpTopics.h"

namespace tonmira::ui {

namespace {

// Every text has one entry in one context: the same Japanese text reads the same everywhere,
// whichever class or function shows it (tr() of any class included).
constexpr char kContext[] = "Tonmira";

class OneContextTranslator : public QTranslator {
public:
    QString translate(const char*, const char* source, const char* disambiguation, int n) const override
    {
        return QTranslator::translate(kContext, source, disambiguation, n);
    }
};

std::unique_ptr<OneContextTranslator> g_translator;
// Qt's own texts (standard buttons, the file dialogs) in Japanese; English is their source.
std::unique_ptr<QTranslator> g_qtTranslator;
Language g_language = Language::Japanese;

std::optional<Language> Parse(const QString& value)
{
    if (value.startsWith(QLatin1String("en"), Qt::CaseInsensitive))
        return Language::English;
    if (value.startsWith(QLatin1String("ja"), Qt::CaseInsensitive))
        return Language::Japanese;
    return std::nullopt;
}

// The core's messages that carry values: %1 … %9 (FormatArgs), %d (printf), or a value appended
// to the text.
struct MessagePattern {
    const char* source;
    bool valueAppended;
};
const MessagePattern kMessagePatterns[] = {
    {msg::kAccessError, false},
    {msg::kSaveChanges, false},
    {msg::kIntegerRange, false},
    {msg::kProtectedSource, false},
    {msg::kEventLogFailed, false},
    {kMsgManualMissing, false},
    {kMsgManualNotOpened, false},
    {msg::kBandRange, false},
    {msg::kTooFewFrames, false},
};

const QRegularExpression& Placeholder()
{
    static const QRegularExpression re(QStringLiteral("%([1-9]|d)"));
    return re;
}

// The values of `message` when it is `pattern` with values in place, in the pattern's order.
std::optional<QStringList> MatchPattern(const MessagePattern& pattern, const QString& message)
{
    const QString source = QString::fromUtf8(pattern.source);
    QString regex = QStringLiteral("^");
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : Placeholder().globalMatch(source)) {
        regex += QRegularExpression::escape(source.mid(at, m.capturedStart() - at)) + QStringLiteral("(.*)");
        at = m.capturedEnd();
    }
    regex += QRegularExpression::escape(source.mid(at));
    if (pattern.valueAppended)
        regex += QStringLiteral("(.*)");
    const QRegularExpressionMatch match =
        QRegularExpression(regex + QStringLiteral("$"), QRegularExpression::DotMatchesEverythingOption).match(message);
    if (!match.hasMatch())
        return std::nullopt;
    QStringList values = match.capturedTexts();
    values.removeFirst();
    // A value that is itself a text of the program (a new document's name, "無題") reads in
    // English too; a path or a number is left as it is.
    for (QString& value : values)
        value = Tr(value.toUtf8().constData());
    return values;
}

// The translation of `pattern` with `values` in place: %n takes the value of the pattern's %n,
// each %d the next value in order, and an appended value is appended again.
QString FillPattern(const MessagePattern& pattern, const QStringList& values)
{
    const QString source = QString::fromUtf8(pattern.source);
    const QString translated = Tr(pattern.source);
    // Where each %n stood in the pattern, so that a translation may reorder them.
    QStringList byNumber(9);
    qsizetype next = 0;
    QStringList inOrder;
    for (const QRegularExpressionMatch& m : Placeholder().globalMatch(source)) {
        const QString value = next < values.size() ? values[next] : QString();
        ++next;
        if (m.captured(1) == QLatin1String("d"))
            inOrder << value;
        else
            byNumber[m.captured(1).toInt() - 1] = value;
    }
    QString out;
    qsizetype at = 0;
    qsizetype nextInOrder = 0;
    for (const QRegularExpressionMatch& m : Placeholder().globalMatch(translated)) {
        out += translated.mid(at, m.capturedStart() - at);
        if (m.captured(1) == QLatin1String("d"))
            out += nextInOrder < inOrder.size() ? inOrder[nextInOrder++] : QString();
        else
            out += byNumber[m.captured(1).toInt() - 1];
        at = m.capturedEnd();
    }
    out += translated.mid(at);
    if (pattern.valueAppended && !values.isEmpty())
        out += values.last();
    return out;
}

}  // namespace

Language ChooseLanguage(QStringList& args, const QString& environment, const QVariant& setting)
{
    std::optional<Language> fromArgs;
    for (qsizetype i = 1; i < args.size();) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--lang") && i + 1 < args.size()) {
            fromArgs = Parse(args[i + 1]);
            args.remove(i, 2);
        } else if (arg.startsWith(QLatin1String("--lang="))) {
            fromArgs = Parse(arg.mid(7));
            args.remove(i);
        } else {
            ++i;
        }
    }
    if (fromArgs)
        return *fromArgs;
    if (const auto fromEnvironment = Parse(environment))
        return *fromEnvironment;
    if (const auto fromSetting = Parse(setting.toString()))
        return *fromSetting;
    return Language::Japanese;
}

bool UseLanguage(Language language)
{
    if (g_translator) {
        QCoreApplication::removeTranslator(g_translator.get());
        g_translator.reset();
    }
    if (g_qtTranslator) {
        QCoreApplication::removeTranslator(g_qtTranslator.get());
        g_qtTranslator.reset();
    }
    g_language = Language::Japanese;
    if (language == Language::Japanese) {
        // Without the catalogue (not installed) Qt's texts stay English; the window works the same.
        auto qtTranslator = std::make_unique<QTranslator>();
        if (qtTranslator->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qtTranslator.get());
            g_qtTranslator = std::move(qtTranslator);
        }
        return true;
    }
    auto translator = std::make_unique<OneContextTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/tonmira_en.qm")))
        return false;
    QCoreApplication::installTranslator(translator.get());
    g_translator = std::move(translator);
    g_language = language;
    return true;
}

Language CurrentLanguage() { return g_language; }

QString Tr(const char* japanese) { return QCoreApplication::translate(kContext, japanese); }

QString TranslateMessage(const std::string& message)
{
    const QString text = QString::fromStdString(message);
    if (g_language == Language::Japanese)
        return text;
    const QString whole = Tr(message.c_str());
    if (whole != text)
        return whole;
    for (const MessagePattern& pattern : kMessagePatterns) {
        if (const auto values = MatchPattern(pattern, text))
            return FillPattern(pattern, *values);
    }
    return text;
}

}  // namespace tonmira::ui
