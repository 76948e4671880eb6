#pragma once

#include "run/run_observer.h"

#include <cstddef>
#include <functional>
#include <string>

namespace renomiq {

// The windows as a run, an undo and an export drive them, one interface a
// window. WindowSet puts them together into the run's observer and the
// windows' part around a run.

// Progress dialog.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // Shows the dialog modally and runs the job inside; returns when the job
    // has ended and the dialog has closed.
    virtual void runWithProgress(const std::function<void()> &job) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual int progressPosition() const = 0;
    virtual void setProgressNames(const std::string &oldName, const std::string &newName) = 0;
    virtual void showSearchPanel(bool shown) = 0;
    // Lets pending window messages be processed: repaint, and a Cancel click.
    virtual void processEvents() = 0;
    virtual void setBusy(bool busy) = 0;
};

// Rename error dialog; shows nothing once "Do not display this message" was ticked.
class RenameErrorWindow {
public:
    virtual ~RenameErrorWindow() = default;
    virtual void showRenameError(const std::string &oldPath, const std::string &newPath,
                                 const std::string &reason) = 0;
    virtual void showUnreachable(const std::string &path, const std::string &reason)
    {
        showRenameError(path, std::string(), reason);
    }
};

// Preview window.
class PreviewWindow {
public:
    virtual ~PreviewWindow() = default;
    virtual void clearPreview() = 0;
    virtual void addPreviewRow(const std::string &oldText, const std::string &newText) = 0;
    virtual void showPreview(bool maximized) = 0;
    virtual void closePreview() = 0;
};

// Editor window. Closing it runs its close handling, which reports the run
// (RunDriver::reportEditorClosed).
class EditorWindow {
public:
    virtual ~EditorWindow() = default;
    virtual void showEditor() = 0;
    virtual void hideEditor() = 0;
    virtual void closeEditor() = 0;
};

// List window.
class ListWindow {
public:
    virtual ~ListWindow() = default;
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

// The run's observer and the windows' part around a run, over the separate
// window objects.
class WindowSet final : public RunObserver, public WindowChoreography {
public:
    WindowSet(ListWindow &list, EditorWindow &editor, PreviewWindow &preview, ProgressWindow &progress,
              RenameErrorWindow &renameError)
        : m_list(list), m_editor(editor), m_preview(preview), m_progress(progress), m_renameError(renameError)
    {
    }

    // RunObserver
    void runWithProgress(const std::function<void()> &job) override { m_progress.runWithProgress(job); }
    void setProgressMaximum(int maximum) override { m_progress.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override { m_progress.setProgressPosition(position); }
    int progressPosition() const override { return m_progress.progressPosition(); }
    void setProgressNames(const std::string &oldName, const std::string &newName) override
    {
        m_progress.setProgressNames(oldName, newName);
    }
    void showSearchPanel(bool shown) override { m_progress.showSearchPanel(shown); }
    void processEvents() override { m_progress.processEvents(); }
    void showRenameError(const std::string &oldPath, const std::string &newPath, const std::string &reason) override
    {
        m_renameError.showRenameError(oldPath, newPath, reason);
    }
    void showUnreachable(const std::string &path, const std::string &reason) override
    {
        m_renameError.showUnreachable(path, reason);
    }
    void clearPreview() override { m_preview.clearPreview(); }
    void addPreviewRow(const std::string &oldText, const std::string &newText) override
    {
        m_preview.addPreviewRow(oldText, newText);
    }
    // The preview window shows them as rows of their own.
    void previewEmpty() override { m_preview.addPreviewRow(kPreviewEmptyText, std::string()); }
    void previewTruncated() override { m_preview.addPreviewRow(kPreviewTruncatedText, std::string()); }
    // The windows show the result of a run, not each item.
    void itemDone(ItemStatus, const std::string &, const std::string &) override {}
    void setStatusPanel(int panel, const std::string &text) override { m_list.setStatusPanel(panel, text); }
    FileList &fileList() override { return m_list.fileList(); }
    std::string folderBoxText() const override { return m_list.folderBoxText(); }

    // WindowChoreography
    void setBusy(bool busy) override { m_progress.setBusy(busy); }
    void showPreview(bool maximized) override { m_preview.showPreview(maximized); }
    void closePreview() override { m_preview.closePreview(); }
    void showEditor() override { m_editor.showEditor(); }
    void hideEditor() override { m_editor.hideEditor(); }
    void closeEditor() override { m_editor.closeEditor(); }
    void refreshListing() override { m_list.refreshListing(); }
    void refreshFiles() override { m_list.refreshFiles(); }
    void showFolderHistoryEntry(std::size_t index) override { m_list.showFolderHistoryEntry(index); }
    void closeListWindow() override { m_list.closeListWindow(); }

private:
    ListWindow &m_list;
    EditorWindow &m_editor;
    PreviewWindow &m_preview;
    ProgressWindow &m_progress;
    RenameErrorWindow &m_renameError;
};

} // namespace renomiq
