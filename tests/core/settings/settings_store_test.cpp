#include "settings/settings_store.h"

#include "platform/file_registry.h"
#include "platform/host_file_system.h"
#include "platform/user_folders.h"
#include "settings/folder_history.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace renomiq {
namespace {

using test::TestDir;
constexpr auto HKCU = RegistryHive::CurrentUser;
constexpr auto HKCR = RegistryHive::ClassesRoot;
const char *const kKey = SettingsStore::kKey;

class SettingsStoreTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    FileRegistry registry{UserFolders::registryFile()};
    SettingsStore store{registry, fs};

    std::vector<std::string> storedFolders()
    {
        std::vector<std::string> names;
        for (int i = 0; i < 10; ++i) {
            if (auto v = registry.readValue(HKCU, kKey, "Folder" + std::to_string(i)))
                names.push_back("Folder" + std::to_string(i) + "=" + v->text);
        }
        return names;
    }
};

TEST_F(SettingsStoreTest, FreshUserGetsDefaultsAndTheKey)
{
    store.options.previewLimit = 99; // whatever was there is replaced by the defaults
    std::vector<std::string> folders;
    store.loadOptions(&folders);
    EXPECT_EQ(store.options, Options{});
    EXPECT_TRUE(folders.empty());
    EXPECT_TRUE(registry.keyExists(HKCU, kKey));

    const WindowGeometry designed{100, 120, 601, 475, false};
    EXPECT_EQ(store.loadWindowPlacement(designed, 1080), designed);
}

TEST_F(SettingsStoreTest, SavedOptionsLoadBack)
{
    Options changed;
    changed.exitAfterOperation = true;
    changed.displayResult = false;
    changed.confirm = true;
    changed.checkBox = false;
    changed.previewLimit = 1000;
    changed.nameListMax = 0;
    changed.folderListMax = 30;
    store.options = changed;
    store.saveOptions();

    SettingsStore other(registry, fs);
    other.loadOptions();
    EXPECT_EQ(other.options, changed);
    EXPECT_EQ(registry.readValue(HKCU, kKey, "Prenum")->dword, 1000u);
    EXPECT_EQ(registry.readValue(HKCU, kKey, "Options3")->dword, 0u);
}

// The options' values as the registry file holds them: one per option, each
// a dword.
TEST_F(SettingsStoreTest, SavedOptionsInTheRegistryFile)
{
    Options changed;
    changed.exitAfterOperation = true;
    changed.autoCopy = false;
    changed.contextMenu = false;
    changed.previewMaximized = true;
    changed.previewLimit = 1000;
    changed.nameListMax = 0;
    changed.folderListMax = 30;
    store.options = changed;
    store.saveOptions();

    const std::string file = dir.readFile(".config-home/Corvane/Renomiq/registry.reg");
    const std::string header = "\n[HKEY_CURRENT_USER\\Software\\Corvane\\renomiq]\n";
    const std::size_t start = file.find(header);
    ASSERT_NE(start, std::string::npos) << file;
    EXPECT_EQ(file.substr(start + header.size()),
              "\"Autocopy\"=dword:00000000\n"
              "\"Capevery\"=dword:00000001\n"
              "\"Checkbox\"=dword:00000001\n"
              "\"Confirm\"=dword:00000000\n"
              "\"Contextmenu\"=dword:00000000\n"
              "\"Endsound\"=dword:00000001\n"
              "\"Foldernum\"=dword:0000001e\n"
              "\"Listnum\"=dword:00000000\n"
              "\"Options1\"=dword:00000001\n"
              "\"Options2\"=dword:00000000\n"
              "\"Options3\"=dword:00000001\n"
              "\"Prenum\"=dword:000003e8\n"
              "\"PreviewMax\"=dword:00000001\n");
}

TEST_F(SettingsStoreTest, AWrongTypeEndsItsGroup)
{
    registry.writeDword(HKCU, kKey, "Options1", 1);
    registry.writeString(HKCU, kKey, "Options3", "yes"); // wrong type
    registry.writeDword(HKCU, kKey, "Confirm", 1);
    registry.writeDword(HKCU, kKey, "Prenum", 50);
    registry.writeDword(HKCU, kKey, "Listnum", 7);
    registry.writeDword(HKCU, kKey, "Foldernum", 3);

    store.options.confirm = false;
    store.options.autoCopy = false; // not yet read when the group ends: keeps this value
    store.loadOptions();
    EXPECT_TRUE(store.options.exitAfterOperation);
    EXPECT_FALSE(store.options.autoCopy);
    EXPECT_FALSE(store.options.confirm);
    EXPECT_EQ(store.options.previewLimit, 20);
    EXPECT_EQ(store.options.nameListMax, 7); // the second group is read on its own
    EXPECT_EQ(store.options.folderListMax, 3);

    registry.writeString(HKCU, kKey, "Foldernum", "3");
    store.loadOptions();
    EXPECT_EQ(store.options.nameListMax, 20);
    EXPECT_EQ(store.options.folderListMax, 10);
}

TEST_F(SettingsStoreTest, UsedFoldersStopAtTheFirstGapAndTheMaximum)
{
    registry.writeString(HKCU, kKey, "Folder0", "C:\\a");
    registry.writeString(HKCU, kKey, "Folder1", "C:\\b");
    registry.writeString(HKCU, kKey, "Folder3", "C:\\d");
    FolderHistory history(store);
    history.load();
    EXPECT_EQ(history.entries(), (std::vector<std::string>{"C:\\a", "C:\\b"}));
    EXPECT_TRUE(registry.valueExists(HKCU, kKey, "Folder3"));

    registry.deleteValue(HKCU, kKey, "Folder3");
    for (int i = 2; i < 5; ++i)
        registry.writeString(HKCU, kKey, "Folder" + std::to_string(i), "C:\\" + std::to_string(i));
    registry.writeDword(HKCU, kKey, "Foldernum", 3);
    FolderHistory limited(store);
    limited.load();
    EXPECT_EQ(limited.entries(), (std::vector<std::string>{"C:\\a", "C:\\b", "C:\\2"}));
    EXPECT_EQ(storedFolders(), (std::vector<std::string>{"Folder0=C:\\a", "Folder1=C:\\b", "Folder2=C:\\2"}));
}

TEST_F(SettingsStoreTest, PlacementRoundTripAndTheScreenHeightRule)
{
    store.loadOptions();
    const WindowGeometry designed{100, 100, 601, 475, false};
    store.saveWindowPlacementAndFolders({-20, 900, 800, 600, false}, {"C:\\x", "C:\\y"});

    EXPECT_EQ(store.loadWindowPlacement(designed, 1080), (WindowGeometry{-20, 900, 800, 600, false}));
    EXPECT_EQ(store.rememberedTop().value_or(-1), 900);
    // A top at or beyond the screen height is ignored; the rest still applies.
    EXPECT_EQ(store.loadWindowPlacement(designed, 900), (WindowGeometry{-20, 100, 800, 600, false}));

    // Closed maximized: only "Maximize" is written, the last normal values stay.
    store.saveWindowPlacementAndFolders({0, 0, 10, 10, true}, {});
    EXPECT_EQ(registry.readValue(HKCU, kKey, "Width")->dword, 800u);
    EXPECT_TRUE(store.loadWindowPlacement(designed, 1080).maximized);
    EXPECT_TRUE(storedFolders().empty());
}

TEST_F(SettingsStoreTest, SavingFoldersDeletesStaleValuesUpToTheFirstGap)
{
    for (int i : {0, 1, 2, 3, 5})
        registry.writeString(HKCU, kKey, "Folder" + std::to_string(i), "old");
    store.options.folderListMax = 2;
    store.saveWindowPlacementAndFolders({0, 0, 1, 1, false}, {"C:\\1", "C:\\2", "C:\\3"});
    EXPECT_EQ(storedFolders(), (std::vector<std::string>{"Folder0=C:\\1", "Folder1=C:\\2", "Folder5=old"}));
}

// The registry file, with every change that writes it counted.
class CountingRegistry : public FileRegistry {
public:
    using FileRegistry::FileRegistry;
    int changes = 0;
    bool writeValue(RegistryHive hive, const std::string &key, const std::string &name,
                    const RegistryValue &value) override
    {
        ++changes;
        return FileRegistry::writeValue(hive, key, name, value);
    }
    bool writeValues(RegistryHive hive, const std::string &key,
                     const std::vector<std::pair<std::string, RegistryValue>> &values) override
    {
        ++changes;
        return FileRegistry::writeValues(hive, key, values);
    }
    bool deleteValue(RegistryHive hive, const std::string &key, const std::string &name) override
    {
        ++changes;
        return FileRegistry::deleteValue(hive, key, name);
    }
    bool deleteValues(RegistryHive hive, const std::string &key, const std::vector<std::string> &names) override
    {
        ++changes;
        return FileRegistry::deleteValues(hive, key, names);
    }
};

TEST_F(SettingsStoreTest, ThousandsOfStaleFolderValuesGoInOneWrite)
{
    // 2,000 stored folders, written as one file (value by value would itself take seconds).
    FileRegistry::Keys keys;
    FileRegistry::Values &values = keys["HKEY_CURRENT_USER\\Software\\Corvane\\renomiq"];
    for (int i = 0; i < 2000; ++i)
        values["Folder" + std::to_string(i)] = RegistryValue::fromString("C:\\f" + std::to_string(i));
    const std::string file = FileRegistry::format(keys);
    const struct {
        const char *name;
        bool atLoad; // else at the list window's close
        int changes; // at the close, the two folders are written (unchanged) before the deletion
    } rows[] = {{"load", true, 1}, {"close", false, 2}};
    for (const auto &row : rows) {
        dir.createFiles({".config-home/Corvane/Renomiq/"});
        dir.writeFile(".config-home/Corvane/Renomiq/registry.reg", file);
        CountingRegistry counted{UserFolders::registryFile()};
        SettingsStore settings{counted, fs};
        std::vector<std::string> loaded;
        settings.loadOptions(row.atLoad ? &loaded : nullptr);
        if (row.atLoad)
            EXPECT_EQ(loaded.size(), 10u) << row.name;
        else
            settings.saveFolders({"C:\\f0", "C:\\f1"});
        EXPECT_EQ(counted.changes, row.changes) << row.name;
        EXPECT_TRUE(counted.valueExists(HKCU, kKey, row.atLoad ? "Folder9" : "Folder1")) << row.name;
        EXPECT_FALSE(counted.valueExists(HKCU, kKey, row.atLoad ? "Folder10" : "Folder2")) << row.name;
        EXPECT_FALSE(counted.valueExists(HKCU, kKey, "Folder1999")) << row.name;
    }
}

// The folder list is written in one change of the registry file, whatever its length.
TEST_F(SettingsStoreTest, TheFolderListIsOneWrite)
{
    dir.createFiles({".config-home/Corvane/Renomiq/"});
    CountingRegistry counted{UserFolders::registryFile()};
    SettingsStore settings{counted, fs};
    settings.options.folderListMax = 24;
    std::vector<std::string> first, second;
    for (int i = 0; i < 24; ++i) {
        first.push_back("C:\\a" + std::to_string(i));
        second.push_back("C:\\b" + std::to_string(i));
    }
    const struct {
        const std::vector<std::string> *folders;
        int changes;
        const char *folder23;
    } rows[] = {{&first, 1, "C:\\a23"}, {&second, 1, "C:\\b23"}};
    for (const auto &row : rows) {
        const auto changesBefore = counted.changes;
        EXPECT_TRUE(settings.saveFolders(*row.folders));
        EXPECT_EQ(counted.changes - changesBefore, row.changes);
        EXPECT_EQ(counted.readValue(HKCU, kKey, "Folder23")->text, row.folder23);
    }
}

TEST_F(SettingsStoreTest, ContextMenuKeysAndTheCheckAllFlag)
{
    store.saveOptions();
    for (const char *key : {SettingsStore::kFileHandlerKey, SettingsStore::kFolderHandlerKey})
        EXPECT_EQ(registry.readValue(HKCR, key, "")->text, "{3F1A9C52-7B4E-4D0A-9E61-5C2B8D7A4F13}") << key;

    store.options.contextMenu = false;
    store.options.checkBox = false;
    EXPECT_FALSE(store.saveOptions());
    EXPECT_FALSE(registry.keyExists(HKCR, SettingsStore::kFileHandlerKey));
    EXPECT_FALSE(registry.keyExists(HKCR, SettingsStore::kFolderHandlerKey));
    EXPECT_TRUE(registry.keyExists(HKCR, "\\Directory\\shellex\\ContextMenuHandlers"));
    EXPECT_FALSE(store.saveOptions()); // keys already absent: nothing to delete

    // Turning the check boxes on over a stored "off" checks every item, once.
    store.options.checkBox = true;
    EXPECT_TRUE(store.saveOptions());
    store.options.checkBox = false;
    store.saveOptions();
    store.options.checkBox = true;
    EXPECT_FALSE(store.saveOptions());
}

TEST_F(SettingsStoreTest, TheContextMenuOptionInstallsAndRemovesTheFileManagerMenus)
{
    // The user's folders of the test; no system folders, whatever the machine has installed.
    SettingsStore settings(registry, fs,
                           FileManagerMenus(dir.host("bin/renomiq-send"),
                                            {UserFolders::dataHome(), UserFolders::configHome(), {}, {}}));
    const char *const entries[] = {
        ".data-home/kio/servicemenus/com.corvane.Renomiq.desktop",
        ".data-home/nautilus/scripts/Renomiq/Remove",
        ".data-home/nemo/actions/renomiq-g-savesomes.nemo_action",
        ".config-home/Thunar/uca.xml",
    };
    settings.options.contextMenu = true;
    // No sender beside the program: entries that would call it are not written.
    settings.saveOptions();
    EXPECT_TRUE(registry.keyExists(HKCR, SettingsStore::kFileHandlerKey));
    for (const char *entry : entries)
        EXPECT_FALSE(dir.exists(entry)) << entry;

    dir.createFiles({"bin/"});
    dir.writeFile("bin/renomiq-send", "");
    ::chmod(dir.host("bin/renomiq-send").c_str(), 0755);
    settings.saveOptions();
    EXPECT_TRUE(registry.keyExists(HKCR, SettingsStore::kFileHandlerKey));
    for (const char *entry : entries)
        EXPECT_TRUE(dir.exists(entry)) << entry;
    EXPECT_NE(dir.readFile(".config-home/Thunar/uca.xml").find("<unique-id>renomiq-changnew</unique-id>"),
              std::string::npos);

    settings.options.contextMenu = false;
    settings.saveOptions();
    EXPECT_FALSE(registry.keyExists(HKCR, SettingsStore::kFileHandlerKey));
    for (const char *entry : entries) {
        if (std::string(entry).find("uca.xml") == std::string::npos) {
            EXPECT_FALSE(dir.exists(entry)) << entry;
        }
    }
    EXPECT_EQ(dir.readFile(".config-home/Thunar/uca.xml").find("renomiq"), std::string::npos);
}

TEST_F(SettingsStoreTest, AtStartTheMenusAreWrittenUnlessSwitchedOff)
{
    const char *const dolphin = "data/kio/servicemenus/com.corvane.Renomiq.desktop";
    dir.createFiles({"bin/"});
    SettingsStore withSender(registry, fs,
                             FileManagerMenus(dir.host("bin/renomiq-send"), {dir.host("data"), dir.host("config"), {}, {}}));
    // No sender beside the program: nothing to call, nothing written.
    withSender.refreshFileManagerMenus();
    EXPECT_FALSE(dir.exists(dolphin));

    dir.writeFile("bin/renomiq-send", "");
    ::chmod(dir.host("bin/renomiq-send").c_str(), 0755);
    registry.writeDword(HKCU, kKey, "Contextmenu", 0);
    withSender.refreshFileManagerMenus();
    EXPECT_FALSE(dir.exists(dolphin));
    registry.deleteValue(HKCU, kKey, "Contextmenu"); // never set: on by default
    withSender.refreshFileManagerMenus();
    EXPECT_TRUE(dir.exists(dolphin));
}

TEST_F(SettingsStoreTest, FoldersAndLastDir)
{
    store.loadWindowPlacement({}, 1000);
    EXPECT_EQ(store.dataFolder(), "T:\\.data-home\\Corvane\\Renomiq\\");
    EXPECT_TRUE(dir.exists(".data-home/Corvane/Renomiq"));
    EXPECT_EQ(store.installFolder().back(), '\\');

    EXPECT_EQ(store.installHostFolder(), UserFolders::installFolder());

    // "InstallDir" moves the install folder, and with it where help and sound are read.
    const struct {
        const char *installDir;
        const char *folder;
        std::string hostFolder;
    } installs[] = {
        {"C:\\opt\\renomiq", "C:\\opt\\renomiq\\", "/opt/renomiq/"},
        {"Q:\\renomiq", "Q:\\renomiq\\", UserFolders::installFolder()}, // on no drive: the program's own
        {"T:\\opt\\renomiq", "T:\\opt\\renomiq\\", dir.host("opt/renomiq/")},
        {"T:\\opt\\", "T:\\opt\\", dir.host("opt/")},
        {"", nullptr, UserFolders::installFolder()},
    };
    const std::string programFolder = store.installFolder();
    for (const auto &i : installs) {
        SCOPED_TRACE(i.installDir);
        registry.writeString(HKCU, kKey, "InstallDir", i.installDir);
        store.fixFolders();
        EXPECT_EQ(store.installFolder(), i.folder ? std::string(i.folder) : programFolder);
        EXPECT_EQ(store.installHostFolder(), i.hostFolder);
    }

    EXPECT_FALSE(store.readLastDir().has_value());
    dir.createFiles({"pics/"});
    store.writeLastDir(TestDir::win("pics\\"));
    EXPECT_EQ(store.readLastDir().value_or(""), "T:\\pics\\");
    store.writeLastDir(TestDir::win("gone\\"));
    EXPECT_FALSE(store.readLastDir().has_value());
}

TEST_F(SettingsStoreTest, FolderHistoryAddRemoveAndClear)
{
    FolderHistory history(store);
    EXPECT_EQ(history.add("C:\\Trip"), 0u);
    EXPECT_EQ(history.add("C:\\Home"), 0u);
    EXPECT_EQ(history.add("c:\\trip"), 1u); // present: keeps its place
    EXPECT_EQ(history.entries(), (std::vector<std::string>{"C:\\Home", "C:\\Trip"}));
    history.removeAt(0);
    EXPECT_EQ(history.entries(), (std::vector<std::string>{"C:\\Trip"}));

    history.save({0, 0, 1, 1, false});
    test::ScriptedPrompter prompter;
    prompter.expect(Answer::No);
    EXPECT_FALSE(history.clear(prompter));
    EXPECT_EQ(history.entries().size(), 1u);
    prompter.expect(Answer::Yes);
    EXPECT_TRUE(history.clear(prompter));
    EXPECT_TRUE(history.entries().empty());
    EXPECT_TRUE(storedFolders().empty());
    EXPECT_EQ(prompter.shown()[0], (Message{"Clear Confirmation", "Do you want to clear the Used folder list ?",
                                            MessageIcon::Question, MessageButtons::YesNo}));
}

} // namespace
} // namespace renomiq
