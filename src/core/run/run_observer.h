#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace renomiq {

class FileList;

// What became of one item of a run (or a refused row of a preview).
enum class ItemStatus { Renamed, Refused, Unchanged, Failed };

// The rows a preview shows when it has no rows of names, or more than it lists.
inline constexpr const char *kPreviewEmptyText = "(No filename will be renamed)";
inline constexpr const char *kPreviewTruncatedText = "(Others not shown...)";

// What the run driver, the undo and the export report as they work, and the
// list of targets they read and update: progress, errors, preview rows, each
// item, the result. The windows implement it over their dialogs; renomiq-cli
// on a terminal; the tests record it.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // Progress. runWithProgress runs the job and returns when it has ended.
    virtual void runWithProgress(const std::function<void()> &job) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual int progressPosition() const = 0;
    virtual void setProgressNames(const std::string &oldName, const std::string &newName) = 0;
    virtual void showSearchPanel(bool shown) = 0;
    // Where a Cancel (or Ctrl+C) is seen and the progress shown again.
    virtual void processEvents() = 0;

    // A rename that failed. reason: the system's, as it words it ("File name
    // too long"). Shows nothing once "Do not display this message" was ticked.
    virtual void showRenameError(const std::string &oldPath, const std::string &newPath,
                                 const std::string &reason) = 0;
    // A folder or item that the run's walk could not reach: counted as failed
    // and shown as a rename that failed, unless the observer has its own way.
    virtual void showUnreachable(const std::string &path, const std::string &reason)
    {
        showRenameError(path, std::string(), reason);
    }

    // The preview's rows: cleared, each row of old and new name, and then
    // either nothing more, or that there was no row, or that rows were left out.
    virtual void clearPreview() = 0;
    virtual void addPreviewRow(const std::string &oldText, const std::string &newText) = 0;
    virtual void previewEmpty() = 0;
    virtual void previewTruncated() = 0;

    // Each item as the run ends it; newPath is empty when there is no new name.
    virtual void itemDone(ItemStatus status, const std::string &oldPath, const std::string &newPath) = 0;

    // The result line (panel 1: the counts, "Undo done.") and the count of
    // listed files (panel 0).
    virtual void setStatusPanel(int panel, const std::string &text) = 0;

    // The list of targets the run reads and updates: the chosen files, or
    // the rows of the listed folder.
    virtual FileList &fileList() = 0;
    // The folder whose rows the list shows (ending with '\'), empty in files mode.
    virtual std::string folderBoxText() const = 0;
};

// What only the windows do around a run: the busy cursor, the preview
// window, the editor window shown, hidden or closed, the listing refreshed,
// the list window closed. renomiq-cli has none of it: without it, the end of
// an operation is reported at once (RunDriver::reportEditorClosed).
class WindowChoreography {
public:
    virtual ~WindowChoreography() = default;
    virtual void setBusy(bool busy) = 0;
    virtual void showPreview(bool maximized) = 0;
    virtual void closePreview() = 0;
    virtual void showEditor() = 0;
    virtual void hideEditor() = 0;
    // Closing the editor runs its close handling, which reports the run
    // (RunDriver::reportEditorClosed).
    virtual void closeEditor() = 0;
    // Lists the folder box's folder again.
    virtual void refreshListing() = 0;
    // Files mode: removes the rows whose items no longer exist.
    virtual void refreshFiles() = 0;
    // The folder history changed; the folder box shows the entry at `index`.
    virtual void showFolderHistoryEntry(std::size_t index) = 0;
    // Closes the list window, which ends the program.
    virtual void closeListWindow() = 0;
};

} // namespace renomiq
