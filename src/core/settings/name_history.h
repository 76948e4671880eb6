#pragma once

#include "platform/result.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;
class Prompter;
struct EditRequest;

// The new strings and names used in earlier runs, newest first, kept in
// "Newname.txt" in the data folder. The editor's boxes show the master list;
// they follow it through the change notification.
class NameHistory {
public:
    // `maximum` is the "Listnum" option, owned by the settings store.
    NameHistory(FileSystem &fileSystem, std::string dataFolder, int &maximum);

    const std::vector<std::string> &entries() const { return m_entries; }
    std::string filePath() const { return m_dataFolder + "Newname.txt"; }
    // Up to 100 entries of a typed text each: a larger file is no list of ours.
    static constexpr std::size_t kFileLimit = std::size_t{1} << 20;

    // Called after every change of the master list.
    void setChangeNotification(std::function<void()> notify) { m_notify = std::move(notify); }

    // The file replaces the master list; without a file nothing changes.
    void load();
    // Puts t on top (removing entries equal to it, letters compared without
    // regard to case), applies the maximum and rewrites the file; a failure
    // to write it is returned.
    Status add(const std::string &text);
    // Adds the new texts of a renaming run, in the order of the editor's
    // boxes; the first failure to write the file is returned.
    Status remember(const EditRequest &request);
    // After the options dialog's OK: cuts the list when the maximum went down.
    Status trim(int previousMaximum);
    // Asks, then deletes the file and empties the list (a file that cannot be
    // deleted is reported). True when cleared.
    bool clear(Prompter &prompter);
    // The name list editor's Save: the text's non-empty lines become the list
    // and the file; the maximum follows their count (up to 100).
    struct [[nodiscard]] EditedSave {
        bool maximumChanged = false;
        Status written;
    };
    EditedSave saveEditedText(const std::string &text);

    // The text of the error box for a file that could not be written.
    static std::string failureText(const Error &error);

private:
    Status write();
    Status removeFile();
    void notify();

    FileSystem &m_fileSystem;
    std::string m_dataFolder;
    int &m_maximum;
    std::vector<std::string> m_entries;
    std::function<void()> m_notify;
};

} // namespace renomiq
