#pragma once

#include "targets/export_choices.h"

#include <string>
#include <vector>

namespace renomiq {

struct AppState;
struct DirEntry;
class RunObserver;
class WindowChoreography;

// The type filter of "Special types": whether a file of this name is listed.
bool exportAcceptsType(const ExportChoices &choices, const std::string &fileName);

// "Save": writes the names of the target folder's content (or of the chosen
// files) to a text file that the user picks.
class NameExporter {
public:
    // windows: the windows' part (busy cursor, closing the editor or the list
    // window after the export); none in renomiq-cli.
    NameExporter(AppState &state, RunObserver &observer, WindowChoreography *windows = nullptr)
        : m_state(state), m_observer(observer), m_windows(windows)
    {
    }

    // ExportNames. Returns the file written, or empty when the dialog was
    // cancelled or nothing could be written. Without windows, the caller
    // reports the end of the operation (RunDriver::reportEditorClosed).
    std::string exportNames(const ExportChoices &choices);

    // The lines of a folder export and of a files export (without the file).
    std::vector<std::string> folderLines(const ExportChoices &choices);
    std::vector<std::string> filesLines();

private:
    std::string chooseFile();
    std::string write(const std::string &chosen, const std::vector<std::string> &lines);
    void visitForExport(const ExportChoices &choices, const std::string &folder, std::vector<std::string> &lines);
    std::string fileLine(const ExportChoices &choices, const DirEntry &entry) const;
    std::string dateLine() const;
    void leftOut(const std::string &path, const std::string &reason);
    void reportLeftOut();

    AppState &m_state;
    RunObserver &m_observer;
    WindowChoreography *m_windows;
    std::string m_indent;
    bool m_filePass = false;
    // Folders that could not be listed and names no path can hold: left out
    // of the list, and told after the export.
    std::size_t m_leftOutCount = 0;
    std::vector<std::string> m_leftOutShown;
};

} // namespace renomiq
