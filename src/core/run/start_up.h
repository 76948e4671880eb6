#pragma once

#include "engine/edit_kind.h"

#include <optional>
#include <string>
#include <vector>

namespace renomiq {

struct AppState;
struct Platform;
class SettingsStore;

// What the list window does after a start: the steps that need no window.
struct StartUpPlan {
    bool plain = true;         // no edit keyword: browse in the list window
    bool handOff = false;      // straight into the editor window, the list window hidden
    bool showList = true;      // the list window appears at once
    bool handOffTimer = false; // the editor (or the export) follows shortly
    bool closeSoon = false;    // nothing to do: the program ends after a second
};

// Reads the command line's keyword and the hand-off file (deleting it), sets
// the edit kind and the targets, and asks the questions of an empty folder.
StartUpPlan planStartUp(AppState &state, const std::optional<std::string> &keyword);

// "Rename in another session": writes the targets to the hand-off file and
// starts a second instance of the program file with the keyword of the
// sub-item. False, after its message, when the program file is missing.
class SessionSender {
public:
    SessionSender(Platform &platform, const SettingsStore &settings, std::string programHostPath)
        : m_platform(platform), m_settings(settings), m_program(std::move(programHostPath))
    {
    }

    // Whether the program file is there (message shown when it is not).
    bool programPresent();
    // Sends the targets (sub-item: "Remove", "Replace", "Insert", "Change",
    // "Extension" or "Save").
    bool send(const std::vector<std::string> &targets, const std::string &subItem);

    static EditKind keywordOfSubItem(const std::string &subItem);

private:
    Platform &m_platform;
    const SettingsStore &m_settings;
    std::string m_program;
};

} // namespace renomiq
