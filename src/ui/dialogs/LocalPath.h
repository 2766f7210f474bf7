#pragma once
// File names between the core (bytes, as the file system holds them) and Qt (QString). A name
// that is not UTF-8 cannot pass through a QString unchanged, so it is taken from the command line
// and kept in the settings as the bytes themselves. UI thread only.
#include <QString>
#include <QVariant>
#include <string>

namespace tonmira::ui {

// The file system's name for a path Qt gives (a file dialog's choice).
std::string LocalPath(const QString& path);
// A path for Qt to show or to propose; a name that is not UTF-8 shows with replacement marks.
QString ShownPath(const std::string& path);

// A path as a settings value: text when it is UTF-8 (as the settings always held it), else its
// bytes. PathFromSetting reads either back.
QVariant PathSetting(const std::string& path);
std::string PathFromSetting(const QVariant& value);

// The file named on the command line (argv after QApplication took its own options, and past
// --lang ja|en or --lang=...), as bytes; "" when there is none.
std::string CommandLinePath(int argc, char** argv);

}  // namespace tonmira::ui
