#include "cli/CliHelp.h"

namespace tonmira::cli {

namespace {

constexpr std::size_t kHelpColumn = 28;
constexpr std::size_t kWidth = 80;

// text broken at blanks into lines of at most width - kHelpColumn characters, each after
// kHelpColumn blanks but the first, which continues the current line.
std::string Wrap(const std::string& text)
{
    std::string out;
    std::size_t lineLength = 0;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(' ', begin);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(begin, end - begin);
        if (lineLength > 0 && lineLength + 1 + word.size() > kWidth - kHelpColumn) {
            out += "\n" + std::string(kHelpColumn, ' ');
            lineLength = 0;
        }
        if (lineLength > 0) {
            out += ' ';
            ++lineLength;
        }
        out += word;
        lineLength += word.size();
        begin = end + 1;
    }
    return out;
}

}  // namespace

std::string FormatOptionHelp(const CliCommandTable& table)
{
    if (table.options.empty())
        return "";
    std::string out = "Options:\n";
    for (const CliOption& option : table.options) {
        std::string left = "  --" + option.name + (option.arg.empty() ? "" : " " + option.arg);
        if (left.size() + 2 > kHelpColumn)
            left += "\n" + std::string(kHelpColumn, ' ');
        else
            left.resize(kHelpColumn, ' ');
        out += left + Wrap(option.help) + "\n";
    }
    return out;
}

}  // namespace tonmira::cli
