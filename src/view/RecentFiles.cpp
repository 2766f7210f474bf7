#include "view/RecentFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tonmira::view {

namespace {

// The one spelling of a file: absolute, without "." or "..", links resolved as far as the file
// exists, so the entry opens from any working folder and one file is one entry.
std::string CanonicalPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return path;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
    return (error ? absolute.lexically_normal() : canonical).string();
}

}  // namespace

void RecentFiles::Add(const std::string& typed)
{
    if (typed.empty())
        return;
    const std::string path = CanonicalPath(typed);
    Remove(path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > kMaxEntries)
        m_entries.resize(kMaxEntries);
}

void RecentFiles::Remove(const std::string& path)
{
    m_entries.erase(std::remove(m_entries.begin(), m_entries.end(), path), m_entries.end());
}

void RecentFiles::SetEntries(std::vector<std::string> entries)
{
    m_entries.clear();
    // Oldest first, so the first entry ends on top and duplicates collapse.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        Add(*it);
}

std::string RecentFiles::MenuText(std::size_t index, const std::string& path)
{
    std::string text = "&" + std::to_string(index + 1) + " ";
    // A literal "&" in a path would otherwise turn into a mnemonic.
    for (char c : path) {
        if (c == '&')
            text += "&&";
        else
            text += c;
    }
    return text;
}

}  // namespace tonmira::view
