#pragma once

#include "run/run_observer.h"
#include "targets/file_list.h"

#include <functional>
#include <string>
#include <vector>

namespace renomiq::test {

using MemoryFileList = RowList;

// Stands in for the windows until they exist: records what the run asks of
// them. onProcessEvents runs where the real dialog would see a Cancel click.
// The preview's "no rows" and "rows left out" come as events and, as the
// preview window shows them, as rows of their own.
class RecordingWindows : public RunObserver, public WindowChoreography {
public:
    MemoryFileList list;
    std::vector<std::pair<std::string, std::string>> previewRows;
    std::vector<std::pair<std::string, std::string>> renameErrors;
    std::vector<std::string> renameErrorReasons;
    std::vector<std::pair<std::string, std::string>> unreachable; // path, reason
    std::vector<std::string> events; // "progress", "showEditor", "hideEditor", "closeEditor", ...
    std::string status[2];
    std::string folderBox;
    int progressMaximum = 100;
    int position = 0;
    int progressRuns = 0;
    bool suppressRenameErrors = false;
    std::function<void()> onProcessEvents;
    std::function<void()> onCloseEditor;
    std::function<void()> onRefreshListing;

    void runWithProgress(const std::function<void()> &job) override
    {
        ++progressRuns;
        events.push_back("progress");
        position = 0;
        job();
    }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressPosition(int p) override { position = p; }
    int progressPosition() const override { return position; }
    void setProgressNames(const std::string &, const std::string &) override {}
    void showSearchPanel(bool shown) override { events.push_back(shown ? "searchPanel" : "searchPanelHidden"); }
    void processEvents() override
    {
        if (onProcessEvents)
            onProcessEvents();
    }
    void setBusy(bool) override {}
    void showRenameError(const std::string &oldPath, const std::string &newPath, const std::string &reason) override
    {
        if (suppressRenameErrors)
            return;
        renameErrors.emplace_back(oldPath, newPath);
        renameErrorReasons.push_back(reason);
    }
    void showUnreachable(const std::string &path, const std::string &reason) override
    {
        unreachable.emplace_back(path, reason);
    }
    void clearPreview() override { previewRows.clear(); }
    void addPreviewRow(const std::string &oldText, const std::string &newText) override
    {
        previewRows.emplace_back(oldText, newText);
    }
    void previewEmpty() override
    {
        events.push_back("previewEmpty");
        previewRows.emplace_back(kPreviewEmptyText, "");
    }
    void previewTruncated() override
    {
        events.push_back("previewTruncated");
        previewRows.emplace_back(kPreviewTruncatedText, "");
    }
    void itemDone(ItemStatus, const std::string &, const std::string &) override {}
    void showPreview(bool maximized) override { events.push_back(maximized ? "previewMaximized" : "preview"); }
    void closePreview() override { events.push_back("closePreview"); }
    void showEditor() override { events.push_back("showEditor"); }
    void hideEditor() override { events.push_back("hideEditor"); }
    void closeEditor() override
    {
        events.push_back("closeEditor");
        if (onCloseEditor)
            onCloseEditor();
    }
    FileList &fileList() override { return list; }
    void setStatusPanel(int panel, const std::string &text) override { status[panel] = text; }
    std::string folderBoxText() const override { return folderBox; }
    void refreshListing() override
    {
        events.push_back("refreshListing");
        if (onRefreshListing)
            onRefreshListing();
    }
    void refreshFiles() override { events.push_back("refreshFiles"); }
    void showFolderHistoryEntry(std::size_t index) override { events.push_back("folderEntry" + std::to_string(index)); }
    void closeListWindow() override { events.push_back("closeListWindow"); }
};

} // namespace renomiq::test
