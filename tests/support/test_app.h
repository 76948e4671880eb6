#pragma once

#include "engine/edit_request.h"
#include "state/app_state.h"
#include "run/run_driver.h"
#include "support/recording_windows.h"
#include "support/test_platform.h"

namespace renomiq::test {

// Requests the run tests make again and again.
inline EditRequest changeTo(const std::string &name, bool preview = false)
{
    EditRequest r;
    r.kind = EditKind::Changnew;
    r.newName = name;
    r.preview = preview;
    return r;
}

inline EditRequest insertAtHead(const std::string &text, bool preview = false)
{
    EditRequest r;
    r.kind = EditKind::Addnewnum;
    r.atHead = true;
    r.headText = text;
    r.preview = preview;
    return r;
}

// One program instance without windows over the test platform.
struct TestApp : TestPlatform {
    AppState state{platform};
    RecordingWindows windows;
    RunDriver driver{state, windows, &windows};

    TestApp()
    {
        windows.onCloseEditor = [this] { driver.reportEditorClosed(); };
    }

    // Folder mode on a folder of the test tree.
    void targetFolder(const std::string &relative, FolderScope scope)
    {
        state.targets.filesMode = false;
        state.targets.targetFolder = TestDir::win(relative);
        state.targets.folderScope = scope;
        windows.folderBox = state.targets.targetFolder;
    }
    // Files mode on files of the test tree.
    void targetFiles(const std::vector<std::string> &relatives)
    {
        state.targets.filesMode = true;
        state.targets.targetFolder.clear();
        state.run.workList.clear();
        for (const std::string &r : relatives)
            state.run.workList.push_back(TestDir::win(r));
    }
    // The undo log's pairs of paths, without the identity lines of their items
    // and folders.
    std::string undoLog() const { return withoutIdentities(undoLogFile()); }
    // A log's text without the identity lines of its items and folders.
    static std::string withoutIdentities(const std::string &file)
    {
        std::string paths;
        for (std::size_t start = 0, end; start < file.size(); start = end) {
            end = file.find('\n', start);
            end = end == std::string::npos ? file.size() : end + 1;
            if (file.compare(start, 6, "#item ") != 0 && file.compare(start, 8, "#folder ") != 0)
                paths.append(file, start, end - start);
        }
        return paths;
    }
    // The file as it is.
    std::string undoLogFile() const { return dir.readFile(".data-home/Corvane/Renomiq/rollback.rbk"); }
    bool undoLogExists() const { return dir.exists(".data-home/Corvane/Renomiq/rollback.rbk"); }
};

} // namespace renomiq::test
