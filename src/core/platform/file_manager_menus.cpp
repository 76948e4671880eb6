#include "platform/file_manager_menus.h"

#include "platform/host_io.h"
#include "platform/thunar_actions.h"
#include "platform/user_folders.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {

namespace {

constexpr const char *kDolphinName = "com.corvane.Renomiq.desktop";
constexpr const char *kMarker = "Written by Renomiq.";
// Thunar's custom actions: a few kilobytes each.
constexpr std::size_t kThunarFileLimit = std::size_t{16} << 20;

std::string lowered(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Dolphin lists a service menu's actions by their identifiers, Nemo its
// actions by their file names: a letter for the command's place in the
// program's order comes first, so that they keep it. Neither is shown.
std::string sortKeyOf(const FileManagerMenus::Command &command)
{
    const auto &all = FileManagerMenus::commands();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (std::string_view(all[i].keyword) == command.keyword)
            return std::string(1, static_cast<char>('a' + i));
    }
    return "z";
}

std::string dolphinActionId(const FileManagerMenus::Command &command)
{
    return sortKeyOf(command) + '-' + lowered(command.keyword);
}

// The name of a Nemo action before its file names kept the program's order.
std::string unorderedNemoFileName(const FileManagerMenus::Command &command)
{
    return "renomiq-" + lowered(command.keyword) + ".nemo_action";
}

// A program path for an Exec line of a desktop entry: quoted (with '"', '`',
// '$' and '\' escaped) when it holds anything but plain characters.
std::string execQuoted(const std::string &path)
{
    bool plain = true;
    for (char c : path)
        plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || std::string_view("/._+-").find(c) != std::string_view::npos);
    if (plain)
        return path;
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// A desktop entry's string value: '\' doubled (so "\\\"" stays as written).
std::string desktopValue(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// A shell word in single quotes.
std::string shellQuoted(const std::string &text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + '\'';
}

// Replaces a file through a temporary one, so a file manager never reads half
// an entry. Not flushed to disk: an entry lost in a crash is written again at
// the next start.
Status writeEntry(const std::string &path, const std::string &content, mode_t mode = 0644)
{
    std::string temp = path + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return errnoError(errno, "Cannot create", temp);
    std::size_t written = 0;
    bool ok = true;
    while (ok && written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n > 0)
            written += static_cast<std::size_t>(n);
        else
            ok = n < 0 && errno == EINTR;
    }
    ok = ok && ::fchmod(fd, mode) == 0;
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int code = ok ? errno : error;
        ::unlink(temp.c_str());
        return errnoError(code, "Cannot write", path);
    }
    return {};
}

// Writes the file unless it already holds exactly this, with this mode.
Status writeIfChanged(const std::string &path, const std::string &content, mode_t mode = 0644)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && (st.st_mode & 07777) == mode) {
        // A longer file is not this content: it is not read to the end.
        if (auto old = readHostFile(path, content.size()); old && *old == content)
            return {};
    }
    return writeEntry(path, content, mode);
}

// The file a path stands for: the path itself, or, through its symbolic
// links, the file they lead to (which may not exist yet).
std::string linkTarget(const std::string &path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0)
            return current;
        target.resize(static_cast<std::size_t>(n));
        if (target[0] != '/')
            target = current.substr(0, current.rfind('/') + 1) + target;
        current = std::move(target);
    }
    return current;
}

// Rewrites a file of the user's own (one that keeps more than our entries):
// through a symbolic link to the file it leads to, as users who keep their
// configuration elsewhere link it, and with the file's own permissions.
Status rewriteUserFile(const std::string &path, const std::string &content)
{
    const std::string target = linkTarget(path);
    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? st.st_mode & 07777 : 0644;
    return writeHostFileAtomic(target, content, mode);
}

Status removeHostFile(const std::string &path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return errnoError(errno, "remove", path);
    return {};
}

std::vector<std::string> splitColons(const char *value, const char *fallback)
{
    const std::string text = value && *value ? value : fallback;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(':', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start && text[start] == '/')
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

} // namespace

FileManagerMenus FileManagerMenus::forCurrentUser()
{
    return FileManagerMenus(UserFolders::programFolder() + "renomiq-send",
                            {UserFolders::dataHome(), UserFolders::configHome(),
                             splitColons(std::getenv("XDG_CONFIG_DIRS"), "/etc/xdg"),
                             splitColons(std::getenv("XDG_DATA_DIRS"), "/usr/local/share:/usr/share")});
}

const std::vector<FileManagerMenus::Command> &FileManagerMenus::commands()
{
    static const std::vector<Command> list = {
        {"Remove", "Removpart", "Remove strings from the names of the selected items"},
        {"Replace", "Replapart", "Replace a part of the names of the selected items"},
        {"Insert", "Addnewnum", "Insert strings or numbers into the names of the selected items"},
        {"Change", "Changnew", "Give the selected items new names or change their letter case"},
        {"Extension", "Changexten", "Change the extension of the selected files"},
        {"Save names of folder", "Savealls", "Save the names in the selected folder to a text file"},
        {"Save names of files", "Savesomes", "Save the names of the selected items to a text file"},
    };
    return list;
}

bool FileManagerMenus::senderInstalled() const
{
    return ::access(m_sender.c_str(), X_OK) == 0;
}

std::string FileManagerMenus::dolphinFile() const
{
    return m_folders.dataHome + "/kio/servicemenus/" + kDolphinName;
}

std::string FileManagerMenus::nautilusFolder() const
{
    return m_folders.dataHome + "/nautilus/scripts/Renomiq";
}

std::string FileManagerMenus::thunarFile() const
{
    return m_folders.configHome + "/Thunar/uca.xml";
}

std::string FileManagerMenus::nemoFolder() const
{
    return m_folders.dataHome + "/nemo/actions";
}

std::string FileManagerMenus::menuEntryScriptFile() const
{
    return m_folders.dataHome + "/Corvane/Renomiq/menu-entry.sh";
}

std::string FileManagerMenus::menuEntryScript() const
{
    std::string removals;
    for (const Command &c : commands()) {
        removals += "rm -f " + shellQuoted(nautilusFolder() + '/' + c.caption) + ' '
                    + shellQuoted(nemoFolder() + '/' + nemoFileName(c)) + '\n';
    }
    // Thunar keeps all its actions in one file: ours are taken out of it,
    // written back through a link and with its permissions, as the program does.
    return "#!/bin/sh\n# " + std::string(kMarker)
           + " Runs an entry of Renomiq's menu in Thunar and Nautilus.\n"
             "sender=" + shellQuoted(m_sender) + "\n"
             "if [ -x \"$sender\" ]; then\n"
             "    exec \"$sender\" \"$@\"\n"
             "fi\n"
             "# Renomiq has been uninstalled: no entry of it is left to do nothing.\n"
             "dolphin=" + shellQuoted(dolphinFile()) + "\n"
             "if grep -q '" + kMarker + "' \"$dolphin\" 2>/dev/null; then\n"
             "    rm -f \"$dolphin\"\n"
             "fi\n"
           + removals
           + "rmdir " + shellQuoted(nautilusFolder()) + " 2>/dev/null\n"
             "uca=" + shellQuoted(thunarFile()) + "\n"
             "if grep -q '<unique-id>" + ThunarActions::kIdPrefix + "' \"$uca\" 2>/dev/null; then\n"
             "    kept=$(awk '\n"
             "        { text = text $0 \"\\n\" }\n"
             "        END {\n"
             "            while ((start = match(text, /<action[ \\t\\n>]/)) > 0) {\n"
             "                rest = substr(text, start)\n"
             "                stop = index(rest, \"</action>\")\n"
             "                if (stop == 0)\n"
             "                    break\n"
             "                block = substr(rest, 1, stop + 8)\n"
             "                out = out substr(text, 1, start - 1)\n"
             "                text = substr(rest, stop + 9)\n"
             "                if (index(block, \"<unique-id>" + ThunarActions::kIdPrefix + "\") == 0)\n"
             "                    out = out block\n"
             "                else if (substr(text, 1, 1) == \"\\n\")\n"
             "                    text = substr(text, 2)\n"
             "            }\n"
             "            printf \"%s\", out text\n"
             "        }' \"$uca\") && printf '%s\\n' \"$kept\" > \"$uca\"\n"
             "fi\n"
             "rm -f " + shellQuoted(menuEntryScriptFile()) + "\n"
             "text='Renomiq is no longer installed. Its entries have been removed from the file managers'\\''"
             " menus.'\n"
             "# Told once: by the first way that works (no notification service makes\n"
             "# notify-send fail), standard error at the last.\n"
             "notify-send Renomiq \"$text\" 2>/dev/null ||\n"
             "    zenity --info --title=Renomiq --text=\"$text\" 2>/dev/null ||\n"
             "    printf 'Renomiq: %s\\n' \"$text\" >&2\n"
             "exit 1\n";
}

std::string FileManagerMenus::nemoFileName(const Command &command)
{
    return "renomiq-" + sortKeyOf(command) + '-' + lowered(command.keyword) + ".nemo_action";
}

std::string FileManagerMenus::dolphinServiceMenu() const
{
    // Type Application with NoDisplay keeps the file a valid desktop entry that
    // no application menu lists; Dolphin reads the actions and the submenu.
    // TryExec: Dolphin shows no service menu whose program is gone.
    std::string text = "[Desktop Entry]\n# " + std::string(kMarker) + "\nType=Application\nName=Renomiq\n"
                       "NoDisplay=true\nIcon=" + kAppId + "\nTryExec=" + desktopValue(m_sender) + "\nExec="
                       + desktopValue(execQuoted(m_sender)) + "\n"
                       "MimeType=application/octet-stream;inode/directory;\nX-KDE-Submenu=Renomiq\nActions=";
    for (const Command &c : commands())
        text += dolphinActionId(c) + ';';
    text += '\n';
    for (const Command &c : commands()) {
        text += "\n[Desktop Action " + dolphinActionId(c) + "]\nName=" + c.caption + "\nIcon=" + kAppId
                + "\nExec=" + desktopValue(execQuoted(m_sender)) + ' ' + c.keyword + " %F\n";
    }
    return text;
}

std::string FileManagerMenus::dolphinHiddenMenu()
{
    // No actions: Dolphin shows nothing of it, and nothing of the package's
    // file of the same name, which it stands for.
    return "[Desktop Entry]\n# " + std::string(kMarker)
           + " Renomiq's menu is switched off.\nType=Application\nName=Renomiq\nNoDisplay=true\nHidden=true\n"
             "Exec=renomiq-send\n";
}

bool FileManagerMenus::hasSystemEntry(const std::string &relative) const
{
    for (const std::string &folder : m_folders.dataDirs) {
        if (::access((folder + '/' + relative).c_str(), F_OK) == 0)
            return true;
    }
    return false;
}

std::string FileManagerMenus::nautilusScript(const Command &command) const
{
    // Nautilus runs a script in the shown folder with the selection as its
    // arguments; renomiq-send takes relative paths from there. The script is
    // the entry script with the keyword put first.
    std::string script = menuEntryScript();
    const std::size_t firstLine = script.find('\n') + 1;
    return script.substr(0, firstLine) + "# Renomiq: " + command.caption + ".\nset -- " + command.keyword
           + " \"$@\"\n" + script.substr(firstLine);
}

std::string FileManagerMenus::nemoAction(const Command &command) const
{
    return "[Nemo Action]\n# " + std::string(kMarker) + "\nName=Renomiq: " + command.caption + "\nComment="
           + command.description + "\nExec=" + desktopValue(execQuoted(m_sender)) + ' ' + command.keyword
           + " %F\nIcon-Name=" + kAppId + "\nSelection=notnone\nExtensions=any;\n"
           // Nemo shows no action whose dependency is missing.
           + "Dependencies=" + m_sender + ";\n";
}

Status FileManagerMenus::install() const
{
    const std::string dolphin = dolphinFile();
    Status status = makeHostFolders(dolphin.substr(0, dolphin.rfind('/')));
    // Dolphin runs service menus of the user's own folder only when they are executable.
    if (status)
        status = writeIfChanged(dolphin, dolphinServiceMenu(), 0755);

    if (Status s = makeHostFolders(nautilusFolder()); !s)
        status = s;
    if (Status s = makeHostFolders(nemoFolder()); !s)
        status = s;
    for (const Command &c : commands()) {
        if (Status s = writeIfChanged(nautilusFolder() + '/' + c.caption, nautilusScript(c), 0755); !s)
            status = s;
        // An older install's entry, named before the order counted.
        if (Status s = removeHostFile(nemoFolder() + '/' + unorderedNemoFileName(c)); !s)
            status = s;
        const std::string nemo = nemoFolder() + '/' + nemoFileName(c);
        const Status s = hasSystemEntry("nemo/actions/" + nemoFileName(c)) ? removeHostFile(nemo)
                                                                             : writeIfChanged(nemo, nemoAction(c));
        if (!s)
            status = s;
    }
    const std::string script = menuEntryScriptFile();
    if (Status s = makeHostFolders(script.substr(0, script.rfind('/'))); !s)
        status = s;
    else if (Status w = writeIfChanged(script, menuEntryScript(), 0755); !w)
        status = w;
    if (Status s = installThunar(); !s)
        status = s;
    return status;
}

Status FileManagerMenus::remove() const
{
    Status status;
    if (hasSystemEntry(std::string("kio/servicemenus/") + kDolphinName)) {
        const std::string dolphin = dolphinFile();
        status = makeHostFolders(dolphin.substr(0, dolphin.rfind('/')));
        if (status)
            status = writeIfChanged(dolphin, dolphinHiddenMenu(), 0755);
    } else {
        status = removeHostFile(dolphinFile());
    }
    for (const Command &c : commands()) {
        if (Status s = removeHostFile(nautilusFolder() + '/' + c.caption); !s)
            status = s;
        if (Status s = removeHostFile(nemoFolder() + '/' + nemoFileName(c)); !s)
            status = s;
        if (Status s = removeHostFile(nemoFolder() + '/' + unorderedNemoFileName(c)); !s)
            status = s;
    }
    ::rmdir(nautilusFolder().c_str()); // only when nothing of the user's is left in it
    if (Status s = removeThunar(); !s)
        status = s;
    if (Status s = removeHostFile(menuEntryScriptFile()); !s)
        status = s;
    return status;
}

Status FileManagerMenus::installThunar() const
{
    std::vector<ThunarActions::Action> actions;
    for (const Command &c : commands()) {
        actions.push_back({ThunarActions::kIdPrefix + lowered(c.keyword), c.caption, c.description,
                           "/bin/sh " + shellQuoted(menuEntryScriptFile()) + ' ' + c.keyword + " %F", kAppId,
                           "Renomiq"});
    }
    // A user without a uca.xml of their own sees the system's actions; the new
    // file starts from those so that they stay.
    auto existing = readHostFile(thunarFile(), kThunarFileLimit);
    if (!existing && existing.error().code == ENOENT) {
        existing = std::string();
        for (const std::string &folder : m_folders.configDirs) {
            if (auto system = readHostFile(folder + "/Thunar/uca.xml", kThunarFileLimit)) {
                existing = *system;
                break;
            }
        }
    }
    if (!existing)
        return existing.error();
    auto merged = ThunarActions::merged(*existing, actions);
    if (!merged)
        return Error{0, merged.error().message + ": " + thunarFile()};
    if (*merged == *existing)
        return {};
    if (Status s = makeHostFolders(m_folders.configHome + "/Thunar"); !s)
        return s;
    return rewriteUserFile(thunarFile(), *merged);
}

Status FileManagerMenus::removeThunar() const
{
    auto existing = readHostFile(thunarFile(), kThunarFileLimit);
    if (!existing)
        return existing.error().code == ENOENT ? Status() : Status(existing.error());
    auto kept = ThunarActions::without(*existing);
    if (!kept)
        return Error{0, kept.error().message + ": " + thunarFile()};
    if (*kept == *existing)
        return {};
    return rewriteUserFile(thunarFile(), *kept);
}

Status FileManagerMenus::writeSystemEntries(const std::string &shareFolder) const
{
    const std::string servicemenus = shareFolder + "/kio/servicemenus";
    const std::string nemo = shareFolder + "/nemo/actions";
    Status status = makeHostFolders(servicemenus);
    if (status)
        status = writeEntry(servicemenus + '/' + kDolphinName, dolphinServiceMenu());
    if (Status s = makeHostFolders(nemo); !s)
        return s;
    for (const Command &c : commands()) {
        if (Status s = writeEntry(nemo + '/' + nemoFileName(c), nemoAction(c)); !s)
            status = s;
    }
    return status;
}

} // namespace renomiq
