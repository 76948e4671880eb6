#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

namespace renomiq {

// The "Renomiq" menu of the file managers: seven commands that hand the
// selected items to renomiq-send with an edit keyword. Written where each file
// manager reads its own entries: a Dolphin service menu, Nautilus scripts,
// Thunar custom actions (in the user's uca.xml) and Nemo actions.
class FileManagerMenus {
public:
    struct Command {
        const char *caption;     // the menu entry
        const char *keyword;     // passed to renomiq-send
        const char *description; // a tooltip where the file manager shows one
    };
    // Where the entries go: the XDG data and configuration homes; the
    // system's configuration folders (where a first uca.xml is taken from) and
    // data folders (where the package's entries are).
    struct Folders {
        std::string dataHome;
        std::string configHome;
        std::vector<std::string> configDirs;
        std::vector<std::string> dataDirs;
    };

    static constexpr const char *kAppId = "com.corvane.Renomiq";

    FileManagerMenus(std::string senderPath, Folders folders)
        : m_sender(std::move(senderPath)), m_folders(std::move(folders))
    {
    }
    // The user's folders, with the renomiq-send beside the running program.
    static FileManagerMenus forCurrentUser();

    static const std::vector<Command> &commands();

    // True when the sender the entries call is there to be called.
    bool senderInstalled() const;

    // Writes (or rewrites) every entry; the user's own Thunar actions stay.
    // Where the package's Nemo entries are installed, the user gets no copy:
    // Nemo would list both.
    Status install() const;
    // Removes every entry of ours; nothing else. The package's Dolphin menu is
    // hidden by an empty entry of the same name in the user's folder (Nemo's
    // are switched off in Nemo's own settings).
    Status remove() const;

    // The entries every user of the machine gets (Dolphin and Nemo), under a
    // share folder ("/usr/share" for the package).
    Status writeSystemEntries(const std::string &shareFolder) const;

    std::string dolphinFile() const;
    std::string nautilusFolder() const;
    std::string thunarFile() const;
    std::string nemoFolder() const;
    static std::string nemoFileName(const Command &command);
    // The script that Thunar's actions run (Nautilus' scripts hold the same).
    std::string menuEntryScriptFile() const;

    // The entries' contents.
    std::string dolphinServiceMenu() const;
    // The user's entry that hides the package's Dolphin menu.
    static std::string dolphinHiddenMenu();
    std::string nautilusScript(const Command &command) const;
    std::string nemoAction(const Command &command) const;
    // What an entry of Thunar or Nautilus runs, with the keyword and the
    // selection as its arguments: the sender, while it is installed. Once it
    // is gone (the package removed), neither file manager has a rule that
    // hides the entry: the script says so once and removes the user's
    // entries (the other file managers' too), and itself.
    std::string menuEntryScript() const;

private:
    Status installThunar() const;
    // The package's copy of an entry ("nemo/actions/..."), when there is one.
    bool hasSystemEntry(const std::string &relative) const;
    Status removeThunar() const;

    std::string m_sender;
    Folders m_folders;
};

} // namespace renomiq
