#pragma once

#include <functional>
#include <string>

namespace renomiq {

class FileList;

// The windows as the run, the undo and the export drive them: the progress
// dialog, the rename error dialog, the preview window, the editor window and
// the list window. The windowed program and renomiq-cli each implement it.
class RunWindows {
public:
    virtual ~RunWindows() = default;

    // Progress dialog: shows it modally and runs the job inside; returns when
    // the job has ended and the dialog has closed.
    virtual void runWithProgress(const std::function<void()> &job) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual int progressPosition() const = 0;
    virtual void setProgressNames(const std::string &oldName, const std::string &newName) = 0;
    virtual void showSearchPanel(bool shown) = 0;
    // Lets pending window messages be processed: repaint, and a Cancel click.
    virtual void processEvents() = 0;
    virtual void setBusy(bool busy) = 0;

    // Rename error dialog; shows nothing once "Do not display this message" was ticked.
    virtual void showRenameError(const std::string &oldPath, const std::string &newPath) = 0;

    // Preview window.
    virtual void clearPreview() = 0;
    virtual void addPreviewRow(const std::string &oldText, const std::string &newText) = 0;
    virtual void showPreview(bool maximized) = 0;
    virtual void closePreview() = 0;

    // Editor window. Closing it runs its close handling, which reports the run
    // (RunDriver::reportEditorClosed).
    virtual void showEditor() = 0;
    virtual void hideEditor() = 0;
    virtual void closeEditor() = 0;

    // List window.
    virtual FileList &fileList() = 0;
    virtual void setStatusPanel(int panel, const std::string &text) = 0;
    virtual std::string folderBoxText() const = 0;
    // Lists the folder box's folder again.
    virtual void refreshListing() = 0;
    // Files mode: removes the rows whose items no longer exist.
    virtual void refreshFiles() = 0;
    // The folder history changed; the box shows the entry at `index`.
    virtual void showFolderHistoryEntry(std::size_t index) = 0;
    // Closes the list window, which ends the program.
    virtual void closeListWindow() = 0;
};

} // namespace renomiq
