#pragma once

#include <string>
#include <vector>

namespace renomiq {

class Prompter;
class SettingsStore;
struct WindowGeometry;

// The folders that were edited, newest first, offered in the list window's
// folder box. Kept in the registry values "Folder" + index by the settings store;
// in memory the list may grow past its maximum while the program runs.
class FolderHistory {
public:
    explicit FolderHistory(SettingsStore &store) : m_store(store) {}

    const std::vector<std::string> &entries() const { return m_entries; }

    // Appends the stored folders (part of the option load at start-up).
    void load();
    // Writes the first entries, at most the maximum (part of the list window close).
    void save(const WindowGeometry &window);

    // Puts the folder on top unless an entry equal to it (without regard to
    // case) is there already; returns the index of its entry.
    std::size_t add(const std::string &folder);
    void removeAt(std::size_t index);
    // Asks, then deletes the stored values and empties the list. True when cleared.
    bool clear(Prompter &prompter);

private:
    SettingsStore &m_store;
    std::vector<std::string> m_entries;
};

} // namespace renomiq
