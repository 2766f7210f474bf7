#include "doc/FileFormat.h"

namespace tonmira {

FileFormat FileFormatOf(const std::string& path)
{
    std::string tail = path.size() > 3 ? path.substr(path.size() - 3) : path;
    for (char& c : tail)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');  // ASCII only: a multibyte name stays untouched
    if (tail == "WAV")
        return FileFormat::Wav;
    if (tail == "WMA")
        return FileFormat::Wma;
    return FileFormat::Text;
}

}  // namespace tonmira
