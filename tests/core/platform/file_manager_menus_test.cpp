// The file managers' "Renomiq" menu in a temporary home: each entry where its
// file manager reads it, valid in its format, installed and removed again.
#include "platform/file_manager_menus.h"

#include "platform/host_io.h"
#include "support/run_process.h"
#include "support/test_dir.h"

#include <QString>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;

// One <action> of a uca.xml, as Thunar reads it.
struct ThunarAction {
    std::string uniqueId, name, submenu, command;
    bool operator==(const ThunarAction &) const = default;
};

// Parses uca.xml as XML; fails the test when it is not well-formed.
std::vector<ThunarAction> parseUca(const std::string &xml)
{
    std::vector<ThunarAction> actions;
    QXmlStreamReader reader(QString::fromStdString(xml));
    std::string *field = nullptr;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QString tag = reader.name().toString();
            if (tag == QStringLiteral("action"))
                actions.emplace_back();
            else if (!actions.empty() && tag == QStringLiteral("unique-id"))
                field = &actions.back().uniqueId;
            else if (!actions.empty() && tag == QStringLiteral("name"))
                field = &actions.back().name;
            else if (!actions.empty() && tag == QStringLiteral("submenu"))
                field = &actions.back().submenu;
            else if (!actions.empty() && tag == QStringLiteral("command"))
                field = &actions.back().command;
        } else if (reader.isCharacters() && field) {
            *field += reader.text().toString().toStdString();
        } else if (reader.isEndElement()) {
            field = nullptr;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << "\n" << xml;
    return actions;
}

std::string read(const std::string &hostPath)
{
    auto content = readHostFile(hostPath, std::size_t{1} << 30);
    return content ? *content : "<missing>";
}

mode_t modeOf(const std::string &hostPath)
{
    struct stat st {};
    return ::stat(hostPath.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

const char kUserUca[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
                        "\t<icon>utilities-terminal</icon>\n\t<name>Open Terminal Here</name>\n"
                        "\t<unique-id>1580000000000000-1</unique-id>\n\t<command>exo-open --launch TerminalEmulator</command>\n"
                        "\t<description>Example for a custom action</description>\n\t<patterns>*</patterns>\n"
                        "\t<startup-notify/>\n\t<directories/>\n</action>\n</actions>\n";

const ThunarAction kUserAction{"1580000000000000-1", "Open Terminal Here", "", "exo-open --launch TerminalEmulator"};

class FileManagerMenusTest : public ::testing::Test {
protected:
    TestDir dir;
    // A sender path with a blank and a quote, to prove the quoting of every format.
    std::string sender = dir.host("my apps/it's/renomiq-send");
    FileManagerMenus menus{sender, {dir.host("data"), dir.host("config"), {dir.host("xdg")}, {}}};

    // Ours, for the data folder of this test or of another home.
    std::vector<ThunarAction> ours(const TestDir *home = nullptr) const
    {
        const std::string command = "/bin/sh '" + (home ? *home : dir).host("data/Corvane/Renomiq/menu-entry.sh") + "' ";
        return {
            {"renomiq-removpart", "Remove", "Renomiq", command + "Removpart %F"},
            {"renomiq-replapart", "Replace", "Renomiq", command + "Replapart %F"},
            {"renomiq-addnewnum", "Insert", "Renomiq", command + "Addnewnum %F"},
            {"renomiq-changnew", "Change", "Renomiq", command + "Changnew %F"},
            {"renomiq-changexten", "Extension", "Renomiq", command + "Changexten %F"},
            {"renomiq-savealls", "Save names of folder", "Renomiq", command + "Savealls %F"},
            {"renomiq-savesomes", "Save names of files", "Renomiq", command + "Savesomes %F"},
        };
    }
};

TEST_F(FileManagerMenusTest, EveryEntryWhereItsFileManagerReadsIt)
{
    dir.createFiles({"config/Thunar/"});
    dir.writeFile("config/Thunar/uca.xml", kUserUca);
    ASSERT_TRUE(menus.install()) << menus.install().error().message;

    // Dolphin: one executable service menu with a "Renomiq" submenu.
    const std::string dolphin = dir.host("data/kio/servicemenus/com.corvane.Renomiq.desktop");
    EXPECT_EQ(modeOf(dolphin), 0755u);
    const test::ProcessResult valid = test::runProcess({"desktop-file-validate", dolphin});
    EXPECT_EQ(valid.exitCode, 0) << valid.output;
    const std::string service = read(dolphin);
    EXPECT_NE(service.find("\nX-KDE-Submenu=Renomiq\n"), std::string::npos) << service;
    EXPECT_NE(service.find("\nTryExec=" + dir.host("my apps/it's/renomiq-send") + "\n"), std::string::npos) << service;
    EXPECT_NE(service.find("\nActions=a-removpart;b-replapart;c-addnewnum;d-changnew;e-changexten;f-savealls;"
                           "g-savesomes;\n"),
              std::string::npos);
    EXPECT_NE(service.find("\n[Desktop Action g-savesomes]\nName=Save names of files\nIcon=com.corvane.Renomiq\nExec=\""
                           + dir.host("my apps/it's/renomiq-send") + "\" Savesomes %F\n"),
              std::string::npos)
        << service;

    // Nautilus: a "Renomiq" folder of executable scripts, one per command.
    EXPECT_EQ(dir.list("data/nautilus/scripts/Renomiq"),
              (std::vector<std::string>{"Change", "Extension", "Insert", "Remove", "Replace", "Save names of files",
                                        "Save names of folder"}));
    EXPECT_EQ(modeOf(dir.host("data/nautilus/scripts/Renomiq/Insert")), 0755u);

    // Nemo: one action file per command.
    EXPECT_EQ(dir.list("data/nemo/actions"),
              (std::vector<std::string>{"renomiq-a-removpart.nemo_action", "renomiq-b-replapart.nemo_action",
                                        "renomiq-c-addnewnum.nemo_action", "renomiq-d-changnew.nemo_action",
                                        "renomiq-e-changexten.nemo_action", "renomiq-f-savealls.nemo_action",
                                        "renomiq-g-savesomes.nemo_action"}));
    EXPECT_EQ(read(dir.host("data/nemo/actions/renomiq-e-changexten.nemo_action")),
              "[Nemo Action]\n# Written by Renomiq.\nName=Renomiq: Extension\n"
              "Comment=Change the extension of the selected files\nExec=\""
                  + dir.host("my apps/it's/renomiq-send")
                  + "\" Changexten %F\nIcon-Name=com.corvane.Renomiq\nSelection=notnone\nExtensions=any;\n"
                    "Dependencies="
                  + dir.host("my apps/it's/renomiq-send") + ";\n");

    // Thunar: the user's own action first, ours after it, all in a "Renomiq" submenu.
    std::vector<ThunarAction> expected{kUserAction};
    for (const ThunarAction &a : ours())
        expected.push_back(a);
    EXPECT_EQ(parseUca(read(dir.host("config/Thunar/uca.xml"))), expected);

    // Installing again changes nothing and duplicates nothing.
    const std::string first = read(dir.host("config/Thunar/uca.xml"));
    ASSERT_TRUE(menus.install());
    EXPECT_EQ(read(dir.host("config/Thunar/uca.xml")), first);
    EXPECT_EQ(parseUca(first).size(), 8u);
}

TEST_F(FileManagerMenusTest, ANautilusScriptHandsItsSelectionToTheSender)
{
    ASSERT_TRUE(menus.install());
    // A stand-in sender that lists its arguments and the folder it ran in.
    dir.createFiles({"my apps/it's/", "shown folder/"});
    test::writeScript(sender, "pwd > '" + dir.host("called") + "'\nprintf '%s\\n' \"$@\" >> '" + dir.host("called") + "'\n");
    const test::ProcessResult run = test::runProcess(
        {dir.host("data/nautilus/scripts/Renomiq/Save names of folder"), "a b.txt", "c'd"}, dir.host("shown folder"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(dir.readFile("called"), dir.host("shown folder") + "\nSavealls\na b.txt\nc'd\n");
}

// Thunar's command of an entry, as Thunar runs it: %F replaced by the selection.
test::ProcessResult runThunarAction(const std::string &command, const std::string &selection)
{
    std::string line = command;
    line.replace(line.find("%F"), 2, "'" + selection + "'");
    return test::runProcess({"/bin/sh", "-c", line});
}

TEST_F(FileManagerMenusTest, AThunarActionHandsItsSelectionToTheSender)
{
    ASSERT_TRUE(menus.install());
    dir.createFiles({"my apps/it's/"});
    test::writeScript(sender, "printf '%s\\n' \"$@\" > '" + dir.host("called") + "'\n");
    const auto actions = parseUca(read(dir.host("config/Thunar/uca.xml")));
    ASSERT_EQ(actions.size(), 7u);
    const test::ProcessResult run = runThunarAction(actions[2].command, dir.host("a b.txt"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(dir.readFile("called"), "Addnewnum\n" + dir.host("a b.txt") + "\n");
}

// After the package is removed, the entries of Thunar and Nautilus, which
// have no rule to hide an entry whose program is gone, say so once and take
// every entry of the user's out.
TEST_F(FileManagerMenusTest, WithTheSenderGoneAnEntrySaysSoOnceAndRemovesTheEntries)
{
    const std::string message = "Renomiq is no longer installed. Its entries have been removed from the file managers' "
                                "menus.";
    // The tools the script uses, and a notification tool or none.
    dir.createFiles({"bin-plain/", "bin-notify/", "bin-no-service/"});
    for (const char *tool : {"grep", "awk", "rm", "rmdir"}) {
        for (const char *bin : {"bin-plain", "bin-notify", "bin-no-service"}) {
            const test::ProcessResult where = test::runProcess({"/bin/sh", "-c", std::string("command -v ") + tool});
            std::string path = where.output.substr(0, where.output.find('\n'));
            ASSERT_EQ(::symlink(path.c_str(), dir.host(std::string(bin) + "/" + tool).c_str()), 0) << tool;
        }
    }
    test::writeScript(dir.host("bin-notify/notify-send"), "printf '%s|' \"$@\" >> '" + dir.host("notified") + "'\n");
    // A notify-send that finds no notification service.
    test::writeScript(dir.host("bin-no-service/notify-send"), "echo 'GDBus.Error: no service' >&2; exit 1\n");
    const char *const savedPath = std::getenv("PATH");
    const std::string path = savedPath ? savedPath : "";

    const struct {
        const char *name;
        const char *bin;
        bool thunar; // run Thunar's action, else Nautilus' script
        const char *output;
        const char *notified;
    } rows[] = {
        {"Nautilus, on standard error", "bin-plain", false, "stderr", ""},
        {"Thunar, on standard error", "bin-plain", true, "stderr", ""},
        {"Nautilus, as a notification", "bin-notify", false, "", "Renomiq|MESSAGE|"},
        {"Thunar, no notification service: on standard error", "bin-no-service", true, "stderr", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ::unlink(dir.host("notified").c_str());
        dir.createFiles({"config/Thunar/", "data/nemo/actions/"});
        dir.writeFile("config/Thunar/uca.xml", kUserUca);
        dir.writeFile("data/nemo/actions/mine.nemo_action", "[Nemo Action]\nName=Mine\nExec=true\n");
        ASSERT_TRUE(menus.install());
        ::setenv("PATH", dir.host(row.bin).c_str(), 1);
        test::ProcessResult run;
        if (row.thunar) {
            const auto actions = parseUca(read(dir.host("config/Thunar/uca.xml")));
            ASSERT_EQ(actions.size(), 8u);
            run = runThunarAction(actions[1].command, dir.host("x.txt"));
        } else {
            run = test::runProcess({dir.host("data/nautilus/scripts/Renomiq/Remove"), "x.txt"});
        }
        ::setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, std::string(row.output) == "stderr" ? "Renomiq: " + message + "\n" : "");
        std::string notified = row.notified;
        if (const std::size_t at = notified.find("MESSAGE"); at != std::string::npos)
            notified.replace(at, 7, message);
        EXPECT_EQ(dir.exists("notified") ? dir.readFile("notified") : "", notified);

        // Nothing of ours is left, the user's own entries are.
        EXPECT_FALSE(dir.exists("data/kio/servicemenus/com.corvane.Renomiq.desktop"));
        EXPECT_FALSE(dir.exists("data/nautilus/scripts/Renomiq"));
        EXPECT_EQ(dir.list("data/nemo/actions"), (std::vector<std::string>{"mine.nemo_action"}));
        EXPECT_EQ(parseUca(read(dir.host("config/Thunar/uca.xml"))), (std::vector<ThunarAction>{kUserAction}));
        EXPECT_FALSE(dir.exists("data/Corvane/Renomiq/menu-entry.sh"));
    }
}

// Each file manager lists the entries by its own rule: Dolphin a service
// menu's actions by their identifiers, Nemo its actions by their file names,
// Thunar in the order of uca.xml. Each shows the program's order.
TEST_F(FileManagerMenusTest, EveryFileManagerShowsTheProgramsOrder)
{
    const std::vector<std::string> order = {"Remove", "Replace", "Insert", "Change", "Extension",
                                            "Save names of folder", "Save names of files"};
    // An entry of an older install, named before the order counted, goes.
    dir.createFiles({"data/nemo/actions/"});
    dir.writeFile("data/nemo/actions/renomiq-addnewnum.nemo_action", "[Nemo Action]\nName=Renomiq: Insert\n");
    ASSERT_TRUE(menus.install());

    const std::string service = read(dir.host("data/kio/servicemenus/com.corvane.Renomiq.desktop"));
    std::map<std::string, std::string> dolphin; // identifier -> name, in identifier order
    for (std::size_t at = service.find("[Desktop Action "); at != std::string::npos;
         at = service.find("[Desktop Action ", at + 1)) {
        const std::size_t idEnd = service.find(']', at);
        const std::size_t name = service.find("\nName=", idEnd) + 6;
        dolphin[service.substr(at + 16, idEnd - at - 16)] = service.substr(name, service.find('\n', name) - name);
    }
    std::vector<std::string> shown;
    for (const auto &[id, name] : dolphin)
        shown.push_back(name);
    EXPECT_EQ(shown, order) << "Dolphin";

    shown.clear();
    for (const std::string &file : dir.list("data/nemo/actions")) { // sorted by name, as Nemo sorts them
        const std::string action = read(dir.host("data/nemo/actions/" + file));
        const std::size_t name = action.find("\nName=Renomiq: ") + 15;
        shown.push_back(action.substr(name, action.find('\n', name) - name));
    }
    EXPECT_EQ(shown, order) << "Nemo";

    shown.clear();
    for (const ThunarAction &action : parseUca(read(dir.host("config/Thunar/uca.xml"))))
        shown.push_back(action.name);
    EXPECT_EQ(shown, order) << "Thunar";
}

TEST_F(FileManagerMenusTest, AFirstUcaFileKeepsTheSystemActions)
{
    dir.createFiles({"xdg/Thunar/"});
    dir.writeFile("xdg/Thunar/uca.xml", kUserUca);
    ASSERT_TRUE(menus.install());
    const auto actions = parseUca(read(dir.host("config/Thunar/uca.xml")));
    ASSERT_EQ(actions.size(), 8u);
    EXPECT_EQ(actions[0], kUserAction);

    // Without any uca.xml the file holds ours alone.
    TestDir other;
    FileManagerMenus fresh(sender, {other.host("data"), other.host("config"), {other.host("none")}, {}});
    ASSERT_TRUE(fresh.install());
    EXPECT_EQ(parseUca(read(other.host("config/Thunar/uca.xml"))), ours(&other));
}

TEST_F(FileManagerMenusTest, RemoveTakesOutOursOnly)
{
    dir.createFiles({"config/Thunar/", "data/nemo/actions/"});
    dir.writeFile("config/Thunar/uca.xml", kUserUca);
    dir.writeFile("data/nemo/actions/mine.nemo_action", "[Nemo Action]\nName=Mine\nExec=true\n");
    ASSERT_TRUE(menus.install());
    ASSERT_TRUE(menus.remove());
    EXPECT_FALSE(dir.exists("data/kio/servicemenus/com.corvane.Renomiq.desktop"));
    EXPECT_FALSE(dir.exists("data/nautilus/scripts/Renomiq"));
    EXPECT_EQ(dir.list("data/nemo/actions"), (std::vector<std::string>{"mine.nemo_action"}));
    EXPECT_EQ(parseUca(read(dir.host("config/Thunar/uca.xml"))), (std::vector<ThunarAction>{kUserAction}));
    // Removing what is gone is no failure.
    EXPECT_TRUE(menus.remove());

    // A user's own script in the Renomiq folder keeps the folder.
    ASSERT_TRUE(menus.install());
    dir.writeFile("data/nautilus/scripts/Renomiq/Mine", "#!/bin/sh\n");
    ASSERT_TRUE(menus.remove());
    EXPECT_EQ(dir.list("data/nautilus/scripts/Renomiq"), (std::vector<std::string>{"Mine"}));
}

// The user's uca.xml is rewritten where its content lives: through a symbolic
// link (a configuration kept in a dotfiles folder), with its own permissions.
TEST_F(FileManagerMenusTest, TheUcaFileKeepsItsLinkAndItsPermissions)
{
    const struct {
        const char *name;
        const char *link; // uca.xml's link text; none for a plain file
        const char *content; // the file that holds the content, relative to the test folder
        mode_t mode;
    } cases[] = {
        {"a plain file of the user's alone", nullptr, "config/Thunar/uca.xml", 0600},
        {"a relative link", "../../dotfiles/uca.xml", "dotfiles/uca.xml", 0640},
        {"an absolute link to a link", "ABSOLUTE", "dotfiles/real/uca.xml", 0664},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir home;
        home.createFiles({"config/Thunar/", "dotfiles/real/"});
        home.writeFile(c.content, kUserUca);
        ASSERT_EQ(::chmod(home.host(c.content).c_str(), c.mode), 0);
        std::string linkText;
        if (c.link && std::string(c.link) == "ABSOLUTE") {
            // uca.xml -> dotfiles/uca.xml -> real/uca.xml
            ASSERT_EQ(::symlink("real/uca.xml", home.host("dotfiles/uca.xml").c_str()), 0);
            linkText = home.host("dotfiles/uca.xml");
        } else if (c.link) {
            linkText = c.link;
        }
        const std::string uca = home.host("config/Thunar/uca.xml");
        if (!linkText.empty()) {
            ASSERT_EQ(::symlink(linkText.c_str(), uca.c_str()), 0);
        }
        FileManagerMenus m(sender, {home.host("data"), home.host("config"), {}, {}});

        for (const bool install : {true, false}) {
            SCOPED_TRACE(install ? "install" : "remove");
            ASSERT_TRUE(install ? m.install() : m.remove());
            const auto actions = parseUca(read(home.host(c.content)));
            EXPECT_EQ(actions.size(), install ? 8u : 1u);
            EXPECT_EQ(modeOf(home.host(c.content)), c.mode);
            if (!linkText.empty()) {
                std::string text(4096, '\0');
                const ssize_t n = ::readlink(uca.c_str(), text.data(), text.size());
                ASSERT_GT(n, 0) << "uca.xml is no longer a link";
                text.resize(static_cast<std::size_t>(n));
                EXPECT_EQ(text, linkText);
            }
        }
    }
}

TEST_F(FileManagerMenusTest, AnUnreadableUcaFileIsLeftAlone)
{
    dir.createFiles({"config/Thunar/"});
    const std::string broken = "<actions><action><name>half";
    dir.writeFile("config/Thunar/uca.xml", broken);
    const Status installed = menus.install();
    EXPECT_FALSE(installed);
    EXPECT_EQ(installed.error().message, "not a list of Thunar actions: " + dir.host("config/Thunar/uca.xml"));
    EXPECT_EQ(dir.readFile("config/Thunar/uca.xml"), broken);
    // The other file managers got their entries all the same.
    EXPECT_TRUE(dir.exists("data/kio/servicemenus/com.corvane.Renomiq.desktop"));
    EXPECT_FALSE(menus.remove());
    EXPECT_EQ(dir.readFile("config/Thunar/uca.xml"), broken);
}

TEST_F(FileManagerMenusTest, UcaListsInTheirOtherShapes)
{
    const struct {
        const char *name;
        const char *content;
        std::size_t userActions;
    } cases[] = {
        {"empty file", "", 0},
        {"blank file", "  \n", 0},
        {"empty list element", "<?xml version=\"1.0\"?>\n<actions/>\n", 0},
        {"ours from an older install between the user's",
         "<actions>\n<action><name>A</name><unique-id>a</unique-id></action>\n"
         "  <action><name>Old</name><unique-id>renomiq-removpart</unique-id></action>\n"
         "<action><name>B &amp; C</name><unique-id>b</unique-id></action>\n</actions>\n",
         2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir home;
        home.createFiles({"config/Thunar/"});
        home.writeFile("config/Thunar/uca.xml", c.content);
        FileManagerMenus m(sender, {home.host("data"), home.host("config"), {}, {}});
        ASSERT_TRUE(m.install());
        const auto actions = parseUca(read(home.host("config/Thunar/uca.xml")));
        ASSERT_EQ(actions.size(), c.userActions + 7);
        EXPECT_EQ(actions[c.userActions].name, "Remove");
        if (c.userActions == 2) {
            EXPECT_EQ(actions[0].name, "A");
            EXPECT_EQ(actions[1].name, "B & C");
        }
    }
}

// The user's Dolphin service menu for this test's sender, as written out.
std::string userServiceMenu(const std::string &senderPath)
{
    const std::string exec = "Exec=\"" + senderPath + "\" ";
    return "[Desktop Entry]\n# Written by Renomiq.\nType=Application\nName=Renomiq\nNoDisplay=true\n"
           "Icon=com.corvane.Renomiq\nTryExec=" + senderPath + "\nExec=\"" + senderPath + "\"\n"
           "MimeType=application/octet-stream;inode/directory;\nX-KDE-Submenu=Renomiq\n"
           "Actions=a-removpart;b-replapart;c-addnewnum;d-changnew;e-changexten;f-savealls;g-savesomes;\n"
           "\n[Desktop Action a-removpart]\nName=Remove\nIcon=com.corvane.Renomiq\n" + exec + "Removpart %F\n"
           "\n[Desktop Action b-replapart]\nName=Replace\nIcon=com.corvane.Renomiq\n" + exec + "Replapart %F\n"
           "\n[Desktop Action c-addnewnum]\nName=Insert\nIcon=com.corvane.Renomiq\n" + exec + "Addnewnum %F\n"
           "\n[Desktop Action d-changnew]\nName=Change\nIcon=com.corvane.Renomiq\n" + exec + "Changnew %F\n"
           "\n[Desktop Action e-changexten]\nName=Extension\nIcon=com.corvane.Renomiq\n" + exec + "Changexten %F\n"
           "\n[Desktop Action f-savealls]\nName=Save names of folder\nIcon=com.corvane.Renomiq\n" + exec
           + "Savealls %F\n"
             "\n[Desktop Action g-savesomes]\nName=Save names of files\nIcon=com.corvane.Renomiq\n" + exec
           + "Savesomes %F\n";
}

TEST_F(FileManagerMenusTest, NextToThePackagesEntries)
{
    // The package's entries in a system data folder, as /usr/share holds them.
    ASSERT_TRUE(FileManagerMenus("renomiq-send", {}).writeSystemEntries(dir.host("system")));
    FileManagerMenus user(sender, {dir.host("data"), dir.host("config"), {}, {dir.host("none"), dir.host("system")}});
    dir.createFiles({"data/nemo/actions/"});
    dir.writeFile("data/nemo/actions/renomiq-changnew.nemo_action", "from an install before the package");

    // On: Dolphin takes the user's file in place of the package's one of the
    // same name; Nemo would list both, so the user gets no copy.
    ASSERT_TRUE(user.install());
    const std::string userMenu = userServiceMenu(dir.host("my apps/it's/renomiq-send"));
    EXPECT_EQ(read(dir.host("data/kio/servicemenus/com.corvane.Renomiq.desktop")), userMenu);
    EXPECT_EQ(dir.list("data/nemo/actions"), std::vector<std::string>{});
    EXPECT_EQ(dir.list("data/nautilus/scripts/Renomiq").size(), 7u);

    // Off: the package's Dolphin menu is hidden by an empty one.
    ASSERT_TRUE(user.remove());
    const std::string hidden = dir.host("data/kio/servicemenus/com.corvane.Renomiq.desktop");
    EXPECT_EQ(read(hidden), "[Desktop Entry]\n# Written by Renomiq. Renomiq's menu is switched off.\nType=Application\n"
                            "Name=Renomiq\nNoDisplay=true\nHidden=true\nExec=renomiq-send\n");
    EXPECT_EQ(modeOf(hidden), 0755u);
    const test::ProcessResult valid = test::runProcess({"desktop-file-validate", hidden});
    EXPECT_EQ(valid.exitCode, 0) << valid.output;
    EXPECT_FALSE(dir.exists("data/nautilus/scripts/Renomiq"));

    // On again: the menu is back.
    ASSERT_TRUE(user.install());
    EXPECT_EQ(read(hidden), userMenu);
}

TEST_F(FileManagerMenusTest, SystemEntriesForThePackage)
{
    FileManagerMenus system("renomiq-send", {});
    ASSERT_TRUE(system.writeSystemEntries(dir.host("share")));
    const std::string dolphin = dir.host("share/kio/servicemenus/com.corvane.Renomiq.desktop");
    EXPECT_EQ(modeOf(dolphin), 0644u);
    const test::ProcessResult valid = test::runProcess({"desktop-file-validate", dolphin});
    EXPECT_EQ(valid.exitCode, 0) << valid.output;
    EXPECT_NE(read(dolphin).find("\nExec=renomiq-send Removpart %F\n"), std::string::npos);
    // Once the package is removed, Dolphin and Nemo show nothing of these.
    EXPECT_NE(read(dolphin).find("\nTryExec=renomiq-send\n"), std::string::npos);
    EXPECT_EQ(dir.list("share/nemo/actions").size(), 7u);
    EXPECT_NE(read(dir.host("share/nemo/actions/renomiq-f-savealls.nemo_action")).find("\nDependencies=renomiq-send;\n"),
              std::string::npos);
}

} // namespace
} // namespace renomiq
