#pragma once
// The recent-file list of the File menu: at most four paths, the latest first.
#include <string>
#include <vector>

namespace tonmira::view {

class RecentFiles {
public:
    static constexpr std::size_t kMaxEntries = 4;

    // A path opened or saved, kept absolute and canonical: it moves to the top (one entry per
    // file, however it was spelled); the oldest falls off.
    void Add(const std::string& path);
    // A path that could not be opened from the list is taken off it.
    void Remove(const std::string& path);
    const std::vector<std::string>& Entries() const { return m_entries; }
    void SetEntries(std::vector<std::string> entries);

    // The menu text of entry i (0-based): "&1 path".
    static std::string MenuText(std::size_t index, const std::string& path);

private:
    std::vector<std::string> m_entries;
};

}  // namespace tonmira::view
