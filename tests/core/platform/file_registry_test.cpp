#include "platform/file_registry.h"

#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;

const char kKey[] = "\\Software\\Corvane\\renomiq";
constexpr auto HKCU = RegistryHive::CurrentUser;
constexpr auto HKCR = RegistryHive::ClassesRoot;

class FileRegistryTest : public ::testing::Test {
protected:
    TestDir dir;
    std::string file = dir.configHome() + "/Corvane/Renomiq/registry.reg";
    FileRegistry registry{file};
};

TEST_F(FileRegistryTest, FreshUserHasNothingUntilAKeyIsCreated)
{
    EXPECT_FALSE(registry.keyExists(HKCU, kKey));
    EXPECT_FALSE(registry.readValue(HKCU, kKey, "Prenum").has_value());
    EXPECT_FALSE(dir.exists(".config-home/Corvane"));

    EXPECT_TRUE(registry.createKey(HKCU, kKey));
    EXPECT_TRUE(registry.keyExists(HKCU, kKey));
    EXPECT_TRUE(registry.keyExists(HKCU, "\\Software\\Corvane"));
    EXPECT_TRUE(registry.keyExists(HKCU, "software\\CORVANE\\Renomiq\\"));
    EXPECT_FALSE(registry.keyExists(HKCR, kKey));
}

TEST_F(FileRegistryTest, TypedValuesRoundTripThroughTheFile)
{
    const struct {
        const char *name;
        RegistryValue value;
    } rows[] = {
        {"Prenum", RegistryValue::fromDword(20)},
        {"Big", RegistryValue::fromDword(0xFFFFFFFFu)},
        {"LastDir", RegistryValue::fromString("C:\\home\\ann\\")},
        {"Quote", RegistryValue::fromString("say \"hi\"")},
        {"Lines", RegistryValue::fromString("a\nb\r\nc")},
        {"Bytes", RegistryValue::fromString("caf\xc3\xa9 \xff\xfe")},
        {"Empty", RegistryValue::fromString("")},
        {"", RegistryValue::fromString("{default}")},
    };
    for (const auto &row : rows)
        ASSERT_TRUE(registry.writeValue(HKCU, kKey, row.name, row.value)) << row.name;

    FileRegistry reopened(file);
    for (const auto &row : rows) {
        auto value = reopened.readValue(HKCU, kKey, row.name);
        ASSERT_TRUE(value.has_value()) << row.name;
        EXPECT_EQ(*value, row.value) << row.name;
    }
    // Value names compare without regard to case; types are kept apart.
    EXPECT_EQ(reopened.readValue(HKCU, kKey, "PRENUM")->dword, 20u);
    EXPECT_EQ(reopened.readValue(HKCU, kKey, "lastdir")->type, RegistryType::String);
}

TEST_F(FileRegistryTest, FileIsInTheRegistryExportFormat)
{
    registry.writeDword(HKCU, kKey, "Prenum", 20);
    registry.writeString(HKCU, kKey, "LastDir", "C:\\a \"b\"");
    registry.writeString(HKCR, "*\\shellex\\ContextMenuHandlers\\Renomiq", "", "{1234}");
    EXPECT_EQ(dir.readFile(".config-home/Corvane/Renomiq/registry.reg"),
              "Windows Registry Editor Version 5.00\n"
              "\n[HKEY_CLASSES_ROOT]\n"
              "\n[HKEY_CLASSES_ROOT\\*]\n"
              "\n[HKEY_CLASSES_ROOT\\*\\shellex]\n"
              "\n[HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers]\n"
              "\n[HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers\\Renomiq]\n"
              "@=\"{1234}\"\n"
              "\n[HKEY_CURRENT_USER]\n"
              "\n[HKEY_CURRENT_USER\\Software]\n"
              "\n[HKEY_CURRENT_USER\\Software\\Corvane]\n"
              "\n[HKEY_CURRENT_USER\\Software\\Corvane\\renomiq]\n"
              "\"LastDir\"=\"C:\\\\a \\\"b\\\"\"\n"
              "\"Prenum\"=dword:00000014\n");
}

TEST_F(FileRegistryTest, DeletingValuesAndKeysWithTheirSubkeys)
{
    registry.writeDword(HKCU, kKey, "Folder0", 1);
    registry.writeDword(HKCU, kKey, "Folder1", 2);
    EXPECT_TRUE(registry.deleteValue(HKCU, kKey, "folder0"));
    EXPECT_FALSE(registry.valueExists(HKCU, kKey, "Folder0"));
    EXPECT_TRUE(registry.valueExists(HKCU, kKey, "Folder1"));

    const std::string hook = "\\Directory\\shellex\\ContextMenuHandlers\\Renomiq";
    registry.writeString(HKCR, hook, "", "{1234}");
    registry.writeString(HKCR, hook + "\\Sub", "x", "y");
    EXPECT_TRUE(registry.deleteKey(HKCR, hook));
    EXPECT_FALSE(registry.keyExists(HKCR, hook));
    EXPECT_FALSE(registry.keyExists(HKCR, hook + "\\Sub"));
    EXPECT_TRUE(registry.keyExists(HKCR, "\\Directory\\shellex\\ContextMenuHandlers"));
    EXPECT_TRUE(registry.valueExists(HKCU, kKey, "Folder1"));
}

TEST_F(FileRegistryTest, ASecondInstanceSeesChanges)
{
    FileRegistry other(file);
    registry.writeDword(HKCU, kKey, "Prenum", 5);
    EXPECT_EQ(other.readValue(HKCU, kKey, "Prenum")->dword, 5u);
    other.writeDword(HKCU, kKey, "Prenum", 6);
    EXPECT_EQ(registry.readValue(HKCU, kKey, "Prenum")->dword, 6u);
}

// Files set aside one after the other, within one second: each keeps its
// own name, none replaces another.
TEST_F(FileRegistryTest, EveryDamagedFileSetAsideIsKept)
{
    const std::vector<std::string> contents{"first", "second", "third", "fourth"};
    for (const std::string &content : contents) {
        dir.createFiles({".config-home/Corvane/Renomiq/"});
        dir.writeFile(".config-home/Corvane/Renomiq/registry.reg", content);
        FileRegistry fresh(file);
        EXPECT_FALSE(fresh.keyExists(HKCU, "\\S")) << content;
    }
    std::vector<std::string> kept;
    const std::string folder = file.substr(0, file.rfind('/') + 1);
    if (DIR *d = ::opendir(folder.c_str())) {
        while (const dirent *e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name.rfind("registry.reg.damaged", 0) == 0)
                kept.push_back(dir.readFile(".config-home/Corvane/Renomiq/" + name));
        }
        ::closedir(d);
    }
    std::sort(kept.begin(), kept.end());
    std::vector<std::string> expected = contents;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(kept, expected);
}

TEST_F(FileRegistryTest, DamagedFileReadsAsEmptyAndIsKeptAside)
{
    const struct {
        const char *label;
        std::string content;
    } rows[] = {
        {"no header", "[HKEY_CURRENT_USER\\Software]\n\"a\"=dword:1\n"},
        {"binary", std::string("Windows Registry Editor Version 5.00\n\0\x01\x02", 41)},
        {"bad dword", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\S]\n\"a\"=dword:xyz\n"},
        {"unterminated", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\S]\n\"a\"=\"open\n"},
        {"value before key", "Windows Registry Editor Version 5.00\n\"a\"=dword:00000001\n"},
    };
    for (const auto &row : rows) {
        dir.createFiles({".config-home/Corvane/Renomiq/"});
        dir.writeFile(".config-home/Corvane/Renomiq/registry.reg", row.content);
        ::unlink((file + ".damaged").c_str());
        FileRegistry fresh(file);
        EXPECT_FALSE(fresh.keyExists(HKCU, "\\S")) << row.label;
        EXPECT_FALSE(fresh.readValue(HKCU, "\\S", "a").has_value()) << row.label;
        EXPECT_EQ(dir.readFile(".config-home/Corvane/Renomiq/registry.reg.damaged"), row.content) << row.label;
        EXPECT_TRUE(fresh.writeDword(HKCU, kKey, "Prenum", 7)) << row.label;
        EXPECT_EQ(FileRegistry(file).readValue(HKCU, kKey, "Prenum")->dword, 7u) << row.label;
    }
}

TEST_F(FileRegistryTest, AcceptsCrLfAndByteOrderMark)
{
    dir.createFiles({".config-home/Corvane/Renomiq/"});
    dir.writeFile(".config-home/Corvane/Renomiq/registry.reg",
                  "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_CURRENT_USER\\Software\\Corvane\\renomiq]\r\n"
                  "; a comment\r\n\"Prenum\"=dword:0000000A\r\n");
    EXPECT_EQ(registry.readValue(HKCU, kKey, "Prenum").value_or(RegistryValue{}).dword, 10u);
}

TEST_F(FileRegistryTest, TwoProcessesWritingAtOnceLoseNoValue)
{
    constexpr int kPerProcess = 60;
    registry.createKey(HKCU, kKey);
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            FileRegistry own(file);
            bool ok = true;
            for (int i = 0; i < kPerProcess; ++i)
                ok &= own.writeDword(HKCU, kKey, "P" + std::to_string(p) + "_" + std::to_string(i),
                                     static_cast<std::uint32_t>(i));
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    FileRegistry reader(file);
    int found = 0;
    for (int p = 0; p < 2; ++p) {
        for (int i = 0; i < kPerProcess; ++i) {
            auto value = reader.readValue(HKCU, kKey, "P" + std::to_string(p) + "_" + std::to_string(i));
            found += value && value->dword == static_cast<std::uint32_t>(i);
        }
    }
    EXPECT_EQ(found, 2 * kPerProcess);
}

} // namespace
} // namespace renomiq
