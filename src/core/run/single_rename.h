#pragma once

#include <string>

namespace renomiq {

struct Platform;
class NameEngine;
class SettingsStore;

// The rename dialog's work on one item of the file list, outside any run: the
// boxes it shows and the rename itself, which replaces the undo log with its
// one pair.
class SingleRename {
public:
    SingleRename(Platform &platform, NameEngine &engine, const SettingsStore &settings)
        : m_platform(platform), m_engine(engine), m_settings(settings)
    {
    }

    // What the dialog shows for an item.
    struct Fields {
        std::string caption;
        std::string name;
        std::string extension; // with its dot
        bool extensionShown = false;
    };
    Fields fieldsFor(const std::string &oldPath) const;
    // The boxes filled again from the row after a failed rename, as they were
    // when the dialog opened (whatever the item's state now).
    static Fields refilledFields(const std::string &oldPath, const Fields &opened);

    enum class Outcome { Renamed, Refused, Failed };
    struct Result {
        Outcome outcome = Outcome::Refused;
        std::string name;    // the name box text, leading blanks removed
        std::string newPath;
        std::string rowText; // the row's new text
    };
    // "OK". folderBox is the folder box text ending with '\' (folder mode) or
    // empty (files mode). Refusals and failures have shown their message.
    Result rename(const std::string &folderBox, const std::string &oldPath, const std::string &name,
                  std::string extension);

private:
    Platform &m_platform;
    NameEngine &m_engine;
    const SettingsStore &m_settings;
};

} // namespace renomiq
