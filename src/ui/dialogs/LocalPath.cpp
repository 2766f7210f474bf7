#include "ui/dialogs/LocalPath.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>

namespace tonmira::ui {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString ShownPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QVariant PathSetting(const std::string& path)
{
    const QByteArray bytes = QByteArray::fromStdString(path);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return bytes;
}

std::string PathFromSetting(const QVariant& value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().toStdString();
    return LocalPath(value.toString());
}

std::string CommandLinePath(int argc, char** argv)
{
    // Not QApplication::arguments(): it decodes the bytes, and a name that is not UTF-8 would no
    // longer name the file. The language choice is the program's own option, not a file.
    for (int i = 1; i < argc && argv[i]; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lang")
            ++i;
        else if (arg.rfind("--lang=", 0) != 0)
            return arg;
    }
    return {};
}

}  // namespace tonmira::ui
