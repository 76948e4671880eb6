#include "settings/settings_store.h"

#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/user_folders.h"

#include <algorithm>
#include <variant>

namespace renomiq {

namespace {

constexpr RegistryHive HKCU = RegistryHive::CurrentUser;

enum class Read { Missing, Ok, WrongType };

// One registry value of the key, typed.
class ValueReader {
public:
    explicit ValueReader(Registry &registry) : m_registry(registry) {}

    Read dword(const std::string &name, std::uint32_t &out)
    {
        auto value = m_registry.readValue(HKCU, SettingsStore::kKey, name);
        if (!value)
            return Read::Missing;
        if (value->type != RegistryType::Dword)
            return Read::WrongType;
        out = value->dword;
        return Read::Ok;
    }

    Read text(const std::string &name, std::string &out)
    {
        auto value = m_registry.readValue(HKCU, SettingsStore::kKey, name);
        if (!value)
            return Read::Missing;
        if (value->type != RegistryType::String)
            return Read::WrongType;
        out = value->text;
        return Read::Ok;
    }

    // A boolean or integer with its default when absent; false when the value
    // has the wrong type (the guarded group ends there).
    template <typename T>
    bool read(const std::string &name, T &field, T defaultValue)
    {
        std::uint32_t raw = 0;
        switch (dword(name, raw)) {
        case Read::Missing: field = defaultValue; return true;
        case Read::WrongType: return false;
        case Read::Ok:
            if constexpr (std::is_same_v<T, bool>)
                field = raw != 0;
            else
                field = static_cast<T>(static_cast<std::int32_t>(raw));
            return true;
        }
        return false;
    }

private:
    Registry &m_registry;
};

std::string withBackslash(std::string folder)
{
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string folderValueName(int index)
{
    return "Folder" + std::to_string(index);
}

// One option's registry value: its name, the field it fills, and for a number
// its range. Loading reads them in this order, a group at a time: a value of
// the wrong type ends the reading of its group (the values after it keep what
// they held) and gives the group's numbers their defaults. Saving writes them
// all; a value's default is its field's in Options.
struct OptionValue {
    const char *name;
    std::variant<bool Options::*, int Options::*> field;
    int group;
    int minimum = 0;
    int maximum = 0;
};

const OptionValue kOptionValues[] = {
    {"Options1", &Options::exitAfterOperation, 0},
    {"Options2", &Options::dontOpenAfterSave, 0},
    {"Options3", &Options::displayResult, 0},
    {"Autocopy", &Options::autoCopy, 0},
    {"Capevery", &Options::excludeSmallWords, 0},
    {"Confirm", &Options::confirm, 0},
    {"Contextmenu", &Options::contextMenu, 0},
    {"Endsound", &Options::endSound, 0},
    {"PreviewMax", &Options::previewMaximized, 0},
    {"Checkbox", &Options::checkBox, 0},
    {"Prenum", &Options::previewLimit, 0, 1, 1000},
    {"Listnum", &Options::nameListMax, 1, 0, 100},
    {"Foldernum", &Options::folderListMax, 1, 0, 30},
};

} // namespace

SettingsStore::SettingsStore(Registry &registry, FileSystem &fileSystem)
    : SettingsStore(registry, fileSystem, FileManagerMenus::forCurrentUser())
{
}

SettingsStore::SettingsStore(Registry &registry, FileSystem &fileSystem, FileManagerMenus menus)
    : m_registry(registry), m_fileSystem(fileSystem), m_menus(std::move(menus))
{
}

void SettingsStore::refreshFileManagerMenus()
{
    std::uint32_t on = 1;
    // A program started without its sender (a lone copy) leaves the entries alone.
    // Not reported, like every registry failure: the entries are tried again at the next start.
    if (ValueReader(m_registry).dword("Contextmenu", on) != Read::WrongType && on != 0 && m_menus.senderInstalled())
        (void)m_menus.install();
}

void SettingsStore::loadOptions(std::vector<std::string> *folders)
{
    m_registry.createKey(HKCU, kKey);
    ValueReader reader(m_registry);
    const Options defaults;

    bool groupRead[] = {true, true}; // by group
    for (const OptionValue &value : kOptionValues) {
        bool &read = groupRead[value.group];
        if (read)
            std::visit([&](auto field) { read = reader.read(value.name, options.*field, defaults.*field); },
                       value.field);
    }
    for (const OptionValue &value : kOptionValues) {
        if (const auto *number = std::get_if<int Options::*>(&value.field)) {
            int &field = options.**number;
            if (!groupRead[value.group])
                field = defaults.**number;
            field = std::clamp(field, value.minimum, value.maximum);
        }
    }

    if (!folders)
        return;
    std::vector<std::string> stale; // deleted together: one write, however many
    for (int n = 0;; ++n) {
        std::string folder;
        if (reader.text(folderValueName(n), folder) != Read::Ok)
            break;
        if (n < options.folderListMax)
            folders->push_back(folder);
        else
            stale.push_back(folderValueName(n));
    }
    if (!stale.empty())
        m_registry.deleteValues(HKCU, kKey, stale);
}

bool SettingsStore::saveOptions()
{
    bool checkAll = false;
    if (options.checkBox) {
        auto stored = m_registry.readValue(HKCU, kKey, "Checkbox");
        const bool storedOff = stored && stored->type == RegistryType::Dword && stored->dword == 0;
        if (storedOff && m_checkAllPending) {
            checkAll = true;
            m_checkAllPending = false;
        }
    }
    for (const OptionValue &value : kOptionValues) {
        const std::uint32_t dword = std::visit(
            [&](auto field) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(options.*field)); },
            value.field);
        m_registry.writeDword(HKCU, kKey, value.name, dword);
    }

    const RegistryHive HKCR = RegistryHive::ClassesRoot;
    for (const char *key : {kFileHandlerKey, kFolderHandlerKey}) {
        if (options.contextMenu) {
            m_registry.createKey(HKCR, key);
            m_registry.writeString(HKCR, key, "", kHandlerClassId);
        } else {
            const std::string handler(key);
            m_registry.createKey(HKCR, handler.substr(0, handler.rfind('\\')));
            if (m_registry.keyExists(HKCR, key))
                m_registry.deleteKey(HKCR, key);
        }
    }
    // The file managers' menu is what the keys stand for here. Like the keys,
    // a failure to write it is not reported. Entries that call a sender that
    // is not there (a lone copy of the program) would only fail when chosen.
    if (options.contextMenu) {
        if (m_menus.senderInstalled())
            (void)m_menus.install();
    } else
        (void)m_menus.remove();
    return checkAll;
}

void SettingsStore::fixFolders()
{
    ValueReader reader(m_registry);
    std::string install;
    m_installHostFolder = UserFolders::installFolder();
    if (reader.text("InstallDir", install) != Read::Ok || install.empty()) {
        install = m_fileSystem.fromHostPath(m_installHostFolder).value_or("C:\\");
    } else if (auto host = m_fileSystem.toHostPath(install)) {
        m_installHostFolder = *host + (host->back() == '/' ? "" : "/");
    }
    m_installFolder = withBackslash(install);

    m_dataFolder = m_installFolder;
    m_dataFolderBlocker.clear();
    auto dataHome = m_fileSystem.fromHostPath(UserFolders::dataHome());
    if (!dataHome)
        return;
    // The base, then each of the two levels, created when missing.
    std::string folder;
    std::string path = withBackslash(*dataHome) + "Corvane\\Renomiq";
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        folder = path.substr(0, end);
        start = end + 1;
        if (folder.size() > 2 && !m_fileSystem.folderExists(folder)) {
            if (m_fileSystem.exists(folder)) {
                // No folder: the program's files fail there, and never go
                // to the install folder instead.
                m_dataFolderBlocker = folder;
                m_dataFolder = withBackslash(path);
                return;
            }
            if (!m_fileSystem.createFolder(folder))
                return;
        }
    }
    m_dataFolder = withBackslash(folder);
}

std::string SettingsStore::dataFolderNotice(const std::string &dataFolder, const std::string &blocker)
{
    return "The data folder '" + dataFolder + "' cannot be used: '" + blocker
        + "' is not a folder. The undo log, the name history and the hand-off file cannot be written until it is one.";
}

WindowGeometry SettingsStore::loadWindowPlacement(const WindowGeometry &designed, int screenHeight)
{
    fixFolders();
    WindowGeometry g = designed;
    ValueReader reader(m_registry);
    bool maximized = false;
    const Read maximize = [&] {
        std::uint32_t raw = 0;
        const Read r = reader.dword("Maximize", raw);
        maximized = raw != 0;
        return r;
    }();
    bool ok = maximize != Read::WrongType;
    if (maximize == Read::Ok) {
        if (maximized) {
            g.maximized = true;
        } else {
            int top = g.top;
            ok = reader.read("Left", g.left, g.left) && reader.read("Top", top, g.top)
                && reader.read("Width", g.width, g.width) && reader.read("Height", g.height, g.height);
            if (top < screenHeight)
                g.top = top;
        }
    }
    if (!ok && m_dataFolderBlocker.empty())
        m_dataFolder = m_installFolder; // the guarded block failed
    m_rememberedTop = g.top;
    return g;
}

void SettingsStore::saveWindowPlacementAndFolders(const WindowGeometry &window, const std::vector<std::string> &folders)
{
    const auto writeInt = [&](const char *name, int value) {
        return m_registry.writeDword(HKCU, kKey, name, static_cast<std::uint32_t>(value));
    };
    if (window.maximized) {
        if (!writeInt("Maximize", 1))
            return;
    } else if (!writeInt("Maximize", 0) || !writeInt("Left", window.left) || !writeInt("Top", window.top)
               || !writeInt("Width", window.width) || !writeInt("Height", window.height)) {
        return;
    }
    saveFolders(folders);
}

bool SettingsStore::saveFolders(const std::vector<std::string> &folders)
{
    const int n = std::min(static_cast<int>(folders.size()), options.folderListMax);
    std::vector<std::pair<std::string, RegistryValue>> values;
    for (int i = 0; i < n; ++i)
        values.emplace_back(folderValueName(i), RegistryValue::fromString(folders[static_cast<std::size_t>(i)]));
    if (!values.empty() && !m_registry.writeValues(HKCU, kKey, values))
        return false;
    deleteFolderValues(n);
    return true;
}

void SettingsStore::writeNameListMax()
{
    m_registry.writeDword(HKCU, kKey, "Listnum", static_cast<std::uint32_t>(options.nameListMax));
}

void SettingsStore::deleteFolderValues(int first)
{
    std::vector<std::string> stale;
    for (int i = first; m_registry.valueExists(HKCU, kKey, folderValueName(i)); ++i)
        stale.push_back(folderValueName(i));
    if (!stale.empty())
        m_registry.deleteValues(HKCU, kKey, stale);
}

std::optional<std::string> SettingsStore::readLastDir()
{
    std::string folder;
    if (ValueReader(m_registry).text("LastDir", folder) == Read::Ok && m_fileSystem.folderExists(folder))
        return folder;
    return std::nullopt;
}

void SettingsStore::writeLastDir(const std::string &folder)
{
    m_registry.writeString(HKCU, kKey, "LastDir", folder);
}

} // namespace renomiq
