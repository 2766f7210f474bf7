#pragma once
// The language of the desktop program's window. The texts are written in Japanese, and Japanese is
// what it shows unless English is chosen: on the command line (--lang en), in the environment
// (TONMIRA_LANG=en) or in the settings (ui/language=en), the first of these that is given.
// English comes from a catalogue built into the program (tonmira_en.ts, compiled at build time).
// The core and tonmira-cli keep their Japanese texts; only what the window shows is translated.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <string>

namespace tonmira::ui {

enum class Language { Japanese, English };

// The language asked for by the command line (removing --lang X / --lang=X from args), the
// environment's value of TONMIRA_LANG and the setting, in that order; "en..." means English,
// "ja..." Japanese, anything else is passed over. Japanese when nothing asks.
Language ChooseLanguage(QStringList& args, const QString& environment, const QVariant& setting);

// Switches the whole application's texts (after the QApplication exists; before the windows are
// built, since a text is translated when its widget is made). False when the English catalogue
// cannot be loaded; the window then stays Japanese.
bool UseLanguage(Language language);
Language CurrentLanguage();

// A text as the window shows it: `japanese` itself, or its English translation.
QString Tr(const char* japanese);

// A message of the core (already formatted, with its values in place) as the message box shows
// it: in English the catalogue's text for its pattern, with the same values in place; unchanged
// when no pattern fits (e.g. a decoder's own English text).
QString TranslateMessage(const std::string& message);

}  // namespace tonmira::ui
