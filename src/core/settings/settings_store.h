#pragma once

#include "platform/file_manager_menus.h"
#include "settings/options.h"

#include <optional>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;
class Registry;

// The list window's position and size in pixels.
struct WindowGeometry {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;

    bool operator==(const WindowGeometry &) const = default;
};

// What the program remembers between runs, in the per-user registry under
// "\Software\Corvane\renomiq": the options, the list window's placement, the
// last folder of the file-open dialog and the used-folder values; and the two
// folders the program works with. Registry failures are never reported.
class SettingsStore {
public:
    static constexpr const char *kKey = "\\Software\\Corvane\\renomiq";
    static constexpr const char *kHandlerClassId = "{3F1A9C52-7B4E-4D0A-9E61-5C2B8D7A4F13}";
    static constexpr const char *kFileHandlerKey = "*\\shellex\\ContextMenuHandlers\\Renomiq";
    static constexpr const char *kFolderHandlerKey = "\\Directory\\shellex\\ContextMenuHandlers\\Renomiq";

    SettingsStore(Registry &registry, FileSystem &fileSystem);
    SettingsStore(Registry &registry, FileSystem &fileSystem, FileManagerMenus menus);

    Options options;

    // Reads the options; with `folders`, appends the stored used folders to it
    // (those at or past the maximum are deleted instead).
    void loadOptions(std::vector<std::string> *folders = nullptr);

    // Writes the options and the context-menu keys, and installs (when
    // renomiq-send is beside the program) or removes the file managers'
    // "Renomiq" menu with them. Returns true when every
    // item of the file list is to get its check mark: the first time in this
    // run of the program that the check boxes are switched on while the
    // registry holds them off.
    bool saveOptions();

    // The stored placement applied to the designed one; also fixes the install
    // and data folders.
    WindowGeometry loadWindowPlacement(const WindowGeometry &designed, int screenHeight);
    // The top of the last placement load, to return the window to.
    std::optional<int> rememberedTop() const { return m_rememberedTop; }
    void saveWindowPlacementAndFolders(const WindowGeometry &window, const std::vector<std::string> &folders);
    // The used-folder values alone: the first entries, at most the maximum; stale values deleted.
    bool saveFolders(const std::vector<std::string> &folders);

    // The stored folder of the last chosen files, when it still exists.
    std::optional<std::string> readLastDir();
    void writeLastDir(const std::string &folder);

    // Windows-style, with a trailing '\'.
    const std::string &installFolder() const { return m_installFolder; }
    const std::string &dataFolder() const { return m_dataFolder; }
    // What stands where the data folder or a folder above it should be and is
    // no folder (empty when there is none): the data folder stays where it
    // should be, and what is written there fails.
    const std::string &dataFolderBlocker() const { return m_dataFolderBlocker; }
    // What the user is told of it, the paths as the user sees them.
    static std::string dataFolderNotice(const std::string &dataFolder, const std::string &blocker);
    // The install folder as a host path with a trailing '/', where help and
    // sound are read from; the program's own one unless "InstallDir" names
    // another that a drive holds.
    const std::string &installHostFolder() const { return m_installHostFolder; }
    // Fixes the two folders (done by the placement load).
    void fixFolders();

    // At start: with "Contextmenu" on (or never set) and renomiq-send beside
    // the program, the file managers' menu entries are written when missing
    // or outdated (the program moved).
    void refreshFileManagerMenus();

    // Writes "Listnum" at once (the name list editor's Save changes it).
    void writeNameListMax();

    // Deletes "Folder" + index from `first` upward to the first missing index.
    void deleteFolderValues(int first = 0);

private:
    Registry &m_registry;
    FileSystem &m_fileSystem;
    FileManagerMenus m_menus;
    std::string m_installFolder;
    std::string m_installHostFolder;
    std::string m_dataFolder;
    std::string m_dataFolderBlocker;
    std::optional<int> m_rememberedTop;
    bool m_checkAllPending = true;
};

} // namespace renomiq
