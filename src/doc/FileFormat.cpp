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

std::string WithDefaultExtension(const std::string& path, const std::string& extension)
{
    const std::string::size_type slash = path.rfind('/');
    const std::string::size_type dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + "." + extension;
    return path;
}

}  // namespace tonmira
