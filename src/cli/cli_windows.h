#pragma once

#include "run/run_observer.h"
#include "targets/file_list.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace renomiq {

struct RunState;

// The windows of renomiq-cli: preview rows and results on standard output,
// progress on standard error when it is a terminal; Ctrl+C is the progress
// dialog's Cancel. On a terminal, control characters in names are shown
// escaped; otherwise names are written byte for byte.
class CliWindows : public RunObserver {
public:
    CliWindows(RunState &run, std::FILE *out = stdout, std::FILE *err = stderr);

    // Set from the SIGINT handler.
    static std::atomic<bool> interrupted;

    int previewRowCount() const { return m_previewRows; }
    bool anyRenamed = false;
    std::string folderBox;
    // --format json: one JSON object a row on standard output, everything
    // else on standard error. hostPath turns the program's paths into host
    // paths; previewPaths: the preview's rows are paths, not names.
    bool json = false;
    bool preview = false;
    bool previewPaths = false;
    std::function<std::string(const std::string &)> hostPath;

    void runWithProgress(const std::function<void()> &job) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return m_position; }
    void setProgressNames(const std::string &oldName, const std::string &newName) override;
    void showSearchPanel(bool shown) override;
    void processEvents() override;
    void showRenameError(const std::string &oldPath, const std::string &newPath, const std::string &reason) override;
    void showUnreachable(const std::string &path, const std::string &reason) override;
    void clearPreview() override { m_previewRows = 0; }
    void addPreviewRow(const std::string &oldText, const std::string &newText) override;
    void previewEmpty() override;
    void previewTruncated() override;
    FileList &fileList() override { return m_list; }
    void setStatusPanel(int panel, const std::string &text) override;
    std::string folderBoxText() const override { return folderBox; }
    void itemDone(ItemStatus status, const std::string &oldPath, const std::string &newPath) override;

private:
    void drawProgress();
    void writeRow(const std::string &oldText, const std::string *newText, ItemStatus status);
    std::string shownPath(const std::string &path) const { return hostPath ? hostPath(path) : path; }

    RunState &m_run;
    std::FILE *m_out;
    std::FILE *m_err;
    bool m_progressShown;
    // Names go to a terminal escaped, elsewhere byte for byte.
    RowList m_list;
    int m_previewRows = 0;
    int m_maximum = 100;
    int m_position = 0;
    long m_lastDrawn = -1;
};

} // namespace renomiq
